#include "app/ui/forms/form1.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <functional>
#include <stdexcept>

#include "app/ui/forms/about_form.h"
#include "app/ui/forms/timer_form.h"
#include "platform/window/message_pump.h"

namespace orvantix {

namespace {

constexpr int kMarginTwips = 120;
constexpr int kDesignWidthTwips = 7950;
constexpr int kDesignHeightTwips = 5805;

struct PanelDesign {
  int widthTwips;
  const char* toolTip;
};
constexpr PanelDesign kPanels[] = {
    {1200, "Current image deviation in %"},     {1440, "System status"},
    {705, "Time for next base image refresh"},  {705, "Time to stop current recording"},
    {2100, "Timestamp when recording started"},
};

using Command = void (Engine::*)();
using ArrayCommand = void (Engine::*)(std::int16_t);

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"mnuStart", &Engine::mnuStart_Click},
      {"mnuTimer", &Engine::mnuTimer_Click},
      {"mnuSuspend", &Engine::mnuSuspend_Click},
      {"mnuSource", &Engine::mnuSource_Click},
      {"mnuFormat", &Engine::mnuFormat_Click},
      {"mnuCompress", &Engine::mnuCompress_Click},
      {"mnuAudio", &Engine::mnuAudio_Click},
      {"mnuAudioFormat", &Engine::mnuAudioFormat_Click},
      {"mnuSuspendRefresh", &Engine::mnuSuspendRefresh_Click},
      {"mnuStat", &Engine::mnuStat_Click},
      {"mnuConfig", &Engine::mnuConfig_Click},
      {"mnuLogShow", &Engine::mnuLogShow_Click},
      {"mnuLogClear", &Engine::mnuLogClear_Click},
      {"mnuDoc", &Engine::mnuDoc_Click},
      {"mnuOnline", &Engine::mnuOnline_Click},
      {"mnuAbout", &Engine::mnuAbout_Click},
  };
  return commands;
}

const std::map<std::string, ArrayCommand>& ArrayCommands() {
  static const std::map<std::string, ArrayCommand> commands = {
      {"mnuDevice", &Engine::mnuDevice_Click},
      {"mnuSensitivity", &Engine::mnuSensitivity_Click},
      {"mnuTimeType", &Engine::mnuTimeType_Click},
      {"mnuRec", &Engine::mnuRec_Click},
      {"mnuRefresh", &Engine::mnuRefresh_Click},
  };
  return commands;
}

QString ArrayEntryName(const std::string& name, int index) {
  return QString::fromStdString(name + "(" + std::to_string(index) + ")");
}

}  // namespace

Form1::Form1(platform::capture::CaptureControl& kelvra, QWidget* kelvraWidget,
             platform::settings::SettingsStore& store, platform::system::SystemServices& system,
             Switches switches, EngineOptions options, Clock& clock)
    : kelvra_(kelvra), kelvraWidget_(kelvraWidget) {
  setObjectName("Form1");
  engine_ =
      std::make_unique<Engine>(*this, kelvra, store, clock, system, switches, std::move(options));
  kelvra.SetEventSink(engine_.get());
  engine_->SetPumpMessages(&platform::window::PumpMessages);

  BuildMenus();
  BuildStatusBar();

  auto* central = new QWidget(this);
  setCentralWidget(central);
  picFrame_ = new QFrame(central);
  picFrame_->setObjectName("PicFrame");
  picFrame_->move(0, 0);
  kelvraWidget_->setParent(picFrame_);
  kelvraWidget_->setObjectName("Kelvra");
  kelvraWidget_->move(ToPixels(kMarginTwips), ToPixels(kMarginTwips));

  resize(ToPixels(kDesignWidthTwips), ToPixels(kDesignHeightTwips));
  const int frameWidth = width();
  const int frameHeight =
      height() - menuBar()->sizeHint().height() - statusBar()->sizeHint().height();
  picFrame_->resize(frameWidth, std::max(0, frameHeight));
  kelvraWidget_->resize(std::max(0, frameWidth - 2 * ToPixels(kMarginTwips)),
                        std::max(0, frameHeight - 2 * ToPixels(kMarginTwips)));

  QObject::connect(&timer1_.Timer(), &QTimer::timeout, this, [this] { engine_->Timer1_Timer(); });
  QObject::connect(&timer2_.Timer(), &QTimer::timeout, this, [this] { engine_->Timer2_Timer(); });
}

