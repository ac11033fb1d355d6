#include "platform/window/message_pump.h"

#include <QCoreApplication>

namespace platform::window {

void PumpMessages() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

}  // namespace platform::window
