// The main window's menu tree in display order: what the form builds and
// what a fake window mirrors in tests.
#pragma once

#include <span>
#include <string>

namespace orvantix {

enum class MenuKind {
  kSubMenu,  // opens the next deeper level
  kCommand,
  kCheck,  // check item
  kRadio,  // member of a radio group (its array)
  kSeparator,
};

struct MenuEntry {
  int level;            // 1 = menu bar
  const char* caption;  // with its access-key ampersands
  const char* name;
  int index;  // array index, 0 when not an array entry
  MenuKind kind;
  bool enabled;  // at creation
};

std::span<const MenuEntry> MainMenuTree();

}  // namespace orvantix
