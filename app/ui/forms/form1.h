// The main window: menu tree, live picture and status bar around the
// engine, which it owns and forwards every event to.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <array>
#include <map>
#include <memory>
#include <string>

#include "app/engine/engine.h"
#include "app/ui/forms/qt_adapters.h"
#include "app/ui/menu_tree.h"
#include "platform/window/message_window.h"

class QActionGroup;
class QMenu;

namespace orvantix {

class Form1 final : public QMainWindow, public FormView {
  Q_OBJECT

 public:
  // `kelvraWidget` shows the live picture of `kelvra`; the form adopts it.
  Form1(platform::capture::CaptureControl& kelvra, QWidget* kelvraWidget,
        platform::settings::SettingsStore& store, platform::system::SystemServices& system,
        Switches switches, EngineOptions options, Clock& clock);
  ~Form1() override;

  Engine& engine() { return *engine_; }
  // The handle through which the window's messages can be hooked.
  platform::window::Handle Hwnd() const { return messageWindow_.Hwnd(); }
  // Start-up: runs once before the window is first shown.
  void Load();

  // FormView
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  void SetPanelText(int panel, const std::string& text) override;
  std::string PanelText(int panel) const override;
  MenuItem& Menu(const std::string& name) override;
  MenuItem& MenuArray(const std::string& name, int index) override;
  void LoadMenuArrayEntry(const std::string& name, int index) override;
  bool HasMenuArrayEntry(const std::string& name, int index) const override;
  int MenuArrayLBound(const std::string& name) const override;
  int MenuArrayUBound(const std::string& name) const override;
  TimerControl& Timer1() override { return timer1_; }
  TimerControl& Timer2() override { return timer2_; }
  MsgBoxResult MessageBox(const std::string& text, MsgBoxStyle style) override;
  Rect WindowRect() const override;
  void SetWindowRect(const Rect& rect) override;
  bool IsMinimized() const override { return isMinimized(); }
  Rect PicFrameRect() const override;
  void SetPicFrameSize(int width, int height) override;
  Rect KelvraRect() const override;
  void SetKelvraSize(int width, int height) override;
  void LoadStatistics() override;
  void ShowStatistics() override;
  void HideStatistics() override;
  void UnloadStatistics() override;
  bool StatisticsVisible() const override;
  void ShowConfigurationModal() override;
  void ShowAboutModal() override;
  void ShowTimerFormModal() override;

  QFrame* PicFrame() const { return picFrame_; }
  QWidget* Kelvra() const { return kelvraWidget_; }
  QLabel* Panel(int panel) const { return panels_.at(static_cast<std::size_t>(panel - 1)); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildStatusBar();
  QAction* AddEntry(QMenu* parent, const MenuEntry& entry);
  void ConnectCommand(QAction* action, const MenuEntry& entry);
  ActionMenuItem& ItemFor(QAction* action);

  platform::capture::CaptureControl& kelvra_;
  platform::window::MessageWindow messageWindow_;
  std::unique_ptr<Engine> engine_;
  QFrame* picFrame_ = nullptr;
  QWidget* kelvraWidget_ = nullptr;
  std::array<QLabel*, 5> panels_{};
  QtTimerControl timer1_;
  QtTimerControl timer2_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, std::map<int, QAction*>> arrays_;
  std::map<std::string, QActionGroup*> groups_;
  std::map<std::string, QMenu*> arrayMenus_;
  std::map<QAction*, std::unique_ptr<ActionMenuItem>> items_;
  QWidget* statistics_ = nullptr;
  Rect placed_{};
  QPoint placedPos_{-1, -1};
  QSize placedSize_{-1, -1};
  bool loaded_ = false;
  bool unloaded_ = false;
};

}  // namespace orvantix
