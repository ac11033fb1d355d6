// Message windows take the place of window handles and window procedures:
// create, send (synchronous), post (queued on the Qt event loop), replace
// the procedure to subclass, destroy. UI thread only.
//
// A procedure may send, post, create and destroy windows, itself included,
// and replace any window's procedure while it runs.
#pragma once

#include <cstdint>

#include "platform/window/window_proc.h"

namespace platform::window {

// A null procedure stands for DefWindowProc.
Handle CreateMessageWindow(WindowProc proc);
// Delivers kWmNcDestroy to the current procedure, then the handle dies.
// False when the handle is dead or already being destroyed.
bool DestroyWindow(Handle hwnd);
bool IsWindow(Handle hwnd);

// A null procedure for a dead handle.
WindowProc GetWindowProc(Handle hwnd);
// Returns the procedure it replaces, for the new one to chain to; a null
// one for a dead handle, which is left alone.
WindowProc SetWindowProc(Handle hwnd, WindowProc proc);
// Calls proc directly (0 for a null one), whether or not hwnd lives.
std::intptr_t CallWindowProc(WindowProc proc, Handle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                             std::intptr_t lParam);

// Runs the current procedure now; 0 for a dead handle.
std::intptr_t SendMessage(Handle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                          std::intptr_t lParam);
// Queues the message on the event loop, in posting order; it is delivered
// only if the window still lives then. False for a dead handle or without a
// QCoreApplication.
bool PostMessage(Handle hwnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

// Owns one message window: created with the object, destroyed with it.
class MessageWindow {
 public:
  explicit MessageWindow(WindowProc proc = {});
  ~MessageWindow();
  MessageWindow(MessageWindow&& other) noexcept;
  MessageWindow& operator=(MessageWindow&& other) noexcept;
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  Handle Hwnd() const { return hwnd_; }

 private:
  Handle hwnd_;
};

}  // namespace platform::window
