#include "app/ui/forms/timer_form.h"

namespace orvantix {

TimerForm::TimerForm(Engine& engine, QWidget* parent) : QDialog(parent), engine_(engine) {
  setObjectName("TimerForm");
  setWindowTitle("Timer");
}

}  // namespace orvantix
