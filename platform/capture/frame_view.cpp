#include "platform/capture/frame_view.h"

#include <cstring>

namespace platform::capture {

FrameView::FrameView(GstSample* sample) {
  if (!sample) return;
  sample_.reset(gst_sample_ref(sample));
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstCaps* caps = gst_sample_get_caps(sample);
  GstVideoInfo info;
  if (!buffer || !caps || !gst_video_info_from_caps(&info, caps) ||
      GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_BGR) {
    return;
  }
  if (!gst_video_frame_map(&frame_, &info, buffer, GST_MAP_READ)) return;
  mapped_ = true;
  width_ = GST_VIDEO_FRAME_WIDTH(&frame_);
  height_ = GST_VIDEO_FRAME_HEIGHT(&frame_);
  // Looped files repeat their timestamps; the running time keeps growing.
  const GstSegment* segment = gst_sample_get_segment(sample);
  running_time_ =
      segment && segment->format == GST_FORMAT_TIME
          ? gst_segment_to_running_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer))
          : GST_BUFFER_PTS(buffer);
  auto* plane = static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame_, 0));
  const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame_, 0);
  const std::size_t row = static_cast<std::size_t>(width_) * 3;
  if (static_cast<std::size_t>(stride) == row) {
    data_ = plane;
    return;
  }
  // GStreamer pads BGR rows to 4 bytes; the frame event promises packed rows.
  packed_.resize(row * height_);
  for (int y = 0; y < height_; ++y) {
    std::memcpy(packed_.data() + y * row, plane + static_cast<std::size_t>(y) * stride, row);
  }
  data_ = packed_.data();
}

FrameView::~FrameView() {
  if (mapped_) gst_video_frame_unmap(&frame_);
}

}  // namespace platform::capture
