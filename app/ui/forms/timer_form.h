// The countdown window before the watch switches on.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "app/engine/countdown.h"
#include "app/ui/forms/qt_adapters.h"

namespace orvantix {

class Engine;

class TimerForm final : public QDialog, private CountdownView {
  Q_OBJECT

 public:
  TimerForm(Engine& engine, QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* Command1 = nullptr;

 private:
  void SetLabel2(const std::string& text) override;
  TimerControl& Timer1() override { return timer1_; }
  void Close() override { accept(); }

  QtTimerControl timer1_;
  Countdown countdown_;
};

}  // namespace orvantix
