// The source part of the preview pipeline, per kind of driver: a bin whose
// "src" pad gives raw video. V4L2 devices through v4l2src, the scene drawn
// into a live test source, files and stream URIs through uridecodebin.
#pragma once

#include <gst/gst.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/capture/driver_list.h"
#include "platform/capture/driver_settings.h"

namespace platform::capture {

class SceneRenderer;

struct SourceParts {
  GstElement* bin = nullptr;         // floating until added to the pipeline
  GstElement* scene_caps = nullptr;  // scene only: its frame rate follows FrameRate
  GstElement* balance = nullptr;     // files and URIs: brightness and contrast
  GstPad* seek_pad = nullptr;        // files: where loop seeks go in (owned by the bin)
  bool loops = false;
};

// Throws std::runtime_error when a needed element is missing.
SourceParts BuildSource(const DriverEntry& driver, const FormatChoice& format, int fps,
                        const std::shared_ptr<SceneRenderer>& scene);

// Formats that the Format dialog offers for a driver.
std::vector<FormatOption> FormatOptions(const DriverEntry& driver);

// The format a driver runs with when nothing was chosen; otherwise the choice.
FormatChoice ResolveFormat(const DriverEntry& driver, const FormatChoice& requested);

std::string SceneCaps(int width, int height, int fps);

}  // namespace platform::capture
