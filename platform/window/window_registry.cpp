#include "platform/window/window_registry.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <limits>

namespace platform::window {

namespace {

WindowProc OrDefault(WindowProc proc) { return proc ? proc : WindowProc{&DefWindowProc, nullptr}; }

}  // namespace

WindowRegistry WindowRegistry::instance_;

std::intptr_t DefWindowProc(void*, Handle, std::uint32_t, std::uintptr_t, std::intptr_t) {
  return 0;
}

Handle WindowRegistry::NextFreeHandle() {
  // After a wrap-around, skip handles that are still alive.
  for (;;) {
    Handle hwnd = next_;
    next_ = next_ == std::numeric_limits<Handle>::max() ? kFirstHandle : next_ + 1;
    if (!windows_.contains(hwnd)) return hwnd;
  }
}

Handle WindowRegistry::Create(WindowProc proc) {
  Handle hwnd = NextFreeHandle();
  windows_.emplace(hwnd, Entry{OrDefault(proc)});
  return hwnd;
}

bool WindowRegistry::Destroy(Handle hwnd) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end() || it->second.destroying) return false;
  it->second.destroying = true;
  // The handle dies even when the last procedure call throws.
  struct Forget {
    std::unordered_map<Handle, Entry>& windows;
    Handle hwnd;
    ~Forget() { windows.erase(hwnd); }
  } forget{windows_, hwnd};
  Send(hwnd, kWmNcDestroy, 0, 0);
  return true;
}

WindowProc WindowRegistry::GetProc(Handle hwnd) const {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? WindowProc{} : it->second.proc;
}

WindowProc WindowRegistry::SetProc(Handle hwnd, WindowProc proc) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return {};
  WindowProc previous = it->second.proc;
  it->second.proc = OrDefault(proc);
  return previous;
}

std::intptr_t WindowRegistry::Send(Handle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return 0;
  // A copy: the procedure may replace itself or destroy the window while it runs.
  const WindowProc proc = it->second.proc;
  return proc.fn(proc.context, hwnd, msg, wParam, lParam);
}

bool WindowRegistry::Post(Handle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                          std::intptr_t lParam) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || !IsAlive(hwnd)) return false;
  return QMetaObject::invokeMethod(
      app, [this, hwnd, msg, wParam, lParam] { Send(hwnd, msg, wParam, lParam); },
      Qt::QueuedConnection);
}

}  // namespace platform::window
