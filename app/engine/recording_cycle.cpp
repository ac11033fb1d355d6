#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <system_error>

#include "app/engine/engine.h"

namespace orvantix {

namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// A snapshot at the start and a mail at the end of each recording.
bool MailWanted(const EngineState& state, const Switches& switches) {
  return state.Notify == 1 && !IsBlank(state.EMail) && !IsBlank(state.SMTPServer) &&
         !switches.NoMail;
}

std::int64_t WholeSecondsSince(SteadyTime since, SteadyTime now) {
  return std::chrono::duration_cast<std::chrono::seconds>(now - since).count();
}

std::int16_t ClampToInt16(std::int64_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

// Restores a flag when the scope ends, also when it ends early.
class FlagScope {
 public:
  FlagScope(bool& flag, bool value) : flag_(flag), previous_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = previous_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace

void Engine::StartStop() {
  if (state_.Armed) {
    Trace("Stop", "Step 1");
    view_.Timer1().SetEnabled(false);
    state_.Armed = false;
    Trace("Stop", "Step 2");
    if (view_.Menu("mnuSuspend").Enabled()) SuspendRecording();
    view_.Menu("mnuStart").SetCaption("&Start");
    view_.Menu("mnuTimer").SetVisible(true);
    Trace("Stop", "Step 3");
    view_.SetPanelText(1, "");
    view_.SetPanelText(2, "OFF");
    view_.SetPanelText(3, "");
    view_.HideStatistics();
    return;
  }

  Trace("Start", "Step 1");
  if (system_.FreeSpaceMB(state_.VidPath) < state_.LowSpace) {
    view_.SetPanelText(5, "LOW DISK SPACE");
    return;
  }
  Trace("Start", "Step 2");
  state_.Mailing = false;
  state_.Armed = true;
  state_.AwaitCalm = false;
  view_.Menu("mnuStart").SetCaption("&Stop");
  view_.Menu("mnuTimer").SetVisible(false);
  Trace("Start", "Step 3");
  view_.SetPanelText(2, "STANDBY");
  view_.SetPanelText(5, "");
  state_.BaseSize = 0;
  view_.Timer1().SetEnabled(true);
  state_.RefreshRemaining = 0;
  state_.FrameCount = 0;
  state_.BaseCount = 0;
  state_.LastSize = 0;
  state_.LastDeviation = 0.0f;
  if (view_.Menu("mnuStat").Checked()) view_.ShowStatistics();

  if (!state_.SAVER.empty() && state_.SAVER.rfind("--- ", 0) != 0) {
    // Without a known saver folder the bare name would be looked up in the
    // current folder, where any program of that name would be started.
    const std::string folder = system_.SystemFolder();
    if (!folder.empty()) system_.ShellOpen(folder + state_.SAVER + ".scr");
  }
}

void Engine::SuspendRecording() {
  FlagScope ending(endingRecording_, true);

  Trace("Suspend", "Step 1");
  view_.Menu("mnuSuspend").SetEnabled(false);
  // A start still waiting for its tick would otherwise begin a capture that
  // no state knows of, even after the watch was switched off.
  view_.Timer2().SetEnabled(false);
  state_.StopPending = false;
  state_.AwaitCalm = false;

  Trace("Suspend", "Step 2");
  kelvra_.StopCapture();
  if (kelvra_.HasOverlay() && !state_.NoOverlay) {
    kelvra_.SetOverlay(false);
    kelvra_.SetPreview(true);
  }

  Trace("Suspend", "Step 3");
  PumpMessages();

  Trace("Suspend", "Step 4");
  AddLogEntry(view_.PanelText(5), NowText(), kelvra_.CaptureFile());
  view_.SetPanelText(1, "");
  // The watch may have been switched off while messages ran.
  view_.SetPanelText(2, state_.Armed ? "STANDBY" : "OFF");
  view_.SetPanelText(4, "");
  view_.SetPanelText(5, "");
}

void Engine::Timer1_Timer() {
  // A tick that was already queued when the watch went off.
  if (!state_.Armed) return;

  // A capture that ended by itself (device lost) must not leave the state
  // at RECORDING with nothing to count down: end and log the recording.
  if (view_.PanelText(2) == "RECORDING" && view_.Menu("mnuSuspend").Enabled() &&
      !view_.Timer2().Enabled() && !kelvra_.IsCapturing()) {
    Trace("Timer_1", "Capture ended by itself");
    SuspendRecording();
    view_.SetPanelText(5, "Recording ended: the capture stopped");
    if (!state_.Armed) return;
  }

  if (kelvra_.IsCapturing() && state_.StopPending) {
    Trace("Timer_1", "Countdown ending period");
    const std::int64_t remaining =
        state_.RecordSeconds - WholeSecondsSince(state_.StopRequestTime, clock_.SteadyNow());
    view_.SetPanelText(4, DecimalText(remaining) + " sec");
    if (remaining < 1) {
      const std::string startTime = view_.PanelText(5);
      SuspendRecording();
      // Switched off while the recording ended: no mail, as for any stop.
      if (!state_.Armed) return;
      if (state_.TimeType == 2) {
        view_.SetPanelText(2, "RECORDED");
        state_.AwaitCalm = true;
      }
      if (MailWanted(state_, switches_)) {
        state_.Mailing = true;
        view_.SetPanelText(2, "MAILING");
        view_.Timer1().SetEnabled(false);
        if (mailer_)
          mailer_->SendMail(startTime);
        else
          MailFinished(false, "notification mail is not available");
        return;
      }
    }
  } else {
    view_.SetPanelText(4, "");
  }

  const bool capturing = kelvra_.IsCapturing();
  if ((!capturing || !state_.SuspendRefresh) && state_.RefreshSeconds > 0 && state_.BaseSize > 0 &&
      !state_.AwaitCalm) {
    Trace("Timer_1", "Check new base");
    const std::int64_t remaining =
        state_.RefreshSeconds - WholeSecondsSince(state_.BaseTime, clock_.SteadyNow());
    view_.SetPanelText(3, DecimalText(remaining) + " sec");
    if (remaining < 1) state_.BaseSize = 0;
    state_.RefreshRemaining = ClampToInt16(remaining);
  } else {
    const bool waiting = state_.BaseSize > 0 && state_.RefreshSeconds > 0 &&
                         ((capturing && state_.SuspendRefresh) || state_.AwaitCalm);
    view_.SetPanelText(3, waiting ? "Wait" : "");
  }

  Trace("Timer_1", "Check low space");
  if (system_.FreeSpaceMB(state_.VidPath) < state_.LowSpace) {
    StartStop();
    view_.SetPanelText(5, "LOW DISK SPACE");
  }
}

void Engine::Timer2_Timer() {
  view_.Timer2().SetEnabled(false);
  Trace("Timer_2", "Step 1");

  if (MailWanted(state_, switches_)) {
    Trace("Timer_2", "Step 2 (Snapshot)");
    state_.SnapshotDib = state_.VidPath + "StillShot.dib";
    try {
      kelvra_.SaveFrameDib(state_.SnapshotDib);
    } catch (const platform::capture::CaptureError& error) {
      Trace("Timer_2", std::string("Snapshot failed: ") + error.what());
      // The mail must not carry the picture of an earlier recording.
      std::error_code ignored;
      std::filesystem::remove(state_.SnapshotDib, ignored);
    }
  }

  Trace("Timer_2", "Step 3");
  const bool overlay = kelvra_.HasOverlay() && !state_.NoOverlay;
  if (overlay) {
    kelvra_.SetPreview(false);
    kelvra_.SetOverlay(true);
  }

  Trace("Timer_2", "Step 4");
  try {
    kelvra_.StartCapture();
  } catch (const platform::capture::CaptureError& error) {
    // No state may say RECORDING without a capture: back to standby, with
    // the reason where the start time would have been.
    const std::string message = std::string("Recording failed: ") + error.what();
    Trace("Timer_2", message);
    if (overlay) {
      kelvra_.SetOverlay(false);
      kelvra_.SetPreview(true);
    }
    view_.Menu("mnuSuspend").SetEnabled(false);
    state_.StopPending = false;
    view_.SetPanelText(1, "");
    view_.SetPanelText(2, state_.Armed ? "STANDBY" : "OFF");
    view_.SetPanelText(4, "");
    view_.SetPanelText(5, "");
    view_.SetPanelText(5, message);
  }
}

void Engine::MailFinished(bool sent, const std::string& errorDescription) {
  AddLogEntry(NowText(),
              sent ? "Mail sent to " + state_.EMail : "Error sending mail: " + errorDescription,
              "");
  // The state shown must stay true to the watch: OFF when it was switched
  // off meanwhile, RECORDING when it was switched on again and a new
  // recording has begun, RECORDED only while the fixed rule waits for calm.
  if (!state_.Armed)
    view_.SetPanelText(2, "OFF");
  else if (view_.Menu("mnuSuspend").Enabled())
    view_.SetPanelText(2, "RECORDING");
  else if (sent && state_.TimeType == 2 && state_.AwaitCalm)
    view_.SetPanelText(2, "RECORDED");
  else
    view_.SetPanelText(2, "STANDBY");
  state_.Mailing = false;
  if (state_.Armed) view_.Timer1().SetEnabled(true);
}

}  // namespace orvantix
