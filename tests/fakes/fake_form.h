// A main window for engine tests: the menu tree as the real form builds it,
// panels, timers, message boxes with scripted answers, and placement.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/engine/form_view.h"

namespace orvantix::testing {

class FakeMenuItem : public MenuItem {
 public:
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  std::string caption;

  void SetEnabled(bool on) override { enabled = on; }
  bool Enabled() const override { return enabled; }
  void SetVisible(bool on) override { visible = on; }
  bool Visible() const override { return visible; }
  void SetChecked(bool on) override { checked = on; }
  bool Checked() const override { return checked; }
  void SetCaption(const std::string& c) override { caption = c; }
  std::string Caption() const override { return caption; }
};

class FakeTimer : public TimerControl {
 public:
  int interval = 0;
  bool enabled = false;
  void SetInterval(int ms) override { interval = ms; }
  int Interval() const override { return interval; }
  void SetEnabled(bool on) override { enabled = on; }
  bool Enabled() const override { return enabled; }
};

class FakeForm : public FormView {
 public:
  FakeForm();

  std::string caption;
  std::map<int, std::string> panels;
  FakeTimer timer1;
  FakeTimer timer2;
  std::deque<MsgBoxResult> answers;  // next message box answers; default Ok/No
  std::vector<std::pair<std::string, MsgBoxStyle>> messages;
  Rect window{0, 0, 7950, 5805};
  bool minimized = false;
  Rect picFrame{0, 0, 7470, 4800};
  Rect kelvra{120, 120, 7230, 4560};
  bool statisticsLoaded = false;
  bool statisticsVisible = false;
  std::string statisticsStatus;    // the statistics window's driver status label
  std::vector<std::string> shown;  // modal windows shown, by name
  // Runs when the window is placed, as the real form lays itself out.
  std::function<void()> onResize;

  void SetCaption(const std::string& c) override { caption = c; }
  std::string Caption() const override { return caption; }
  void SetPanelText(int panel, const std::string& text) override { panels[panel] = text; }
  std::string PanelText(int panel) const override;
  MenuItem& Menu(const std::string& name) override;
  MenuItem& MenuArray(const std::string& name, int index) override;
  void LoadMenuArrayEntry(const std::string& name, int index) override;
  bool HasMenuArrayEntry(const std::string& name, int index) const override;
  int MenuArrayLBound(const std::string& name) const override;
  int MenuArrayUBound(const std::string& name) const override;
  TimerControl& Timer1() override { return timer1; }
  TimerControl& Timer2() override { return timer2; }
  MsgBoxResult MessageBox(const std::string& text, MsgBoxStyle style) override;
  Rect WindowRect() const override { return window; }
  void SetWindowRect(const Rect& rect) override;
  bool IsMinimized() const override { return minimized; }
  Rect PicFrameRect() const override { return picFrame; }
  void SetPicFrameSize(int width, int height) override;
  Rect KelvraRect() const override { return kelvra; }
  void SetKelvraSize(int width, int height) override;
  void LoadStatistics() override { statisticsLoaded = true; }
  void ShowStatistics() override { statisticsLoaded = statisticsVisible = true; }
  void HideStatistics() override { statisticsVisible = false; }
  void UnloadStatistics() override { statisticsLoaded = statisticsVisible = false; }
  bool StatisticsVisible() const override { return statisticsVisible; }
  void SetStatisticsDriverStatus(const std::string& text) override { statisticsStatus = text; }
  void ShowConfigurationModal() override { shown.push_back("Configuration"); }
  void ShowAboutModal() override { shown.push_back("frmAbout"); }
  void ShowTimerFormModal() override { shown.push_back("TimerForm"); }

  // Menu items by name ("mnuStart") or array entry ("mnuRec(3)").
  FakeMenuItem& Item(const std::string& key);
  // Indexes of the checked entries of a menu array.
  std::vector<int> CheckedEntries(const std::string& name) const;

 private:
  std::map<std::string, FakeMenuItem> items_;
  std::map<std::string, std::map<int, FakeMenuItem>> arrays_;
};

}  // namespace orvantix::testing
