// Lets pending messages run: posted messages, timers, socket notifications
// and frame events all run inside one call.
#pragma once

namespace platform::window {

// One pass of QCoreApplication::processEvents; nothing without an application.
void PumpMessages();

}  // namespace platform::window
