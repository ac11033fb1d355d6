// The virtual camera chosen by the environment: a built-in scene with
// scripted motion, a video file played in a loop, or a stream URI.
//
//   ORVANTIX_VIRTUAL_CAMERA       scene | scene:C,M | /path/to/clip | rtsp://... http://... file://...
//   ORVANTIX_VIRTUAL_CAMERA_SIZE  WxH of the scene, default 640x480
#pragma once

#include <optional>
#include <string>

namespace platform::capture {

inline constexpr const char* kVirtualCameraVariable = "ORVANTIX_VIRTUAL_CAMERA";
inline constexpr const char* kVirtualCameraSizeVariable = "ORVANTIX_VIRTUAL_CAMERA_SIZE";

struct VirtualCamera {
  enum class Kind { kScene, kFile, kUri };
  Kind kind = Kind::kScene;
  int calm_seconds = 20;
  int motion_seconds = 5;
  std::string location;  // kFile: path, kUri: URI
  int width = 640;
  int height = 480;

  // "Virtual camera (scene 20/5)", "Virtual camera (file clip.avi)", ...
  std::string Name() const;
};

// nullopt when the value is empty or malformed.
std::optional<VirtualCamera> ParseVirtualCamera(const std::string& value,
                                                const std::string& size);
std::optional<VirtualCamera> VirtualCameraFromEnvironment();

}  // namespace platform::capture
