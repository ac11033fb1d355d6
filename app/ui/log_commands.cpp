#include <filesystem>
#include <system_error>

#include "app/engine/engine.h"

namespace orvantix {

void Engine::mnuLogShow_Click() {
  // The desktop's handler needs a path that does not depend on our folder.
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(log_.LogPath(), ec);
  system_.ShellOpen((ec ? log_.LogPath() : absolute).string());
}

void Engine::mnuLogClear_Click() {
  if (view_.MessageBox("Do you really want to clear the entire log ?",
                       MsgBoxStyle::kQuestionYesNo) == MsgBoxResult::kYes)
    log_.Clear();
}

}  // namespace orvantix
