#include "platform/capture/gst_util.h"

#include <stdexcept>

namespace platform::capture {

GstElement* MakeElement(const char* factory, const char* name) {
  GstElement* element = gst_element_factory_make(factory, name);
  if (!element) {
    throw std::runtime_error(std::string("The GStreamer element \"") + factory +
                             "\" is not installed");
  }
  return element;
}

CapsPtr CapsFromString(const std::string& text) {
  CapsPtr caps(gst_caps_from_string(text.c_str()));
  if (!caps) throw std::runtime_error("Invalid caps: " + text);
  return caps;
}

std::string MessageText(GstMessage* message) {
  GError* error = nullptr;
  gchar* debug = nullptr;
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
    gst_message_parse_error(message, &error, &debug);
  } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING) {
    gst_message_parse_warning(message, &error, &debug);
  } else {
    return GST_MESSAGE_TYPE_NAME(message);
  }
  std::string text = error ? error->message : "unknown error";
  if (GST_MESSAGE_SRC(message)) {
    text = std::string(GST_OBJECT_NAME(GST_MESSAGE_SRC(message))) + ": " + text;
  }
  if (error) g_error_free(error);
  g_free(debug);
  return text;
}

}  // namespace platform::capture
