#include "platform/capture/audio_input.h"

#include <cstdlib>
#include <cstring>

namespace platform::capture {

AudioInput::AudioInput() {
  const char* value = std::getenv(kVirtualAudioVariable);
  if (value && *value && std::strcmp(value, "0") != 0) {
    virtual_ = true;
    return;
  }
  GstObjectPtr<GstDeviceMonitor> monitor(gst_device_monitor_new());
  gst_device_monitor_add_filter(monitor.get(), "Audio/Source", nullptr);
  GList* devices = gst_device_monitor_get_devices(monitor.get());
  if (devices) device_.reset(GST_DEVICE(gst_object_ref(devices->data)));
  g_list_free_full(devices, gst_object_unref);
}

std::string AudioInput::Name() const {
  if (virtual_) return "Virtual microphone";
  if (!device_) return {};
  gchar* name = gst_device_get_display_name(device_.get());
  std::string text = name ? name : "";
  g_free(name);
  return text;
}

GstElement* AudioInput::CreateSource() const {
  if (virtual_) {
    GstElement* source = gst_element_factory_make("audiotestsrc", nullptr);
    if (source) g_object_set(source, "is-live", TRUE, "volume", 0.1, nullptr);
    return source;
  }
  return device_ ? gst_device_create_element(device_.get(), nullptr) : nullptr;
}

}  // namespace platform::capture
