// The running preview of one driver:
//
//   source ! videorate ! videoconvert ! videoscale ! BGR@FrameRate ! tee ! appsink
//
// The capture branch hangs off the tee (see RecordingBranch). The callbacks
// run on GStreamer threads (or wherever GStreamer calls them): they must only
// hand over to the UI thread. The appsink keeps just the newest frame.
#pragma once

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/capture/driver_list.h"
#include "platform/capture/driver_settings.h"
#include "platform/capture/gst_util.h"

namespace platform::capture {

class SceneRenderer;

// Capture branches are bins whose names start with this; an error names the
// branch it came from, found while the branch is still in the pipeline.
inline constexpr const char* kCaptureBranchPrefix = "capture-branch";

struct PipelineCallbacks {
  std::function<void()> sample_ready;
  // Errors, state changes, segment-done and latency; branch: the name of the
  // capture branch that posted it, empty for the preview itself.
  std::function<void(MessagePtr message, std::string branch)> message;
  std::function<void()> source_ended;  // the source sent end-of-stream
};

class PreviewPipeline {
 public:
  // Throws std::runtime_error when the pipeline cannot be built.
  PreviewPipeline(const DriverEntry& driver, const FormatChoice& format, int fps,
                  std::shared_ptr<SceneRenderer> scene, PipelineCallbacks callbacks);
  ~PreviewPipeline();
  PreviewPipeline(const PreviewPipeline&) = delete;
  PreviewPipeline& operator=(const PreviewPipeline&) = delete;

  // Plays and waits (bounded) for the first frame; throws std::runtime_error
  // with the device's error text when it will not play.
  void Start(std::chrono::milliseconds timeout);

  SamplePtr TryPullSample();
  void SetFrameRate(int fps);
  void SetBalance(int brightness, int contrast);  // files and URIs only
  void RestartLoop();                             // after SEGMENT_DONE

  GstElement* pipeline() const { return pipeline_.get(); }
  GstElement* tee() const { return tee_; }

 private:
  static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);
  static GstPadProbeReturn OnSourceEvent(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  std::string OutputCaps(int fps) const;
  bool WaitFor(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline,
               const bool& flag);

  PipelineCallbacks callbacks_;
  ElementPtr pipeline_;
  GstElement* scene_caps_ = nullptr;
  GstElement* balance_ = nullptr;
  GstElement* output_caps_ = nullptr;
  GstElement* tee_ = nullptr;
  GstElement* sink_ = nullptr;
  GstPad* seek_pad_ = nullptr;
  bool loops_ = false;
  FormatChoice format_;
  bool is_scene_ = false;
  bool scale_output_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool first_sample_ = false;
  bool failed_ = false;
  std::string error_;
};

}  // namespace platform::capture