Form1::~Form1() {
  // The engine talks to the window while it ends; it goes first.
  if (loaded_ && !unloaded_) engine_->Form_Unload();
  kelvra_.SetEventSink(nullptr);
  engine_.reset();
}

void Form1::Load() {
  engine_->Form_Load();
  loaded_ = true;
}

QAction* Form1::AddEntry(QMenu* parent, const MenuEntry& entry) {
  QAction* action = nullptr;
  const QString caption = QString::fromUtf8(entry.caption);
  if (entry.kind == MenuKind::kSeparator) {
    action = parent->addSeparator();
  } else if (entry.kind == MenuKind::kSubMenu) {
    QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(entry.name);
    action = menu->menuAction();
  } else {
    action = parent ? parent->addAction(caption) : menuBar()->addAction(caption);
  }
  action->setEnabled(entry.enabled);
  if (entry.kind == MenuKind::kCheck || entry.kind == MenuKind::kRadio) action->setCheckable(true);
  if (entry.index > 0) {
    action->setObjectName(ArrayEntryName(entry.name, entry.index));
    arrays_[entry.name][entry.index] = action;
    arrayMenus_[entry.name] = parent;
    auto& group = groups_[entry.name];
    if (!group) {
      group = new QActionGroup(this);
      group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    }
    group->addAction(action);
  } else {
    action->setObjectName(entry.name);
    actions_[entry.name] = action;
  }
  ConnectCommand(action, entry);
  return action;
}

void Form1::ConnectCommand(QAction* action, const MenuEntry& entry) {
  if (entry.kind == MenuKind::kSubMenu || entry.kind == MenuKind::kSeparator) return;
  const std::string name = entry.name;
  const int index = entry.index;
  QObject::connect(action, &QAction::triggered, this, [this, action, name, index] {
    // The engine owns every check mark: undo Qt's own toggle first.
    if (action->isCheckable()) ItemFor(action).SetChecked(!action->isChecked());
    if (index > 0)
      (engine_.get()->*ArrayCommands().at(name))(static_cast<std::int16_t>(index));
    else
      (engine_.get()->*Commands().at(name))();
  });
}

void Form1::BuildMenus() {
  QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
  for (const MenuEntry& entry : MainMenuTree()) {
    QAction* action = AddEntry(parents[entry.level - 1], entry);
    if (entry.kind == MenuKind::kSubMenu) parents[entry.level] = action->menu();
  }
}

void Form1::BuildStatusBar() {
  statusBar()->setSizeGripEnabled(true);
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    auto* label = new QLabel(statusBar());
    label->setObjectName(QString("Panel%1").arg(i + 1));
    label->setToolTip(kPanels[i].toolTip);
    label->setMinimumWidth(ToPixels(kPanels[i].widthTwips));
    label->setFrameShape(QFrame::StyledPanel);
    statusBar()->addWidget(label, i == panels_.size() - 1 ? 1 : 0);
    panels_[i] = label;
  }
}

ActionMenuItem& Form1::ItemFor(QAction* action) {
  auto& item = items_[action];
  if (!item) item = std::make_unique<ActionMenuItem>(action);
  return *item;
}

void Form1::SetCaption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

std::string Form1::Caption() const { return windowTitle().toStdString(); }

void Form1::SetPanelText(int panel, const std::string& text) {
  Panel(panel)->setText(QString::fromStdString(text));
}

std::string Form1::PanelText(int panel) const { return Panel(panel)->text().toStdString(); }

MenuItem& Form1::Menu(const std::string& name) {
  auto it = actions_.find(name);
  if (it == actions_.end()) throw std::out_of_range("no menu item " + name);
  return ItemFor(it->second);
}

MenuItem& Form1::MenuArray(const std::string& name, int index) {
  auto& entries = arrays_.at(name);
  auto it = entries.find(index);
  if (it == entries.end())
    throw std::out_of_range("no entry " + std::to_string(index) + " of " + name);
  return ItemFor(it->second);
}

