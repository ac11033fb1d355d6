#include "app/engine/countdown.h"

#include "app/engine/engine.h"

namespace orvantix {

void Engine::mnuTimer_Click() {
  Trace("Timer_Click", "Display Timer Countdown");
  view_.ShowTimerFormModal();
}

void Countdown::Form_Load() {
  counter_ = kStartSeconds;
  ShowCounter();
  view_.Timer1().SetInterval(kIntervalMs);
  view_.Timer1().SetEnabled(true);
}

void Countdown::Timer1_Timer() {
  --counter_;
  ShowCounter();
  if (counter_ < 1) {
    // A tick that arrives before the window has gone must not switch the
    // watch a second time.
    view_.Timer1().SetEnabled(false);
    // The watch may have been switched on meanwhile (remote console): the
    // countdown only ever switches it on.
    if (!engine_.State().Armed) engine_.StartStop();
    view_.Close();
  }
}

void Countdown::Command1_Click() {
  view_.Timer1().SetEnabled(false);
  view_.Close();
}

void Countdown::ShowCounter() { view_.SetLabel2(std::to_string(counter_) + " seconds"); }

}  // namespace orvantix
