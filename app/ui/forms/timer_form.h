// The countdown window before the watch switches on.
#pragma once

#include <QDialog>

namespace orvantix {

class Engine;

class TimerForm final : public QDialog {
  Q_OBJECT

 public:
  TimerForm(Engine& engine, QWidget* parent = nullptr);

 private:
  Engine& engine_;
};

}  // namespace orvantix
