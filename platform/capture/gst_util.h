// Owning handles and small helpers for GStreamer objects.
#pragma once

#include <gst/gst.h>

#include <memory>
#include <string>

namespace platform::capture {

struct GstObjectDeleter {
  void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstMiniObjectDeleter {
  void operator()(gpointer object) const { gst_mini_object_unref(GST_MINI_OBJECT_CAST(object)); }
};

template <typename T>
using GstObjectPtr = std::unique_ptr<T, GstObjectDeleter>;
using ElementPtr = GstObjectPtr<GstElement>;
using PadPtr = GstObjectPtr<GstPad>;
using BusPtr = GstObjectPtr<GstBus>;
using SamplePtr = std::unique_ptr<GstSample, GstMiniObjectDeleter>;
using CapsPtr = std::unique_ptr<GstCaps, GstMiniObjectDeleter>;
using MessagePtr = std::unique_ptr<GstMessage, GstMiniObjectDeleter>;

// Creates an element; throws std::runtime_error naming the missing plugin.
GstElement* MakeElement(const char* factory, const char* name = nullptr);

CapsPtr CapsFromString(const std::string& text);

// The text of an ERROR or WARNING message, after the name of its element.
std::string MessageText(GstMessage* message);

}  // namespace platform::capture
