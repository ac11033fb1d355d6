#include "platform/capture/preview_pipeline.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "platform/capture/scene_renderer.h"
#include "platform/capture/source_factory.h"

namespace platform::capture {
namespace {

std::string BranchOf(GstObject* object) {
  std::string branch;
  GstObject* current = object ? GST_OBJECT(gst_object_ref(object)) : nullptr;
  while (current) {
    if (g_str_has_prefix(GST_OBJECT_NAME(current), kCaptureBranchPrefix)) {
      branch = GST_OBJECT_NAME(current);
    }
    GstObject* parent = gst_object_get_parent(current);
    gst_object_unref(current);
    current = parent;
  }
  return branch;
}

GstElement* Add(GstElement* pipeline, const char* factory, const char* name = nullptr) {
  GstElement* element = MakeElement(factory, name);
  gst_bin_add(GST_BIN(pipeline), element);
  return element;
}

}  // namespace

PreviewPipeline::PreviewPipeline(const DriverEntry& driver, const FormatChoice& format, int fps,
                                 std::shared_ptr<SceneRenderer> scene, PipelineCallbacks callbacks)
    : callbacks_(std::move(callbacks)), format_(format) {
  pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("orvantix-preview"))));
  GstElement* pipeline = pipeline_.get();
  const SourceParts source = BuildSource(driver, format, fps, scene);
  gst_bin_add(GST_BIN(pipeline), source.bin);
  scene_caps_ = source.scene_caps;
  balance_ = source.balance;
  seek_pad_ = source.seek_pad;
  loops_ = source.loops;
  is_scene_ = source.scene_caps != nullptr;
  scale_output_ = driver.kind == DriverEntry::Kind::kVirtual && !is_scene_ &&
                  format.size.width > 0 && format.size.height > 0;

  GstElement* rate = Add(pipeline, "videorate");
  GstElement* convert = Add(pipeline, "videoconvert");
  GstElement* scale = Add(pipeline, "videoscale");
  output_caps_ = Add(pipeline, "capsfilter", "output-caps");
  tee_ = Add(pipeline, "tee", "frames-tee");
  sink_ = Add(pipeline, "appsink", "frames-sink");
  g_object_set(output_caps_, "caps", CapsFromString(OutputCaps(fps)).get(), nullptr);
  // sync paces sources that are not live (files); drop keeps only the newest frame.
  g_object_set(sink_, "max-buffers", 1u, "drop", TRUE, "sync", TRUE, "emit-signals", FALSE,
               "enable-last-sample", FALSE, nullptr);
  if (!gst_element_link_many(source.bin, rate, convert, scale, output_caps_, tee_, sink_,
                             nullptr)) {
    throw std::runtime_error("The preview pipeline could not be linked");
  }

  GstAppSinkCallbacks sink_callbacks{};
  sink_callbacks.new_sample = &PreviewPipeline::OnNewSample;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink_), &sink_callbacks, this, nullptr);

  PadPtr source_pad(gst_element_get_static_pad(source.bin, "src"));
  gst_pad_add_probe(source_pad.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM,
                    &PreviewPipeline::OnSourceEvent, this, nullptr);

  BusPtr bus(gst_element_get_bus(pipeline));
  gst_bus_set_sync_handler(bus.get(), &PreviewPipeline::OnBusMessage, this, nullptr);
}

PreviewPipeline::~PreviewPipeline() {
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  BusPtr bus(gst_element_get_bus(pipeline_.get()));
  gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
}

std::string PreviewPipeline::OutputCaps(int fps) const {
  std::string caps = "video/x-raw,format=BGR,framerate=" + std::to_string(fps) + "/1";
  if (scale_output_) {
    caps += ",width=" + std::to_string(format_.size.width) +
            ",height=" + std::to_string(format_.size.height) + ",pixel-aspect-ratio=1/1";
  }
  return caps;
}

bool PreviewPipeline::WaitFor(std::unique_lock<std::mutex>& lock,
                              std::chrono::steady_clock::time_point deadline, const bool& flag) {
  return changed_.wait_until(lock, deadline, [&] { return flag || failed_; });
}

