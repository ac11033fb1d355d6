#include "platform/capture/source_factory.h"

#include <gst/video/video.h>

#include <cstdlib>
#include <stdexcept>

#include "platform/capture/gst_util.h"
#include "platform/capture/scene_renderer.h"
#include "platform/capture/v4l2_device.h"

namespace platform::capture {
namespace {

constexpr std::uint32_t kSceneFourcc = MakeFourcc('B', 'G', 'R', '3');
constexpr FrameSize kPreferredSize{640, 480};
constexpr FrameSize kVirtualSizes[] = {{160, 120}, {320, 240},  {640, 480},
                                       {800, 600}, {1280, 720}, {1920, 1080}};

void AddGhostSource(GstElement* bin, GstElement* last) {
  PadPtr target(gst_element_get_static_pad(last, "src"));
  gst_element_add_pad(bin, gst_ghost_pad_new("src", target.get()));
}

GstPadProbeReturn RenderScene(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto& scene = *static_cast<std::shared_ptr<SceneRenderer>*>(data);
  GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  CapsPtr caps(gst_pad_get_current_caps(pad));
  GstVideoInfo video_info;
  if (!caps || !gst_video_info_from_caps(&video_info, caps.get())) return GST_PAD_PROBE_OK;
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &video_info, buffer, GST_MAP_WRITE)) return GST_PAD_PROBE_OK;
  const GstClockTime pts = GST_BUFFER_PTS(buffer);
  scene->Render(static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), GST_CLOCK_TIME_IS_VALID(pts) ? pts : 0);
  gst_video_frame_unmap(&frame);
  return GST_PAD_PROBE_OK;
}

SourceParts BuildScene(const VirtualCamera& camera, const FormatChoice& format, int fps,
                       const std::shared_ptr<SceneRenderer>& scene) {
  const int width = format.size.width > 0 ? format.size.width : camera.width;
  const int height = format.size.height > 0 ? format.size.height : camera.height;
  SourceParts parts;
  parts.bin = gst_bin_new("scene-source");
  GstElement* source = MakeElement("videotestsrc");
  GstElement* caps = MakeElement("capsfilter");
  g_object_set(source, "is-live", TRUE, "pattern", 2 /* black */, nullptr);
  g_object_set(caps, "caps", CapsFromString(SceneCaps(width, height, fps)).get(), nullptr);
  gst_bin_add_many(GST_BIN(parts.bin), source, caps, nullptr);
  gst_element_link(source, caps);
  PadPtr pad(gst_element_get_static_pad(caps, "src"));
  gst_pad_add_probe(
      pad.get(), GST_PAD_PROBE_TYPE_BUFFER, RenderScene, new std::shared_ptr<SceneRenderer>(scene),
      [](gpointer data) { delete static_cast<std::shared_ptr<SceneRenderer>*>(data); });
  AddGhostSource(parts.bin, caps);
  parts.scene_caps = caps;
  return parts;
}

void LinkDecodedVideo(GstElement*, GstPad* pad, gpointer data) {
  auto* convert = static_cast<GstElement*>(data);
  CapsPtr caps(gst_pad_get_current_caps(pad));
  if (!caps) caps.reset(gst_pad_query_caps(pad, nullptr));
  const GstStructure* structure = caps ? gst_caps_get_structure(caps.get(), 0) : nullptr;
  if (!structure || !g_str_has_prefix(gst_structure_get_name(structure), "video/")) return;
  PadPtr sink(gst_element_get_static_pad(convert, "sink"));
  if (!gst_pad_is_linked(sink.get())) gst_pad_link(pad, sink.get());
}

SourceParts BuildMedia(const VirtualCamera& camera) {
  std::string uri = camera.location;
  if (camera.kind == VirtualCamera::Kind::kFile) {
    GError* error = nullptr;
    gchar* converted = gst_filename_to_uri(camera.location.c_str(), &error);
    if (!converted) {
      const std::string text = error ? error->message : "invalid file name";
      if (error) g_error_free(error);
      throw std::runtime_error(text);
    }
    uri = converted;
    g_free(converted);
  } else if (!gst_uri_is_valid(uri.c_str())) {
    throw std::runtime_error("Invalid URI: " + uri);
  }
  SourceParts parts;
  parts.bin = gst_bin_new("media-source");
  GstElement* decode = MakeElement("uridecodebin");
  GstElement* convert = MakeElement("videoconvert");
  GstElement* balance = MakeElement("videobalance");
  g_object_set(decode, "uri", uri.c_str(), "expose-all-streams", FALSE, "caps",
               CapsFromString("video/x-raw").get(), nullptr);
  gst_bin_add_many(GST_BIN(parts.bin), decode, convert, balance, nullptr);
  gst_element_link(convert, balance);
  g_signal_connect_object(decode, "pad-added", G_CALLBACK(LinkDecodedVideo), convert,
                          GConnectFlags(0));
  AddGhostSource(parts.bin, balance);
  parts.balance = balance;
  parts.seek_pad = gst_element_get_static_pad(convert, "src");
  gst_object_unref(parts.seek_pad);  // the bin keeps the pad alive
  parts.loops = camera.kind == VirtualCamera::Kind::kFile;
  return parts;
}

