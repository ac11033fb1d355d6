// A delivered frame seen as packed 24-bit BGR rows (stride = width * 3):
// the buffer's own memory when its rows are packed, else a packed copy.
// Valid while the view lives; it holds its own reference on the sample.
#pragma once

#include <gst/video/video.h>

#include <cstdint>
#include <vector>

#include "platform/capture/gst_util.h"

namespace platform::capture {

class FrameView {
 public:
  explicit FrameView(GstSample* sample);
  ~FrameView();
  FrameView(const FrameView&) = delete;
  FrameView& operator=(const FrameView&) = delete;

  bool valid() const { return data_ != nullptr; }
  std::uint8_t* data() const { return data_; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t size() const { return static_cast<std::size_t>(width_) * height_ * 3; }
  // Time since the stream started, on the pipeline's running-time axis.
  GstClockTime running_time() const { return running_time_; }

 private:
  SamplePtr sample_;
  GstVideoFrame frame_{};
  bool mapped_ = false;
  std::vector<std::uint8_t> packed_;
  std::uint8_t* data_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  GstClockTime running_time_ = GST_CLOCK_TIME_NONE;
};

}  // namespace platform::capture
