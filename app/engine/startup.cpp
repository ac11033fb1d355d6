#include <climits>
#include <cmath>
#include <iostream>

#include "app/engine/engine.h"
#include "app/engine/password.h"

namespace orvantix {

namespace {

// A stored index or measure; the fallback when the text is not a number
// that fits.
std::int32_t StoredInt(Settings& settings, const char* key, std::int32_t fallback,
                       std::int32_t low = INT_MIN, std::int32_t high = INT_MAX) {
  const double value = ParseNumber(settings.Get(key, std::to_string(fallback)), fallback);
  const double rounded = std::nearbyint(value);
  if (!(rounded >= low && rounded <= high)) return fallback;
  return static_cast<std::int32_t>(rounded);
}

std::int16_t StoredIndex(Settings& settings, const char* key, std::int16_t fallback) {
  return static_cast<std::int16_t>(StoredInt(settings, key, fallback, SHRT_MIN, SHRT_MAX));
}

std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

void Engine::Form_Load() {
  view_.SetCaption(std::string(kTitle) + " V" + kVersion);

  state_.DebugMode = false;
  if (switches_.Debug) {
    state_.DebugMode = true;
    // Without a writable trace file the program still runs, untraced.
    if (!tracer_.Open(options_.traceFilePath))
      std::cerr << "orvantix: cannot open the trace file " << options_.traceFilePath << '\n';
    Trace("Init", view_.Caption());
    view_.SetCaption(view_.Caption() + "  D E B U G");
  }

  state_.DeviceCount = 0;
  if (!switches_.NoHw) {
    for (int index = 0; index < platform::capture::CaptureControl::kMaxDrivers; ++index) {
      const std::string name = kelvra_.DriverName(index);
      if (name.empty()) continue;
      Trace("Init", "Hardware detected: " + name);
      ++state_.DeviceCount;
      view_.LoadMenuArrayEntry("mnuDevice", index + 2);
      MenuItem& entry = view_.MenuArray("mnuDevice", index + 2);
      entry.SetCaption(name);
      entry.SetEnabled(true);
      entry.SetChecked(false);
      entry.SetVisible(true);
      view_.MenuArray("mnuDevice", 1).SetVisible(false);
    }
  }

  if (state_.DeviceCount > 0) {
    mnuDevice_Click(StoredIndex(settings_, keys::kCamera, 2));
  } else {
    for (const char* name : {"mnuFormat", "mnuSource", "mnuCompress", "mnuStartStop"})
      view_.Menu(name).SetEnabled(false);
  }

  kelvra_.SetCaptureAudio(ParseBool(settings_.Get(keys::kAudio, "False"), false));
  if (!kelvra_.HasAudio()) kelvra_.SetCaptureAudio(false);
  view_.Menu("mnuAudio").SetChecked(kelvra_.CaptureAudio());
  view_.Menu("mnuAudio").SetVisible(kelvra_.HasAudio());
  view_.Menu("mnuAudioFormat").SetVisible(kelvra_.HasAudio());

  view_.SetPanelText(2, "OFF");

  constexpr int kFixedOptions[] = {0, 0, 0, 1, 1, 0, 0, 0, 100};
  for (int i = 0; i < 9; ++i) kelvra_.SetOption(i + 1, kFixedOptions[i]);
  // A rate below one frame a second would stall the camera: take the default.
  kelvra_.SetFrameRate(StoredInt(settings_, keys::kCaptureFPS, 5, 1, 1000));

  state_.NoOverlay = switches_.NoOverlay;
  if (state_.NoOverlay) view_.SetPanelText(5, "Overlay disabled");

  mnuSensitivity_Click(StoredIndex(settings_, keys::kSensitivity, 3));
  mnuRec_Click(StoredIndex(settings_, keys::kRecStop, 3));
  mnuTimeType_Click(StoredIndex(settings_, keys::kTimeType, 1));
  mnuRefresh_Click(StoredIndex(settings_, keys::kNewBase, 2));
  state_.SuspendRefresh = ParseBool(settings_.Get(keys::kSuspendRefresh, "True"), true);
  view_.Menu("mnuSuspendRefresh").SetChecked(state_.SuspendRefresh);

  Trace("Init", "Telnet Init Begin");
  state_.VidPath = WithTrailingSlash(settings_.Get(keys::kVidPath, options_.defaultVidPath));
  state_.EMail = settings_.Get(keys::kEMail, "");
  state_.SMTPServer = settings_.Get(keys::kSMTPServer, kDefaultSmtpServer);
  state_.LowSpace = StoredInt(settings_, keys::kLowSpace, 20);
  state_.RemotePW = settings_.Get(keys::kRemotePW, "");
  if (!state_.RemotePW.empty()) {
    state_.RemotePW = DecodePassword(state_.RemotePW);
    if (!state_.RemotePW.empty() && !switches_.NoRemote) Trace("Init", "Telnet Bind/Listen");
  }

  state_.Notify = StoredInt(settings_, keys::kNotify, 1);
  state_.APM = StoredInt(settings_, keys::kAPM, 0);
  state_.SAVER = settings_.Get(keys::kSaver, "");

  state_.Armed = false;
  state_.ForceRecord = false;
  view_.Timer1().SetInterval(250);
  view_.LoadStatistics();
  log_.CreateFromTemplateIfMissing();

  const Rect current = view_.WindowRect();
  state_.PrevWidth = current.width;
  state_.PrevHeight = current.height;
  state_.PicFrameWidth = view_.PicFrameRect().width;
  state_.PicFrameHeight = view_.PicFrameRect().height;

  Trace("Init", "Position Window");
  Rect placed;
  placed.left = StoredInt(settings_, keys::kPosLeft, 1000);
  placed.top = StoredInt(settings_, keys::kPosTop, 1000);
  placed.width = StoredInt(settings_, keys::kPosWidth, 7950, 0);
  placed.height = StoredInt(settings_, keys::kPosHeight, 5805, 0);
  view_.SetWindowRect(placed);

  if (switches_.Start && view_.Menu("mnuStartStop").Enabled()) StartStop();
}

void Engine::Form_Unload() {
  if (state_.Armed) StartStop();

  const Rect window = view_.WindowRect();
  settings_.Save(keys::kPosLeft, DecimalText(window.left));
  settings_.Save(keys::kPosTop, DecimalText(window.top));
  settings_.Save(keys::kPosWidth, DecimalText(window.width));
  settings_.Save(keys::kPosHeight, DecimalText(window.height));

  view_.UnloadStatistics();

  if (state_.DebugMode) {
    Trace("End", "Unload completed");
    tracer_.Close();
    state_.DebugMode = false;
  }
}

}  // namespace orvantix