SourceParts BuildV4l2(const DriverEntry& driver, const FormatChoice& format) {
  SourceParts parts;
  parts.bin = gst_bin_new("v4l2-source");
  GstElement* source = MakeElement("v4l2src");
  GstElement* caps = MakeElement("capsfilter");
  g_object_set(source, "device", driver.device.c_str(), nullptr);
  gst_bin_add_many(GST_BIN(parts.bin), source, caps, nullptr);
  gst_element_link(source, caps);
  GstElement* last = caps;
  const std::string media = CapsForFourcc(format.fourcc);
  if (!media.empty()) {
    std::string text = media;
    if (format.size.width > 0 && format.size.height > 0) {
      text += ",width=" + std::to_string(format.size.width) +
              ",height=" + std::to_string(format.size.height);
    }
    g_object_set(caps, "caps", CapsFromString(text).get(), nullptr);
    if (media == "image/jpeg") {
      GstElement* decode = MakeElement("jpegdec");
      gst_bin_add(GST_BIN(parts.bin), decode);
      gst_element_link(caps, decode);
      last = decode;
    }
  }
  AddGhostSource(parts.bin, last);
  return parts;
}

}  // namespace

std::string SceneCaps(int width, int height, int fps) {
  return "video/x-raw,format=BGR,width=" + std::to_string(width) +
         ",height=" + std::to_string(height) + ",framerate=" + std::to_string(fps) +
         "/1,pixel-aspect-ratio=1/1";
}

SourceParts BuildSource(const DriverEntry& driver, const FormatChoice& format, int fps,
                        const std::shared_ptr<SceneRenderer>& scene) {
  if (driver.kind == DriverEntry::Kind::kV4l2) return BuildV4l2(driver, format);
  if (driver.virtual_camera.kind == VirtualCamera::Kind::kScene) {
    return BuildScene(driver.virtual_camera, format, fps, scene);
  }
  return BuildMedia(driver.virtual_camera);
}

std::vector<FormatOption> FormatOptions(const DriverEntry& driver) {
  if (driver.kind == DriverEntry::Kind::kV4l2) return V4l2Device(driver.device).Formats();
  FormatOption option;
  option.sizes.assign(std::begin(kVirtualSizes), std::end(kVirtualSizes));
  if (driver.virtual_camera.kind == VirtualCamera::Kind::kScene) {
    option.fourcc = kSceneFourcc;
    option.description = "BGR 24-bit";
    const FrameSize own{driver.virtual_camera.width, driver.virtual_camera.height};
    bool listed = false;
    for (const auto& size : option.sizes) listed = listed || size == own;
    if (!listed) option.sizes.push_back(own);
  } else {
    option.description = "Source format";
    option.sizes.insert(option.sizes.begin(), FrameSize{0, 0});  // the source's own size
  }
  return {option};
}

FormatChoice ResolveFormat(const DriverEntry& driver, const FormatChoice& requested) {
  if (driver.kind == DriverEntry::Kind::kVirtual) {
    if (driver.virtual_camera.kind != VirtualCamera::Kind::kScene) return requested;
    FormatChoice choice = requested;
    choice.fourcc = kSceneFourcc;
    if (choice.size.width <= 0 || choice.size.height <= 0) {
      choice.size = {driver.virtual_camera.width, driver.virtual_camera.height};
    }
    return choice;
  }
  if (requested.fourcc != 0) return requested;
  const auto formats = V4l2Device(driver.device).Formats();
  if (formats.empty()) return requested;
  // Prefer an uncompressed format at the usual preview size.
  const FormatOption* chosen = &formats.front();
  for (const auto& option : formats) {
    if (option.fourcc == MakeFourcc('Y', 'U', 'Y', 'V')) chosen = &option;
  }
  FormatChoice choice{chosen->fourcc, chosen->sizes.front()};
  for (const auto& size : chosen->sizes) {
    if (size == kPreferredSize) choice.size = size;
  }
  return choice;
}

}  // namespace platform::capture
