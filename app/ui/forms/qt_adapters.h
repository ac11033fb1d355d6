// Qt objects behind the engine's menu item and timer interfaces.
#pragma once

#include <QAction>
#include <QTimer>
#include <string>

#include "app/engine/form_view.h"

namespace orvantix {

class ActionMenuItem final : public MenuItem {
 public:
  explicit ActionMenuItem(QAction* action) : action_(action) {}
  QAction* Action() const { return action_; }

  void SetEnabled(bool on) override { action_->setEnabled(on); }
  bool Enabled() const override { return action_->isEnabled(); }
  void SetVisible(bool on) override { action_->setVisible(on); }
  bool Visible() const override { return action_->isVisible(); }
  void SetChecked(bool on) override;
  bool Checked() const override { return action_->isChecked(); }
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override { return action_->text().toStdString(); }

 private:
  QAction* action_;
};

class QtTimerControl final : public TimerControl {
 public:
  QTimer& Timer() { return timer_; }
  void SetInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
  int Interval() const override { return timer_.interval(); }
  void SetEnabled(bool on) override;
  bool Enabled() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

// Twips at 15 to the logical pixel.
constexpr int kTwipsPerPixel = 15;
inline int ToPixels(int twips) { return twips / kTwipsPerPixel; }
inline int ToTwips(int pixels) { return pixels * kTwipsPerPixel; }

}  // namespace orvantix
