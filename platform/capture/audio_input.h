// The sound input for captures: the first audio source device that
// GStreamer's device monitor finds, or a virtual microphone (a quiet live
// test tone) when ORVANTIX_VIRTUAL_AUDIO asks for one (see environment.h).
#pragma once

#include <gst/gst.h>

#include <string>

#include "platform/capture/environment.h"
#include "platform/capture/gst_util.h"

namespace platform::capture {

class AudioInput {
 public:
  AudioInput();  // probes once; cheap, and never waits for a sound server

  bool Available() const { return virtual_ || device_; }
  std::string Name() const;
  // A new source element (floating), or nullptr when there is no input.
  GstElement* CreateSource() const;

 private:
  bool virtual_ = false;
  GstObjectPtr<GstDevice> device_;
};

}  // namespace platform::capture
