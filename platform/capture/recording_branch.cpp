#include "platform/capture/recording_branch.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

#include "platform/capture/gst_util.h"

namespace platform::capture {

// Shared with the pad probes, which may outlive a branch by a moment.
struct RecordingBranch::State {
  mutable std::mutex mutex;
  mutable std::condition_variable changed;
  std::atomic<GstClockTime> first_time{GST_CLOCK_TIME_NONE};  // running time
  std::atomic<std::uint64_t> frames{0};
  std::atomic<bool> finished{false};
  std::atomic<bool> eos_sent{false};
  GstPad* bin_sink = nullptr;  // own reference

  ~State() {
    if (bin_sink) gst_object_unref(bin_sink);
  }
  void Notify() {
    std::lock_guard lock(mutex);
    changed.notify_all();
  }
};

namespace {

using StateRef = std::shared_ptr<RecordingBranch::State>;

template <typename F>
void AddProbe(GstPad* pad, GstPadProbeType type, F callback, const StateRef& state) {
  gst_pad_add_probe(pad, type, callback, new StateRef(state),
                    [](gpointer data) { delete static_cast<StateRef*>(data); });
}

RecordingBranch::State& StateOf(gpointer data) { return **static_cast<StateRef*>(data); }

GstClockTime RunningTime(GstPad* pad, GstClockTime pts) {
  GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
  if (!event) return pts;
  const GstSegment* segment = nullptr;
  gst_event_parse_segment(event, &segment);
  const GstClockTime time = segment->format == GST_FORMAT_TIME
                                ? gst_segment_to_running_time(segment, GST_FORMAT_TIME, pts)
                                : pts;
  gst_event_unref(event);
  return time;
}

GstPadProbeReturn OnBranchBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto& state = StateOf(data);
  if (state.first_time.load() != GST_CLOCK_TIME_NONE) return GST_PAD_PROBE_OK;
  GstClockTime expected = GST_CLOCK_TIME_NONE;
  const GstClockTime time = RunningTime(pad, GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info)));
  if (state.first_time.compare_exchange_strong(expected, time)) state.Notify();
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn OnMuxedFrame(GstPad*, GstPadProbeInfo*, gpointer data) {
  ++StateOf(data).frames;
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn OnFileEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
    auto& state = StateOf(data);
    state.finished = true;
    state.Notify();
  }
  return GST_PAD_PROBE_OK;
}

// Runs when no buffer is passing through the tee's pad: the branch is cut
// off between two frames and gets its EOS after the last one it received.
GstPadProbeReturn OnTeePadIdle(GstPad* pad, GstPadProbeInfo*, gpointer data) {
  auto& state = StateOf(data);
  if (!state.eos_sent.exchange(true)) {
    gst_pad_unlink(pad, state.bin_sink);
    gst_pad_send_event(state.bin_sink, gst_event_new_eos());
  }
  return GST_PAD_PROBE_REMOVE;
}

GstElement* AddTo(GstElement* bin, const char* factory) {
  GstElement* element = MakeElement(factory);
  gst_bin_add(GST_BIN(bin), element);
  return element;
}

void Link(GstElement* from, GstElement* to) {
  if (!gst_element_link(from, to)) {
    throw std::runtime_error(std::string("Cannot link ") + GST_OBJECT_NAME(from) + " to " +
                             GST_OBJECT_NAME(to));
  }
}

}  // namespace

