// Message windows: integer handles that stand for windows, each with a
// replaceable window procedure. Everything here belongs to the UI thread.
#pragma once

#include <cstdint>

namespace platform::window {

// Never 0 for a live window; 0 means "no window".
using Handle = std::int32_t;

// Sent to the current procedure while a window is destroyed, as its last
// message; the handle is still valid during it.
inline constexpr std::uint32_t kWmNcDestroy = 130;

using WindowProcFn = std::intptr_t (*)(void* context, Handle hwnd, std::uint32_t msg,
                                       std::uintptr_t wParam, std::intptr_t lParam);

// A procedure is a function plus the context it is called with. Two
// procedures are the same when both parts are, so a subclasser can tell
// whether its own procedure is installed.
struct WindowProc {
  WindowProcFn fn = nullptr;
  void* context = nullptr;

  explicit operator bool() const { return fn != nullptr; }
  friend bool operator==(const WindowProc&, const WindowProc&) = default;
};

// Answers 0 to everything; the procedure of a window created without one.
std::intptr_t DefWindowProc(void* context, Handle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                            std::intptr_t lParam);

// Binds a member function `std::intptr_t T::Method(Handle, uint32_t, uintptr_t, intptr_t)`.
template <auto Method, class T>
WindowProc MakeWindowProc(T* object) {
  return {[](void* c, Handle h, std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
            return static_cast<std::intptr_t>((static_cast<T*>(c)->*Method)(h, m, w, l));
          },
          object};
}

}  // namespace platform::window