void PreviewPipeline::Start(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  auto fail = [this](const char* fallback) {
    std::lock_guard lock(mutex_);
    throw std::runtime_error(error_.empty() ? fallback : error_);
  };
  GstStateChangeReturn result = gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
  if (result == GST_STATE_CHANGE_FAILURE) fail("The device would not open");
  if (result == GST_STATE_CHANGE_ASYNC) {
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
        deadline - std::chrono::steady_clock::now());
    result =
        gst_element_get_state(pipeline_.get(), nullptr, nullptr,
                              static_cast<GstClockTime>(std::max<std::int64_t>(0, left.count())));
    if (result == GST_STATE_CHANGE_FAILURE) fail("The device would not start");
    if (result == GST_STATE_CHANGE_ASYNC) fail("The device did not start in time");
  }
  // Segment seeks end with SEGMENT_DONE instead of EOS, so the loop goes on
  // without a flush and the running time keeps growing.
  if (loops_ && seek_pad_) {
    gst_pad_send_event(seek_pad_,
                       gst_event_new_seek(1.0, GST_FORMAT_TIME,
                                          GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_SEGMENT),
                                          GST_SEEK_TYPE_SET, 0, GST_SEEK_TYPE_NONE, -1));
  }
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    fail("The device would not play");
  }
  std::unique_lock lock(mutex_);
  WaitFor(lock, deadline, first_sample_);
  if (failed_) throw std::runtime_error(error_);
}

SamplePtr PreviewPipeline::TryPullSample() {
  return SamplePtr(gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), 0));
}

void PreviewPipeline::SetFrameRate(int fps) {
  g_object_set(output_caps_, "caps", CapsFromString(OutputCaps(fps)).get(), nullptr);
  if (scene_caps_) {
    g_object_set(scene_caps_, "caps",
                 CapsFromString(SceneCaps(format_.size.width, format_.size.height, fps)).get(),
                 nullptr);
  }
}

void PreviewPipeline::SetBalance(int brightness, int contrast) {
  if (!balance_) return;
  g_object_set(balance_, "brightness", brightness / 100.0, "contrast", contrast / 100.0, nullptr);
}

void PreviewPipeline::RestartLoop() {
  if (!loops_ || !seek_pad_) return;
  gst_pad_send_event(seek_pad_, gst_event_new_seek(1.0, GST_FORMAT_TIME, GST_SEEK_FLAG_SEGMENT,
                                                   GST_SEEK_TYPE_SET, 0, GST_SEEK_TYPE_NONE, -1));
}

GstBusSyncReply PreviewPipeline::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
  auto* self = static_cast<PreviewPipeline*>(data);
  bool forward = false;
  std::string branch;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
      branch = BranchOf(GST_MESSAGE_SRC(message));
      if (branch.empty()) {
        std::lock_guard lock(self->mutex_);
        if (!self->failed_) self->error_ = MessageText(message);
        self->failed_ = true;
        self->changed_.notify_all();
      }
      forward = true;
      break;
    }
    case GST_MESSAGE_SEGMENT_DONE:
    case GST_MESSAGE_LATENCY:
      forward = true;
      break;
    case GST_MESSAGE_STATE_CHANGED:
      forward = GST_MESSAGE_SRC(message) == GST_OBJECT(self->pipeline_.get());
      break;
    default:
      break;
  }
  if (forward && self->callbacks_.message) {
    self->callbacks_.message(MessagePtr(gst_message_ref(message)), std::move(branch));
  }
  return GST_BUS_DROP;
}

GstFlowReturn PreviewPipeline::OnNewSample(GstAppSink*, gpointer data) {
  auto* self = static_cast<PreviewPipeline*>(data);
  {
    std::lock_guard lock(self->mutex_);
    if (!self->first_sample_) {
      self->first_sample_ = true;
      self->changed_.notify_all();
    }
  }
  if (self->callbacks_.sample_ready) self->callbacks_.sample_ready();
  return GST_FLOW_OK;
}

GstPadProbeReturn PreviewPipeline::OnSourceEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<PreviewPipeline*>(data);
  if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) != GST_EVENT_EOS) return GST_PAD_PROBE_OK;
  // The end of the source is the loss of the camera; the capture branch is
  // finished by its own EOS, so this one goes no further.
  if (self->callbacks_.source_ended) self->callbacks_.source_ended();
  return GST_PAD_PROBE_DROP;
}

}  // namespace platform::capture