RecordingBranch::RecordingBranch(const std::string& name, GstElement* pipeline, GstElement* tee,
                                 const RecordingSettings& settings, GstElement* audio_source)
    : state_(std::make_shared<State>()), name_(name), pipeline_(pipeline), tee_(tee) {
  bin_ = GST_ELEMENT(gst_object_ref_sink(gst_bin_new(name.c_str())));
  try {
    if (audio_source) {
      gst_bin_add(GST_BIN(bin_), audio_source);
      audio_source_ = audio_source;
    }
    GstElement* queue = AddTo(bin_, "queue");
    GstElement* convert = AddTo(bin_, "videoconvert");
    GstElement* caps = AddTo(bin_, "capsfilter");
    encoder_ = AddTo(bin_, "jpegenc");
    GstElement* mux = AddTo(bin_, "avimux");
    GstElement* sink = AddTo(bin_, "filesink");
    // Room for seconds of frames: the encoder may fall behind for a while, but
    // the tee must never wait on it, or the preview would stall.
    g_object_set(queue, "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time",
                 static_cast<guint64>(10 * GST_SECOND), nullptr);
    g_object_set(caps, "caps", CapsFromString("video/x-raw,format=I420").get(), nullptr);
    g_object_set(encoder_, "quality", settings.jpeg_quality, nullptr);
    g_object_set(sink, "location", settings.path.c_str(), "async", FALSE, "sync", FALSE, nullptr);
    Link(queue, convert);
    Link(convert, caps);
    Link(caps, encoder_);
    Link(encoder_, mux);
    Link(mux, sink);

    if (audio_source_) {
      GstElement* audio_convert = AddTo(bin_, "audioconvert");
      GstElement* resample = AddTo(bin_, "audioresample");
      GstElement* audio_caps = AddTo(bin_, "capsfilter");
      GstElement* audio_queue = AddTo(bin_, "queue");
      g_object_set(audio_caps, "caps",
                   CapsFromString("audio/x-raw,format=S16LE,layout=interleaved,rate=" +
                                  std::to_string(settings.audio_format.sample_rate) +
                                  ",channels=" + std::to_string(settings.audio_format.channels))
                       .get(),
                   nullptr);
      Link(audio_source_, audio_convert);
      Link(audio_convert, resample);
      Link(resample, audio_caps);
      Link(audio_caps, audio_queue);
      Link(audio_queue, mux);
    }

    PadPtr queue_sink(gst_element_get_static_pad(queue, "sink"));
    state_->bin_sink = gst_ghost_pad_new("sink", queue_sink.get());
    gst_object_ref(state_->bin_sink);
    gst_element_add_pad(bin_, state_->bin_sink);
    AddProbe(queue_sink.get(), GST_PAD_PROBE_TYPE_BUFFER, OnBranchBuffer, state_);
    PadPtr encoded(gst_element_get_static_pad(encoder_, "src"));
    AddProbe(encoded.get(), GST_PAD_PROBE_TYPE_BUFFER, OnMuxedFrame, state_);
    PadPtr file_sink(gst_element_get_static_pad(sink, "sink"));
    AddProbe(file_sink.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, OnFileEvent, state_);
  } catch (...) {
    gst_object_unref(bin_);
    throw;
  }
}

RecordingBranch::~RecordingBranch() {
  if (tee_pad_) {
    // Cut the branch off the tee first so that no frame is pushed into it
    // while it shuts down.
    state_->eos_sent = true;
    if (gst_pad_is_linked(tee_pad_)) gst_pad_unlink(tee_pad_, state_->bin_sink);
    gst_element_release_request_pad(tee_, tee_pad_);
    gst_object_unref(tee_pad_);
  }
  gst_element_set_state(bin_, GST_STATE_NULL);
  if (added_) gst_bin_remove(GST_BIN(pipeline_), bin_);
  gst_object_unref(bin_);
}

void RecordingBranch::Start() {
  if (!gst_bin_add(GST_BIN(pipeline_), bin_)) throw std::runtime_error("Cannot add the capture");
  added_ = true;
  if (!gst_element_sync_state_with_parent(bin_)) {
    throw std::runtime_error("The capture would not start");
  }
  tee_pad_ = gst_element_request_pad_simple(tee_, "src_%u");
  if (!tee_pad_ || gst_pad_link(tee_pad_, state_->bin_sink) != GST_PAD_LINK_OK) {
    throw std::runtime_error("The capture could not be linked to the preview");
  }
}

bool RecordingBranch::HasFrames() const { return state_->first_time.load() != GST_CLOCK_TIME_NONE; }

bool RecordingBranch::IsWritten(GstClockTime running_time) const {
  const GstClockTime first = state_->first_time.load();
  return first != GST_CLOCK_TIME_NONE && GST_CLOCK_TIME_IS_VALID(running_time) &&
         running_time >= first;
}

std::uint64_t RecordingBranch::FramesWritten() const { return state_->frames.load(); }

void RecordingBranch::RequestFinish() {
  if (finish_requested_ || !tee_pad_) return;
  finish_requested_ = true;
  if (audio_source_) gst_element_send_event(audio_source_, gst_event_new_eos());
  AddProbe(tee_pad_, GST_PAD_PROBE_TYPE_IDLE, OnTeePadIdle, state_);
}

bool RecordingBranch::Finished() const { return state_->finished.load(); }

void RecordingBranch::WaitForChange(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(state_->mutex);
  state_->changed.wait_for(lock, timeout, [this] {
    return state_->finished.load() || (!finish_requested_ && HasFrames());
  });
}

void RecordingBranch::SetJpegQuality(int quality) {
  g_object_set(encoder_, "quality", quality, nullptr);
}

}  // namespace platform::capture
