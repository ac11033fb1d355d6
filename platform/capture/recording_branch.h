// The AVI capture: a branch added to the preview's tee at StartCapture and
// taken off at StopCapture. It runs in GStreamer's threads, so the file gets
// every frame at an even rate however slowly the UI thread handles frames.
//
//   tee ! queue ! videoconvert ! jpegenc ! avimux ! filesink
//   audio source ! audioconvert ! audioresample ! S16LE ! queue ! avimux
//
// Finishing sends EOS into the branch; avimux then writes its index and
// header, and the file is complete once the EOS reaches the filesink.
#pragma once

#include <gst/gst.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/capture/driver_settings.h"

namespace platform::capture {

struct RecordingSettings {
  std::string path;
  int jpeg_quality = 85;
  AudioFormat audio_format;
};

class RecordingBranch {
 public:
  // name: unique per capture, starting with kCaptureBranchPrefix.
  // audio_source: a new element giving the sound, or nullptr for video only.
  // Throws std::runtime_error when the branch cannot be built.
  RecordingBranch(const std::string& name, GstElement* pipeline, GstElement* tee,
                  const RecordingSettings& settings, GstElement* audio_source);
  ~RecordingBranch();
  RecordingBranch(const RecordingBranch&) = delete;
  RecordingBranch& operator=(const RecordingBranch&) = delete;

  void Start();  // throws std::runtime_error

  bool HasFrames() const;
  // The frame of that running time went into the file.
  bool IsWritten(GstClockTime running_time) const;
  std::uint64_t FramesWritten() const;

  void RequestFinish();
  bool Finished() const;
  // Waits until a frame arrives or the file is finished, or the timeout.
  void WaitForChange(std::chrono::milliseconds timeout) const;

  const std::string& name() const { return name_; }
  void SetJpegQuality(int quality);

  struct State;  // shared with the pad probes

 private:
  std::shared_ptr<State> state_;
  std::string name_;
  GstElement* pipeline_;
  GstElement* tee_;
  GstElement* bin_ = nullptr;  // our own reference
  GstElement* encoder_ = nullptr;
  GstElement* audio_source_ = nullptr;
  GstPad* tee_pad_ = nullptr;  // our own reference
  bool added_ = false;
  bool finish_requested_ = false;
};

}  // namespace platform::capture
