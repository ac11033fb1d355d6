#include <zlib.h>

#include <cmath>

#include "app/engine/deviation.h"
#include "app/engine/engine.h"

namespace orvantix {

namespace {

constexpr int kCompressionLevel = 9;

// The date-time text without ".", "/" and ":", blanks as "-".
std::string FileNameFromDateTime(const std::string& text) {
  std::string name;
  name.reserve(text.size());
  for (const char c : text) {
    if (c == '.' || c == '/' || c == ':') continue;
    name += (c == ' ') ? '-' : c;
  }
  return name;
}

}  // namespace

void Engine::FrameCallback(const platform::capture::FrameHeader& header) {
  if (kelvra_.IsCapturing() || !state_.Armed) return;
  Trace("Frame_Callback", "Begin");
  Frame_Handler(header);
  Trace("Frame_Callback", "End");
}

void Engine::StreamCallback(const platform::capture::FrameHeader& header) {
  Trace("Stream_Callback", "Begin");
  Frame_Handler(header);
  Trace("Stream_Callback", "End");
}

void Engine::StatusCallback(int /*code*/, const std::string& text) {
  std::string status = text;
  if (!status.empty() && status.back() == '\0') status.pop_back();
  state_.DriverStatus = status;
  if (view_.StatisticsVisible()) view_.SetStatisticsDriverStatus(status);
}

void Engine::Frame_Handler(const platform::capture::FrameHeader& header) {
  PumpMessages();
  // While a recording is being ended its frames are not decided on: a
  // motion frame there would start a new recording behind the end's back.
  if (!state_.Armed || state_.Mailing || endingRecording_) return;

  Trace("Frame_Handler", "Step 1");
  state_.FrameHeader = header;
  const std::uint32_t n = header.dwBytesUsed;
  if (n > 0 && header.lpData == nullptr) return;  // nothing to measure

  const auto m = static_cast<uLong>(std::floor(static_cast<double>(n) * 1.1)) + 12;
  Trace("Frame_Handler", "Step 2");

  // assign and resize keep the capacity, so the buffers are allocated once
  // per frame size, not once per frame.
  source_.assign(header.lpData, header.lpData + n);
  Trace("Frame_Handler", "Step 3");
  destination_.resize(m);
  uLongf compressedLength = m;
  const int result =
      compress2(destination_.data(), &compressedLength, source_.data(), n, kCompressionLevel);
  const std::int32_t size = (result == Z_OK && compressedLength <= 0x7fffffffu)
                                ? static_cast<std::int32_t>(compressedLength)
                                : 0;
  if (size == 0) return;

  if (state_.BaseSize == 0) {
    state_.BaseSize = size;
    state_.BaseTime = clock_.SteadyNow();
    ++state_.BaseCount;
  }

  Trace("Frame_Handler", "Step 4");
  const float deviation = DeviationPercent(size, state_.BaseSize);
  view_.SetPanelText(1, DeviationText(deviation, state_.Threshold));

  state_.LastDeviation = deviation;
  state_.LastSize = size;
  ++state_.FrameCount;

  const bool quiet = deviation < state_.Threshold && !state_.ForceRecord;
  if (quiet) {
    if (kelvra_.IsCapturing() && !state_.StopPending) {
      Trace("Frame_Handler", "Initiate Stop (variable recording time)");
      state_.StopRequestTime = clock_.SteadyNow();
      state_.StopPending = true;
    }
  } else {
    if (!kelvra_.IsCapturing() && !state_.AwaitCalm) {
      Trace("Frame_Handler", "Initiate Start");
      view_.SetPanelText(5, NowText());
      view_.Menu("mnuSuspend").SetEnabled(true);
      state_.ForceRecord = false;
      view_.SetPanelText(2, "RECORDING");
      Trace("Frame_Handler", "Set outfile");
      state_.OutFile = state_.VidPath + FileNameFromDateTime(view_.PanelText(5)) + ".avi";
      kelvra_.SetCaptureFile(state_.OutFile);
      view_.Timer2().SetInterval(1);
      view_.Timer2().SetEnabled(true);
      state_.StopPending = false;
    }
    if (state_.TimeType == 1) state_.StopPending = false;
  }

  if (kelvra_.IsCapturing() && state_.TimeType == 2 && !state_.StopPending) {
    Trace("Frame_Handler", "Initiate Stop (fixed recording time)");
    state_.StopRequestTime = clock_.SteadyNow();
    state_.StopPending = true;
  }

  if (deviation < state_.Threshold && state_.AwaitCalm) {
    state_.AwaitCalm = false;
    view_.SetPanelText(2, "STANDBY");
  }
}

}  // namespace orvantix
