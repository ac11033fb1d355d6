#include <array>
#include <climits>
#include <filesystem>
#include <optional>

#include "app/engine/engine.h"

namespace orvantix {

namespace {

constexpr std::array<float, 5> kThresholds = {1.2f, 2.0f, 4.0f, 6.0f, 8.0f};
constexpr std::array<std::int16_t, 6> kRecordSeconds = {10, 20, 30, 60, 120, 300};
constexpr std::array<std::int16_t, 7> kRefreshSeconds = {30, 60, 300, 600, 1800, 3600, 0};

// The value behind entry `index` (1-based) of a radio group, if it has one.
template <typename T, std::size_t N>
std::optional<T> EntryValue(const std::array<T, N>& values, std::int16_t index) {
  if (index < 1 || static_cast<std::size_t>(index) > N) return std::nullopt;
  return values[static_cast<std::size_t>(index - 1)];
}

// Checks exactly the entry `index` of a menu array, lowest entry first.
void CheckOnly(FormView& view, const std::string& name, int index) {
  for (int i = view.MenuArrayLBound(name); i <= view.MenuArrayUBound(name); ++i)
    if (view.HasMenuArrayEntry(name, i)) view.MenuArray(name, i).SetChecked(i == index);
}

}  // namespace

void Engine::mnuDevice_Click(std::int16_t index) {
  for (const char* name : {"mnuFormat", "mnuSource", "mnuCompress", "mnuStartStop"})
    view_.Menu(name).SetEnabled(false);
  Trace("Device_Click", "Select device " + DecimalText(index - 2));
  try {
    kelvra_.SetDriverIndex(index - 2);
  } catch (const platform::capture::CaptureError&) {
    view_.MessageBox("The selected video device is currently not available.",
                     MsgBoxStyle::kCriticalOk);
    Trace("Device_Click", "Can't select device");
    CheckOnly(view_, "mnuDevice", INT_MIN);
    // With Start/Stop disabled a running watch could no longer be switched
    // off, so it is switched off here.
    if (state_.Armed) StartStop();
    return;
  }
  Trace("Device_Click", "Device selected");
  CheckOnly(view_, "mnuDevice", index);
  settings_.Save(keys::kCamera, DecimalText(index));
  view_.Menu("mnuFormat").SetEnabled(kelvra_.HasFormatDialog());
  view_.Menu("mnuSource").SetEnabled(kelvra_.HasSourceDialog());
  view_.Menu("mnuCompress").SetEnabled(true);
  view_.Menu("mnuStartStop").SetEnabled(true);
}

void Engine::mnuSource_Click() {
  Trace("Source_Click", "Display Source Dialog");
  kelvra_.ShowSourceDialog();
}

void Engine::mnuFormat_Click() {
  Trace("Format_Click", "Display Format Dialog");
  kelvra_.ShowFormatDialog();
}

void Engine::mnuCompress_Click() {
  Trace("Compress_Click", "Display Compress Dialog");
  kelvra_.ShowCompressionDialog();
}

void Engine::mnuAudioFormat_Click() {
  Trace("AudioFormat_Click", "Display Audio Format Dialog");
  kelvra_.ShowAudioFormatDialog();
}

void Engine::mnuAudio_Click() {
  Trace("Audio_Click", "Toggle Audio");
  MenuItem& item = view_.Menu("mnuAudio");
  item.SetChecked(!item.Checked());
  kelvra_.SetCaptureAudio(item.Checked());
  settings_.Save(keys::kAudio, BoolText(kelvra_.CaptureAudio()));
}

void Engine::ChooseRadioEntry(const RadioGroup& group, std::int16_t index,
                              const std::function<void()>& apply) {
  Trace(group.context, group.firstStep);
  apply();
  CheckOnly(view_, group.menu, index);
  settings_.Save(group.key, DecimalText(index));
  Trace(group.context, group.lastStep);
}

void Engine::mnuSensitivity_Click(std::int16_t index) {
  ChooseRadioEntry({"mnuSensitivity", keys::kSensitivity, "Sensitivity_Click", "Change sensitivity",
                    "Sensitivity changed"},
                   index, [&] {
                     if (auto value = EntryValue(kThresholds, index)) state_.Threshold = *value;
                   });
}

void Engine::mnuTimeType_Click(std::int16_t index) {
  // The stop rule takes any index as it is; only 1 and 2 have entries.
  ChooseRadioEntry({"mnuTimeType", keys::kTimeType, "RecType_Click", "Change Recording Time Type",
                    "Recording Time Type changed"},
                   index, [&] { state_.TimeType = index; });
}

void Engine::mnuRec_Click(std::int16_t index) {
  ChooseRadioEntry(
      {"mnuRec", keys::kRecStop, "Rec_Click", "Change Recording Time", "Recording Time changed"},
      index, [&] {
        if (auto value = EntryValue(kRecordSeconds, index)) state_.RecordSeconds = *value;
      });
}

void Engine::mnuRefresh_Click(std::int16_t index) {
  ChooseRadioEntry({"mnuRefresh", keys::kNewBase, "Refresh_Click", "Change Refresh Time",
                    "Refresh Time changed"},
                   index, [&] {
                     if (auto value = EntryValue(kRefreshSeconds, index))
                       state_.RefreshSeconds = *value;
                   });
}

void Engine::mnuSuspendRefresh_Click() {
  Trace("SupendRefresh_Click", "Toggle Suspend Refresh");
  MenuItem& item = view_.Menu("mnuSuspendRefresh");
  item.SetChecked(!item.Checked());
  state_.SuspendRefresh = item.Checked();
  settings_.Save(keys::kSuspendRefresh, BoolText(state_.SuspendRefresh));
  Trace("SupendRefresh_Click", "Suspend Refresh changed");
}

void Engine::mnuStat_Click() {
  MenuItem& item = view_.Menu("mnuStat");
  item.SetChecked(!item.Checked());
  if (state_.Armed && item.Checked())
    view_.ShowStatistics();
  else
    view_.HideStatistics();
}

void Engine::mnuConfig_Click() {
  Trace("Config_Click", "Display Configuration Dialog");
  view_.ShowConfigurationModal();
}

void Engine::mnuDoc_Click() {
  const std::filesystem::path folder = options_.logFolder.empty()
                                           ? std::filesystem::current_path()
                                           : std::filesystem::path(options_.logFolder);
  system_.ShellOpen((folder / options_.documentationPage).string());
}

void Engine::mnuOnline_Click() { system_.ShellOpen(options_.onlineAddress); }

void Engine::mnuAbout_Click() { view_.ShowAboutModal(); }

}  // namespace orvantix
