// The countdown window TimerForm without its widgets: 30 seconds, then the
// watch switches on; "&Cancel" closes it and changes nothing.
//
// The form owns a Countdown and a CountdownView over its own widgets:
//   - on load it calls Form_Load, which sets Label2 and starts the form's
//     own Timer1 (1000 ms);
//   - each tick of that timer calls Timer1_Timer;
//   - the Cancel button calls Command1_Click.
// Countdown closes the form through CountdownView::Close; it never deletes
// anything, so Close may end a modal loop.
#pragma once

#include <string>

#include "app/engine/form_view.h"

namespace orvantix {

class Engine;

// What the countdown touches of its window.
class CountdownView {
 public:
  virtual ~CountdownView() = default;
  virtual void SetLabel2(const std::string& text) = 0;
  virtual TimerControl& Timer1() = 0;
  virtual void Close() = 0;
};

class Countdown {
 public:
  static constexpr const char* kCaption = "Timer";
  static constexpr const char* kText = "Standby mode starts in";
  static constexpr const char* kCancelCaption = "&Cancel";
  static constexpr int kStartSeconds = 30;
  static constexpr int kIntervalMs = 1000;

  Countdown(CountdownView& view, Engine& engine) : view_(view), engine_(engine) {}

  void Form_Load();
  void Timer1_Timer();
  void Command1_Click();

  int Counter() const { return counter_; }

 private:
  void ShowCounter();

  CountdownView& view_;
  Engine& engine_;
  int counter_ = 0;
};

}  // namespace orvantix
