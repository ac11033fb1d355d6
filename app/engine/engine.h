// The engine of the main window: start-up and shutdown, the menu commands,
// motion detection and the recording cycle. It owns all watch state and
// reaches the window, the camera, the settings and the host only through
// interfaces, so it runs headless.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/clock.h"
#include "app/engine/engine_state.h"
#include "app/engine/form_view.h"
#include "app/engine/settings_table.h"
#include "app/engine/switches.h"
#include "app/engine/text_format.h"
#include "app/engine/trace.h"
#include "app/ui/activity_log.h"
#include "platform/capture/capture_control.h"
#include "platform/system/system_services.h"

namespace orvantix {

// Sends the notification mail after a recording. The engine hands over the
// start-time text; the mailer calls Engine::MailFinished when it is done.
class NotificationMail {
 public:
  virtual ~NotificationMail() = default;
  virtual void SendMail(const std::string& startTime) = 0;
};

struct EngineOptions {
  std::string traceFilePath;   // where /DEBUG appends
  std::string defaultVidPath;  // VidPath when the store has none
  std::string onlineAddress = "https://orvanta.example/";
  std::string logFolder;  // activity log's folder; empty = current
  std::string documentationPage = "kelvra.html";
};

class Engine final : public platform::capture::CaptureEvents {
 public:
  static constexpr const char* kTitle = "Orvanta";
  static constexpr const char* kVersion = "1.0";

  Engine(FormView& view, platform::capture::CaptureControl& kelvra,
         platform::settings::SettingsStore& store, Clock& clock,
         platform::system::SystemServices& system, Switches switches, EngineOptions options);
  ~Engine() override;

  EngineState& State() { return state_; }
  const EngineState& State() const { return state_; }
  const Switches& CommandSwitches() const { return switches_; }
  ActivityLog& Log() { return log_; }
  void SetMailer(NotificationMail* mailer) { mailer_ = mailer; }

  // Start-up and shutdown (startup.cpp, layout.cpp)
  void Form_Load();
  void Form_Resize();
  void Form_Unload();

  // Capture events and the measure (motion.cpp)
  void FrameCallback(const platform::capture::FrameHeader& header) override;
  void StreamCallback(const platform::capture::FrameHeader& header) override;
  void StatusCallback(int code, const std::string& text) override;
  void Frame_Handler(const platform::capture::FrameHeader& header);

  // Recording cycle (recording_cycle.cpp)
  void StartStop();
  void SuspendRecording();
  void Timer1_Timer();
  void Timer2_Timer();
  // The mail after a recording has ended, either way.
  void MailFinished(bool sent, const std::string& errorDescription);

  // Menu commands (app/ui/menu_commands.cpp)
  void mnuStart_Click() { StartStop(); }
  void mnuSuspend_Click() { SuspendRecording(); }
  void mnuTimer_Click();
  void mnuDevice_Click(std::int16_t index);
  void mnuSource_Click();
  void mnuFormat_Click();
  void mnuCompress_Click();
  void mnuAudio_Click();
  void mnuAudioFormat_Click();
  void mnuSensitivity_Click(std::int16_t index);
  void mnuTimeType_Click(std::int16_t index);
  void mnuRec_Click(std::int16_t index);
  void mnuRefresh_Click(std::int16_t index);
  void mnuSuspendRefresh_Click();
  void mnuStat_Click();
  void mnuConfig_Click();
  void mnuLogShow_Click();
  void mnuLogClear_Click();
  void mnuDoc_Click();
  void mnuOnline_Click();
  void mnuAbout_Click();

  // Activity log row with the camera in use and the current threshold.
  void AddLogEntry(const std::string& first, const std::string& second,
                   const std::string& filePath);

  void Trace(const std::string& context, const std::string& step) {
    if (state_.DebugMode) tracer_.Trace(context, step);
  }
  // Let pending messages run (timers, sockets, frames) before going on.
  void SetPumpMessages(std::function<void()> pump) { pump_ = std::move(pump); }
  void PumpMessages() {
    if (pump_) pump_();
  }

  std::string NowText() const { return DateTimeText(clock_.WallNow()); }

 private:
  // A menu radio group: its array, settings key and trace texts.
  struct RadioGroup {
    const char* menu;
    const char* key;
    const char* context;
    const char* firstStep;
    const char* lastStep;
  };
  void ChooseRadioEntry(const RadioGroup& group, std::int16_t index,
                        const std::function<void()>& apply);

  FormView& view_;
  platform::capture::CaptureControl& kelvra_;
  Settings settings_;
  Clock& clock_;
  platform::system::SystemServices& system_;
  Switches switches_;
  EngineOptions options_;
  Tracer tracer_;
  ActivityLog log_;
  NotificationMail* mailer_ = nullptr;
  std::function<void()> pump_;
  EngineState state_;
  std::vector<std::uint8_t> source_;       // frame bytes being measured
  std::vector<std::uint8_t> destination_;  // their compressed form
  bool endingRecording_ = false;           // SuspendRecording lets messages run
};

}  // namespace orvantix