void Form1::LoadMenuArrayEntry(const std::string& name, int index) {
  auto& entries = arrays_.at(name);
  if (entries.count(index)) throw std::logic_error("menu entry already loaded");
  QAction* model = entries.begin()->second;
  QMenu* menu = arrayMenus_.at(name);
  auto next = entries.upper_bound(index);
  auto* action = new QAction(model->text(), menu);
  action->setCheckable(model->isCheckable());
  action->setEnabled(model->isEnabled());
  action->setObjectName(ArrayEntryName(name, index));
  menu->insertAction(next == entries.end() ? nullptr : next->second, action);
  groups_.at(name)->addAction(action);
  entries[index] = action;
  ConnectCommand(
      action, MenuEntry{0, "", arrays_.find(name)->first.c_str(), index, MenuKind::kRadio, true});
}

bool Form1::HasMenuArrayEntry(const std::string& name, int index) const {
  auto it = arrays_.find(name);
  return it != arrays_.end() && it->second.count(index) > 0;
}

int Form1::MenuArrayLBound(const std::string& name) const {
  return arrays_.at(name).begin()->first;
}

int Form1::MenuArrayUBound(const std::string& name) const {
  return arrays_.at(name).rbegin()->first;
}

MsgBoxResult Form1::MessageBox(const std::string& text, MsgBoxStyle style) {
  const QString title = Engine::kTitle;
  const QString body = QString::fromStdString(text);
  if (style == MsgBoxStyle::kQuestionYesNo) {
    const auto answer =
        QMessageBox::question(this, title, body, QMessageBox::Yes | QMessageBox::No);
    return answer == QMessageBox::Yes ? MsgBoxResult::kYes : MsgBoxResult::kNo;
  }
  QMessageBox::critical(this, title, body, QMessageBox::Ok);
  return MsgBoxResult::kOk;
}

Rect Form1::WindowRect() const {
  // Twips that were set and still match the pixels read back as set, so a
  // stored position does not drift by rounding from run to run.
  Rect rect{ToTwips(x()), ToTwips(y()), ToTwips(width()), ToTwips(height())};
  if (pos() == placedPos_) {
    rect.left = placed_.left;
    rect.top = placed_.top;
  }
  if (size() == placedSize_) {
    rect.width = placed_.width;
    rect.height = placed_.height;
  }
  return rect;
}

void Form1::SetWindowRect(const Rect& rect) {
  move(ToPixels(rect.left), ToPixels(rect.top));
  resize(ToPixels(rect.width), ToPixels(rect.height));
  placed_ = rect;
  placedPos_ = pos();
  placedSize_ = size();
  // A hidden window gets its resize event only when shown; lay out now.
  engine_->Form_Resize();
}

Rect Form1::PicFrameRect() const {
  return Rect{ToTwips(picFrame_->x()), ToTwips(picFrame_->y()), ToTwips(picFrame_->width()),
              ToTwips(picFrame_->height())};
}

void Form1::SetPicFrameSize(int width, int height) {
  picFrame_->resize(ToPixels(width), ToPixels(height));
}

Rect Form1::KelvraRect() const {
  return Rect{ToTwips(kelvraWidget_->x()), ToTwips(kelvraWidget_->y()),
              ToTwips(kelvraWidget_->width()), ToTwips(kelvraWidget_->height())};
}

void Form1::SetKelvraSize(int width, int height) {
  kelvraWidget_->resize(ToPixels(width), ToPixels(height));
}

void Form1::LoadStatistics() {
  if (statistics_) return;
  statistics_ = new QWidget(this, Qt::Window);
  statistics_->setObjectName("Statistics");
  statistics_->setWindowTitle("Statistics");
}

void Form1::ShowStatistics() {
  LoadStatistics();
  statistics_->show();
}

void Form1::HideStatistics() {
  if (statistics_) statistics_->hide();
}

void Form1::UnloadStatistics() {
  delete statistics_;
  statistics_ = nullptr;
}

bool Form1::StatisticsVisible() const { return statistics_ && statistics_->isVisible(); }

void Form1::ShowConfigurationModal() {
  QDialog configuration(this);
  configuration.setObjectName("Configuration");
  configuration.setWindowTitle("Configuration");
  configuration.exec();
}

void Form1::ShowAboutModal() {
  FrmAbout about(this);
  about.exec();
}

void Form1::ShowTimerFormModal() {
  TimerForm countdown(*engine_, this);
  countdown.exec();
}

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (loaded_ && !unloaded_) engine_->Form_Resize();
}

void Form1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && loaded_ && !unloaded_ && !isMinimized())
    engine_->Form_Resize();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (loaded_ && !unloaded_) {
    unloaded_ = true;
    engine_->Form_Unload();
  }
  event->accept();
}

}  // namespace orvantix
