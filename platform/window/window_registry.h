// The process-wide table of message windows behind the functions of
// message_window.h. UI thread only.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "platform/window/window_proc.h"

namespace platform::window {

class WindowRegistry {
 public:
  static WindowRegistry& Instance() { return instance_; }

  WindowRegistry(const WindowRegistry&) = delete;
  WindowRegistry& operator=(const WindowRegistry&) = delete;

  Handle Create(WindowProc proc);
  // Sends kWmNcDestroy to the current procedure, then forgets the handle.
  // False for a dead handle or one already being destroyed.
  bool Destroy(Handle hwnd);
  bool IsAlive(Handle hwnd) const { return windows_.contains(hwnd); }
  WindowProc GetProc(Handle hwnd) const;
  WindowProc SetProc(Handle hwnd, WindowProc proc);
  std::intptr_t Send(Handle hwnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
  bool Post(Handle hwnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

 private:
  struct Entry {
    WindowProc proc;
    bool destroying = false;
  };

  // Far from 0 and from small integers, so a stray count or index is never
  // taken for a window.
  static constexpr Handle kFirstHandle = 0x10000;

  WindowRegistry() = default;
  Handle NextFreeHandle();

  static WindowRegistry instance_;

  std::unordered_map<Handle, Entry> windows_;
  Handle next_ = kFirstHandle;
};

}  // namespace platform::window
