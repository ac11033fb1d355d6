// What the engine touches of the main window and its companion windows.
// The Qt forms implement it; tests use a fake. All measures are twips.
#pragma once

#include <string>

namespace orvantix {

class MenuItem {
 public:
  virtual ~MenuItem() = default;
  virtual void SetEnabled(bool on) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetVisible(bool on) = 0;
  virtual bool Visible() const = 0;
  virtual void SetChecked(bool on) = 0;
  virtual bool Checked() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
};

class TimerControl {
 public:
  virtual ~TimerControl() = default;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool on) = 0;
  virtual bool Enabled() const = 0;
};

enum class MsgBoxStyle { kCriticalOk, kQuestionYesNo };
enum class MsgBoxResult { kOk, kYes, kNo };

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class FormView {
 public:
  virtual ~FormView() = default;

  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;

  // Status bar panels 1-5.
  virtual void SetPanelText(int panel, const std::string& text) = 0;
  virtual std::string PanelText(int panel) const = 0;

  // A named menu item, or entry `index` of a menu array such as mnuDevice.
  virtual MenuItem& Menu(const std::string& name) = 0;
  virtual MenuItem& MenuArray(const std::string& name, int index) = 0;
  // Creates entry `index` of a menu array (after the existing ones).
  virtual void LoadMenuArrayEntry(const std::string& name, int index) = 0;
  virtual bool HasMenuArrayEntry(const std::string& name, int index) const = 0;
  virtual int MenuArrayLBound(const std::string& name) const = 0;
  virtual int MenuArrayUBound(const std::string& name) const = 0;

  virtual TimerControl& Timer1() = 0;
  virtual TimerControl& Timer2() = 0;

  // Message box titled with the program title.
  virtual MsgBoxResult MessageBox(const std::string& text, MsgBoxStyle style) = 0;

  // Main window placement; setting it lets the form lay itself out.
  virtual Rect WindowRect() const = 0;
  virtual void SetWindowRect(const Rect& rect) = 0;
  virtual bool IsMinimized() const = 0;
  virtual Rect PicFrameRect() const = 0;
  virtual void SetPicFrameSize(int width, int height) = 0;
  virtual Rect KelvraRect() const = 0;
  virtual void SetKelvraSize(int width, int height) = 0;

  // Companion windows.
  virtual void LoadStatistics() = 0;
  virtual void ShowStatistics() = 0;
  virtual void HideStatistics() = 0;
  virtual void UnloadStatistics() = 0;
  virtual bool StatisticsVisible() const = 0;
  // The statistics window's driver status label (Label15).
  virtual void SetStatisticsDriverStatus(const std::string& /*text*/) {}
  virtual void ShowConfigurationModal() = 0;
  virtual void ShowAboutModal() = 0;
  virtual void ShowTimerFormModal() = 0;
};

}  // namespace orvantix
