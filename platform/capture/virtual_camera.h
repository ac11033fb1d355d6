// The virtual camera chosen by the environment (see environment.h): a
// built-in scene with scripted motion, a video file played in a loop, or the
// URI of a network camera.
#pragma once

#include <optional>
#include <string>

#include "platform/capture/environment.h"

namespace platform::capture {

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
std::optional<VirtualCamera> ParseVirtualCamera(const std::string& value, const std::string& size);
std::optional<VirtualCamera> VirtualCameraFromEnvironment();

}  // namespace platform::capture
