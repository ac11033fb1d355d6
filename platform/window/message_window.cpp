#include "platform/window/message_window.h"

#include <utility>

#include "platform/window/window_registry.h"

namespace platform::window {

Handle CreateMessageWindow(WindowProc proc) { return WindowRegistry::Instance().Create(proc); }

bool DestroyWindow(Handle hwnd) { return WindowRegistry::Instance().Destroy(hwnd); }

bool IsWindow(Handle hwnd) { return WindowRegistry::Instance().IsAlive(hwnd); }

WindowProc GetWindowProc(Handle hwnd) { return WindowRegistry::Instance().GetProc(hwnd); }

WindowProc SetWindowProc(Handle hwnd, WindowProc proc) {
  return WindowRegistry::Instance().SetProc(hwnd, proc);
}

std::intptr_t CallWindowProc(WindowProc proc, Handle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  return proc ? proc.fn(proc.context, hwnd, msg, wParam, lParam) : 0;
}

std::intptr_t SendMessage(Handle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                          std::intptr_t lParam) {
  return WindowRegistry::Instance().Send(hwnd, msg, wParam, lParam);
}

bool PostMessage(Handle hwnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  return WindowRegistry::Instance().Post(hwnd, msg, wParam, lParam);
}

MessageWindow::MessageWindow(WindowProc proc) : hwnd_(CreateMessageWindow(proc)) {}

MessageWindow::~MessageWindow() {
  if (hwnd_ != 0) DestroyWindow(hwnd_);
}

MessageWindow::MessageWindow(MessageWindow&& other) noexcept
    : hwnd_(std::exchange(other.hwnd_, 0)) {}

MessageWindow& MessageWindow::operator=(MessageWindow&& other) noexcept {
  if (this != &other) {
    if (hwnd_ != 0) DestroyWindow(hwnd_);
    hwnd_ = std::exchange(other.hwnd_, 0);
  }
  return *this;
}

}  // namespace platform::window
