#include "app/ui/forms/qt_adapters.h"

#include <QSignalBlocker>

namespace orvantix {

void ActionMenuItem::SetChecked(bool on) {
  // Only check items and radio entries carry a mark.
  if (!action_->isCheckable()) return;
  const QSignalBlocker quiet(action_);
  action_->setChecked(on);
}

void ActionMenuItem::SetCaption(const std::string& caption) {
  action_->setText(QString::fromStdString(caption));
}

void QtTimerControl::SetEnabled(bool on) {
  if (on && !timer_.isActive())
    timer_.start();
  else if (!on)
    timer_.stop();
}

}  // namespace orvantix
