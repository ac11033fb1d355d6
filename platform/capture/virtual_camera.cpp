#include "platform/capture/virtual_camera.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace platform::capture {
namespace {

constexpr int kMinSide = 16;
constexpr int kMaxSide = 7680;
constexpr int kMaxPhaseSeconds = 24 * 3600;

std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

std::optional<std::pair<int, int>> ParsePhases(std::string_view text) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto calm = ParseInt(text.substr(0, comma));
  const auto motion = ParseInt(text.substr(comma + 1));
  if (!calm || !motion || *calm < 0 || *motion < 0 || *calm > kMaxPhaseSeconds ||
      *motion > kMaxPhaseSeconds || *calm + *motion == 0) {
    return std::nullopt;
  }
  return std::make_pair(*calm, *motion);
}

void ApplySize(const std::string& size, VirtualCamera& camera) {
  const auto x = size.find_first_of("xX");
  if (x == std::string::npos) return;
  const auto width = ParseInt(std::string_view(size).substr(0, x));
  const auto height = ParseInt(std::string_view(size).substr(x + 1));
  if (!width || !height || *width < kMinSide || *height < kMinSide || *width > kMaxSide ||
      *height > kMaxSide) {
    return;
  }
  camera.width = *width;
  camera.height = *height;
}

// Network cameras often carry credentials in the URI; the name is shown and
// logged, so it keeps only scheme, host and path.
std::string UriWithoutCredentials(const std::string& uri) {
  const auto scheme_end = uri.find("://");
  if (scheme_end == std::string::npos) return uri;
  const auto authority = scheme_end + 3;
  const auto path = uri.find('/', authority);
  const auto at = uri.rfind('@', path == std::string::npos ? std::string::npos : path);
  if (at == std::string::npos || at < authority) return uri;
  return uri.substr(0, authority) + uri.substr(at + 1);
}

}  // namespace

std::string VirtualCamera::Name() const {
  switch (kind) {
    case Kind::kScene:
      return "Virtual camera (scene " + std::to_string(calm_seconds) + "/" +
             std::to_string(motion_seconds) + ")";
    case Kind::kFile:
      return "Virtual camera (file " + std::filesystem::path(location).filename().string() + ")";
    case Kind::kUri:
      return "Virtual camera (stream " + UriWithoutCredentials(location) + ")";
  }
  return "Virtual camera";
}

std::optional<VirtualCamera> ParseVirtualCamera(const std::string& value, const std::string& size) {
  if (value.empty()) return std::nullopt;
  VirtualCamera camera;
  if (value == "scene") {
    camera.kind = VirtualCamera::Kind::kScene;
  } else if (value.starts_with("scene:")) {
    const auto phases = ParsePhases(std::string_view(value).substr(6));
    if (!phases) return std::nullopt;
    camera.kind = VirtualCamera::Kind::kScene;
    camera.calm_seconds = phases->first;
    camera.motion_seconds = phases->second;
  } else if (value.find("://") != std::string::npos) {
    camera.kind = VirtualCamera::Kind::kUri;
    camera.location = value;
  } else {
    camera.kind = VirtualCamera::Kind::kFile;
    camera.location = value;
  }
  ApplySize(size, camera);
  return camera;
}

std::optional<VirtualCamera> VirtualCameraFromEnvironment() {
  const char* value = std::getenv(kVirtualCameraVariable);
  const char* size = std::getenv(kVirtualCameraSizeVariable);
  return ParseVirtualCamera(value ? value : "", size ? size : "");
}

}  // namespace platform::capture
