#include "app/engine/engine.h"

namespace orvantix {

void Engine::AddLogEntry(const std::string& first, const std::string& second,
                         const std::string& filePath) {
  // The camera is the device menu's entry of the driver in use; without
  // that entry there is nothing to write, message rows included.
  const int entry = kelvra_.DriverIndex() + 2;
  if (!view_.HasMenuArrayEntry("mnuDevice", entry)) return;
  const std::string camera = view_.MenuArray("mnuDevice", entry).Caption();
  log_.AddLogEntry(first, second, filePath, camera, state_.Threshold);
}

}  // namespace orvantix
