// Environment variables read by the capture control.
//
//   ORVANTIX_VIRTUAL_CAMERA       adds a virtual camera at the first free driver index:
//                                 scene | scene:C,M | /path/to/video | rtsp:// http:// file:// URI
//   ORVANTIX_VIRTUAL_CAMERA_SIZE  WxH of the scene (default 640x480)
//   ORVANTIX_VIRTUAL_AUDIO        anything but "0": a virtual microphone for captures
#pragma once

namespace platform::capture {

inline constexpr const char* kVirtualCameraVariable = "ORVANTIX_VIRTUAL_CAMERA";
inline constexpr const char* kVirtualCameraSizeVariable = "ORVANTIX_VIRTUAL_CAMERA_SIZE";
inline constexpr const char* kVirtualAudioVariable = "ORVANTIX_VIRTUAL_AUDIO";

}  // namespace platform::capture
