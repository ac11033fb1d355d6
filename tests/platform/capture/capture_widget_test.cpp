// End-to-end tests of the capture widget with the virtual camera. They run
// real pipelines, so they take real seconds.
#include "platform/capture/capture_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "capture_test_support.h"
#include "platform/capture/environment.h"

namespace platform::capture {
namespace {

using namespace std::chrono_literals;
using capture_test::Discover;
using capture_test::EventRecorder;
using capture_test::MediaInfo;
using capture_test::RunFor;
using capture_test::RunUntil;
using capture_test::ScopedEnv;
using capture_test::VirtualIndex;

class CaptureWidgetTest : public testing::Test {
 protected:
  // Connects a new widget to the virtual camera of the given value.
  void Open(const char* camera, const char* size = nullptr, int fps = 25) {
    ScopedEnv env(kVirtualCameraVariable, camera);
    ScopedEnv env_size(kVirtualCameraSizeVariable, size);
    widget_ = std::make_unique<CaptureWidget>();
    widget_->resize(320, 240);
    widget_->SetEventSink(&events_);
    widget_->SetFrameRate(fps);
    index_ = VirtualIndex(*widget_);
    ASSERT_GE(index_, 0);
    widget_->SetDriverIndex(index_);
  }

  bool WaitFrames(int count, std::chrono::milliseconds timeout = 5s) {
    const std::size_t target = events_.frames.size() + count;
    return RunUntil([&] { return events_.frames.size() >= target; }, timeout);
  }

  std::string File(const char* name) const { return dir_.filePath(name).toStdString(); }

  // Captures for a while into a new file and returns what the file holds.
  MediaInfo CaptureFor(const std::string& path, std::chrono::milliseconds duration) {
    widget_->SetCaptureFile(path);
    widget_->StartCapture();
    EXPECT_TRUE(widget_->IsCapturing());
    RunFor(duration);
    widget_->StopCapture();
    EXPECT_FALSE(widget_->IsCapturing());
    return Discover(path);
  }

  QTemporaryDir dir_;
  EventRecorder events_;
  std::unique_ptr<CaptureWidget> widget_;
  int index_ = -1;
};

TEST_F(CaptureWidgetTest, VirtualCameraTakesTheFirstFreeIndex) {
  ScopedEnv env(kVirtualCameraVariable, "scene:3,2");
  CaptureWidget widget;
  const int index = VirtualIndex(widget);
  ASSERT_GE(index, 0);
  EXPECT_EQ(widget.DriverName(index), "Virtual camera (scene 3/2)");
  EXPECT_FALSE(widget.DriverVersion(index).empty());
  for (int before = 0; before < index; ++before) EXPECT_FALSE(widget.DriverName(before).empty());
  for (int after = index + 1; after < CaptureControl::kMaxDrivers; ++after) {
    EXPECT_EQ(widget.DriverName(after), "");
    EXPECT_EQ(widget.DriverVersion(after), "");
  }
  for (int bad : {index + 1, CaptureControl::kMaxDrivers, -1}) {
    try {
      widget.SetDriverIndex(bad);
      ADD_FAILURE() << "no error for index " << bad;
    } catch (const CaptureError& error) {
      EXPECT_EQ(error.Number(), kErrNoDriver);
    }
  }
  EXPECT_EQ(widget.DriverIndex(), -1);
  EXPECT_FALSE(widget.HasSourceDialog());
  EXPECT_FALSE(widget.HasOverlay());
}

TEST_F(CaptureWidgetTest, NoVirtualCameraWithoutTheVariable) {
  ScopedEnv env(kVirtualCameraVariable, nullptr);
  CaptureWidget widget;
  EXPECT_EQ(VirtualIndex(widget), -1);
}

TEST_F(CaptureWidgetTest, FramesArePackedBgrOfTheSceneSize) {
  struct Case {
    const char* size;
    int width, height;
  };
  // 321 pixels make rows that GStreamer pads but the frame event must not.
  for (const Case& c :
       {Case{nullptr, 640, 480}, Case{"320x240", 320, 240}, Case{"321x241", 321, 241}}) {
    SCOPED_TRACE(c.width);
    events_.frames.clear();
    std::vector<std::uint8_t> last;
    events_.on_frame = [&](const FrameHeader& header, bool) {
      ASSERT_NE(header.lpData, nullptr);
      last.assign(header.lpData, header.lpData + header.dwBytesUsed);
    };
    Open("scene", c.size);
    EXPECT_TRUE(widget_->HasSourceDialog());
    EXPECT_TRUE(widget_->HasFormatDialog());
    ASSERT_TRUE(WaitFrames(5));
    for (const auto& frame : events_.frames) {
      EXPECT_EQ(frame.width, c.width);
      EXPECT_EQ(frame.height, c.height);
      EXPECT_EQ(frame.bytes, static_cast<std::uint32_t>(c.width * c.height * 3));
      EXPECT_FALSE(frame.stream);
    }
    // The last row holds the floor, not the padding or the next row's start.
    const std::size_t row = static_cast<std::size_t>(c.width) * 3;
    ASSERT_EQ(last.size(), row * c.height);
    EXPECT_LT(last[last.size() - row + 2], 200) << "floor should be brown, red below 200";
    EXPECT_TRUE(events_.HasStatus(kStatusConnected));
    events_.on_frame = nullptr;
    widget_.reset();
  }
}

TEST_F(CaptureWidgetTest, HandlersAreNeverEnteredTwice) {
  Open("scene:1,1", "320x240", 25);
  int slow_frames = 0;
  events_.on_frame = [&](const FrameHeader&, bool) {
    // Like the program: let pending events run, then work longer than a frame.
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(20ms);
    }
    ++slow_frames;
  };
  ASSERT_TRUE(WaitFrames(12, 8s));
  widget_->SetCaptureFile(File("nested.avi"));
  widget_->StartCapture();
  ASSERT_TRUE(WaitFrames(8, 5s));
  widget_->StopCapture();
  EXPECT_EQ(events_.max_depth, 1);
  EXPECT_GT(events_.Count(true), 0);
  EXPECT_TRUE(Discover(File("nested.avi")).readable);
}

// The program compresses every frame for ~30 ms; the file must still get
// every frame at the chosen rate.
TEST_F(CaptureWidgetTest, CaptureIsCompleteAndEvenWithASlowHandler) {
  Open("scene", nullptr, 25);
  events_.on_frame = [](const FrameHeader&, bool) { std::this_thread::sleep_for(70ms); };
  ASSERT_TRUE(WaitFrames(3));
  const std::string path = File("slow.avi");
  const auto started = std::chrono::steady_clock::now();
  widget_->SetCaptureFile(path);
  widget_->StartCapture();
  EXPECT_EQ(widget_->CaptureFile(), path);
  RunFor(3s);
  widget_->StopCapture();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const MediaInfo info = Discover(path);
  ASSERT_TRUE(info.readable) << info.report;
  EXPECT_EQ(info.width, 640);
  EXPECT_EQ(info.height, 480);
  EXPECT_EQ(info.frame_rate, "25/1");
  EXPECT_NEAR(info.duration_s, 3.0, 0.3);
  EXPECT_LE(info.duration_s, seconds + 0.1);
  EXPECT_FALSE(info.has_audio);
  EXPECT_GT(events_.Count(true), 10);
  EXPECT_LT(events_.Count(true), 40) << "slow handler: frames are dropped, not queued";
  RunFor(100ms);
  EXPECT_TRUE(events_.HasStatus(kStatusCaptureStarted));
  EXPECT_TRUE(events_.HasStatus(kStatusCaptureFinished));
}

TEST_F(CaptureWidgetTest, CaptureStoppedAtOnceIsStillAFile) {
  for (int fps : {25, 1}) {
    SCOPED_TRACE(fps);
    Open("scene", "320x240", fps);
    const std::string path = File(fps == 1 ? "instant1.avi" : "instant25.avi");
    widget_->SetCaptureFile(path);
    widget_->StartCapture();
    widget_->StopCapture();
    EXPECT_FALSE(widget_->IsCapturing());
    const MediaInfo info = Discover(path);
    EXPECT_TRUE(info.readable) << info.report;
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.frame_rate, std::to_string(fps) + "/1");
    widget_.reset();
  }
}

TEST_F(CaptureWidgetTest, UnwritableCaptureFileIsRefused) {
  Open("scene", "320x240");
  ASSERT_TRUE(WaitFrames(2));
  widget_->SetCaptureFile(File("missing/folder/x.avi"));
  try {
    widget_->StartCapture();
    ADD_FAILURE() << "StartCapture accepted a file in a missing folder";
  } catch (const CaptureError& error) {
    EXPECT_EQ(error.Number(), kErrCaptureFile);
  }
  EXPECT_FALSE(widget_->IsCapturing());
  ASSERT_TRUE(WaitFrames(5)) << "the preview stopped";
  EXPECT_EQ(events_.Count(true), 0);
  // The next capture works.
  EXPECT_TRUE(CaptureFor(File("after.avi"), 500ms).readable);
}

// A disk that fills up during a capture: the capture ends, the preview lives.
TEST_F(CaptureWidgetTest, FailingCaptureWriteEndsOnlyTheCapture) {
  Open("scene", "320x240");
  widget_->SetCaptureFile("/dev/full");
  widget_->StartCapture();
  ASSERT_TRUE(RunUntil([&] { return events_.HasStatus(kStatusCaptureError); }, 5s));
  EXPECT_FALSE(widget_->IsCapturing());
  EXPECT_FALSE(events_.HasStatus(kStatusDeviceLost));
  EXPECT_TRUE(widget_->HasSourceDialog());
  widget_->StopCapture();
  ASSERT_TRUE(WaitFrames(5)) << "the preview stopped";
  RunFor(200ms);
  EXPECT_FALSE(events_.HasStatus(kStatusDeviceLost));
  EXPECT_TRUE(CaptureFor(File("next.avi"), 400ms).readable);
}

TEST_F(CaptureWidgetTest, StillIsTheCurrentFrameAsBmp) {
  ScopedEnv env(kVirtualCameraVariable, "scene");
  {
    CaptureWidget unconnected;
    try {
      unconnected.SaveFrameDib(File("none.dib"));
      ADD_FAILURE() << "no error without a frame";
    } catch (const CaptureError& error) {
      EXPECT_EQ(error.Number(), kErrNoFrame);
    }
  }
  Open("scene", "321x241");
  std::vector<std::uint8_t> last;
  events_.on_frame = [&](const FrameHeader& header, bool) {
    last.assign(header.lpData, header.lpData + header.dwBytesUsed);
  };
  ASSERT_TRUE(WaitFrames(3));
  const std::string path = File("StillShot.dib");
  widget_->SaveFrameDib(path);  // no events between the last frame and here
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bmp = file.readAll();
  auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bmp.constData() + at); };
  auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bmp.constData() + at); };
  const int padded = (321 * 3 + 3) / 4 * 4;
  ASSERT_EQ(bmp.size(), 54 + padded * 241);
  EXPECT_EQ(bmp.left(2), "BM");
  EXPECT_EQ(u32(2), static_cast<quint32>(bmp.size()));
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(14), 40u);
  EXPECT_EQ(u32(18), 321u);
  EXPECT_EQ(u32(22), 241u);
  EXPECT_EQ(u16(28), 24);
  EXPECT_EQ(u32(34), static_cast<quint32>(padded * 241));
  // Bottom-up: the file's first row is the frame's last.
  const auto* first_row = reinterpret_cast<const std::uint8_t*>(bmp.constData() + 54);
  EXPECT_TRUE(std::equal(first_row, first_row + 321 * 3, last.end() - 321 * 3));
  EXPECT_EQ(first_row[padded - 1], 0);

  try {
    widget_->SaveFrameDib(File("missing/StillShot.dib"));
    ADD_FAILURE() << "no error for a missing folder";
  } catch (const CaptureError& error) {
    EXPECT_EQ(error.Number(), kErrStillFile);
  }
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath("missing")));
}

// With scene:1,1 the visitor walks during every odd second only.
TEST_F(CaptureWidgetTest, SceneMovesOnlyInTheMotionPhases) {
  Open("scene:1,1", "320x240", 10);
  struct Sample {
    std::uint32_t ms;
    int size;
    std::vector<std::uint8_t> pixels;
  };
  std::vector<Sample> samples;
  events_.on_frame = [&](const FrameHeader& header, bool) {
    std::vector<std::uint8_t> pixels(header.lpData, header.lpData + header.dwBytesUsed);
    const int size = qCompress(pixels.data(), static_cast<int>(pixels.size()), 9).size();
    samples.push_back({header.dwTimeCaptured, size, std::move(pixels)});
  };
  ASSERT_TRUE(RunUntil([&] { return !samples.empty() && samples.back().ms > 4200; }, 8s));
  std::vector<const Sample*> calm, motion;
  for (const auto& s : samples) {
    const std::uint32_t phase = s.ms % 2000;
    if (phase >= 150 && phase <= 850) calm.push_back(&s);
    if (phase >= 1150 && phase <= 1850) motion.push_back(&s);
  }
  ASSERT_GE(calm.size(), 8u);
  ASSERT_GE(motion.size(), 8u);
  const Sample& reference = *calm.front();
  auto changed = [&](const Sample& s) {
    int count = 0;
    for (std::size_t i = 0; i < s.pixels.size(); ++i) {
      count += std::abs(s.pixels[i] - reference.pixels[i]) > 40;
    }
    return count;
  };
  for (const Sample* s : calm) {
    EXPECT_EQ(changed(*s), 0) << "calm frame at " << s->ms << " ms";
    EXPECT_NEAR(s->size, reference.size, reference.size * 0.01);
  }
  for (const Sample* s : motion) {
    EXPECT_GT(changed(*s), 320 * 240 / 10) << "motion frame at " << s->ms << " ms";
    EXPECT_GT(s->size, reference.size * 1.04) << "motion frame at " << s->ms << " ms";
  }
}

// A stream URI that ends is a camera that went away.
TEST_F(CaptureWidgetTest, LostDeviceEndsTheCaptureWithACompleteFile) {
  const std::string clip = File("short.avi");
  ASSERT_TRUE(capture_test::MakeClip(clip, 40, 320, 240, 25));
  const std::string uri = "file://" + clip;
  Open(uri.c_str(), nullptr, 25);
  EXPECT_EQ(widget_->DriverName(index_), "Virtual camera (stream " + uri + ")");
  const std::string path = File("lost.avi");
  widget_->SetCaptureFile(path);
  widget_->StartCapture();
  ASSERT_TRUE(RunUntil([&] { return events_.HasStatus(kStatusDeviceLost); }, 6s));
  EXPECT_FALSE(widget_->IsCapturing());
  EXPECT_FALSE(widget_->HasSourceDialog());
  EXPECT_EQ(widget_->DriverIndex(), index_);
  widget_->StopCapture();  // what the program does next must be harmless
  const MediaInfo info = Discover(path);
  ASSERT_TRUE(info.readable) << info.report;
  EXPECT_EQ(info.width, 320);
  EXPECT_GT(info.duration_s, 0.5);
  const std::size_t frames = events_.frames.size();
  RunFor(300ms);
  EXPECT_EQ(events_.frames.size(), frames);
  try {
    widget_->StartCapture();
    ADD_FAILURE() << "capture started without a device";
  } catch (const CaptureError& error) {
    EXPECT_EQ(error.Number(), kErrCapturePipeline);
  }
}

TEST_F(CaptureWidgetTest, VideoFileIsPlayedInALoop) {
  const std::string clip = File("loop.avi");
  ASSERT_TRUE(capture_test::MakeClip(clip, 15, 160, 120, 25));  // 0.6 s
  Open(clip.c_str(), nullptr, 25);
  EXPECT_EQ(widget_->DriverName(index_), "Virtual camera (file loop.avi)");
  // The capture runs across the loop points without a break.
  const MediaInfo info = CaptureFor(File("looped.avi"), 2s);
  EXPECT_FALSE(events_.HasStatus(kStatusDeviceLost));
  EXPECT_GT(events_.frames.size(), 35u);
  EXPECT_EQ(events_.frames.back().width, 160);
  EXPECT_GT(events_.frames.back().time_ms, 1500u);
  ASSERT_TRUE(info.readable) << info.report;
  EXPECT_NEAR(info.duration_s, 2.0, 0.3);
}

// The window may close in the middle of a recording.
TEST_F(CaptureWidgetTest, ClosingDuringACaptureCompletesTheFile) {
  Open("scene", "320x240", 25);
  widget_->SetCaptureFile(File("closed.avi"));
  widget_->StartCapture();
  RunFor(500ms);
  widget_.reset();
  const MediaInfo info = Discover(File("closed.avi"));
  ASSERT_TRUE(info.readable) << info.report;
  EXPECT_NEAR(info.duration_s, 0.5, 0.2);
}

TEST_F(CaptureWidgetTest, MissingOrBrokenSourceDoesNotConnect) {
  std::ofstream(File("notes.avi")) << "this is not a video";
  for (const std::string& camera : {File("absent.avi"), File("notes.avi")}) {
    SCOPED_TRACE(camera);
    ScopedEnv env(kVirtualCameraVariable, camera.c_str());
    CaptureWidget widget;
    try {
      widget.SetDriverIndex(VirtualIndex(widget));
      ADD_FAILURE() << "connected";
    } catch (const CaptureError& error) {
      EXPECT_EQ(error.Number(), kErrDriverConnect);
    }
    EXPECT_EQ(widget.DriverIndex(), -1);
    EXPECT_FALSE(widget.HasSourceDialog());
  }
}

TEST_F(CaptureWidgetTest, SoundIsCapturedInTheChosenFormat) {
  ScopedEnv audio(kVirtualAudioVariable, "1");
  Open("scene", "320x240", 25);
  ASSERT_TRUE(widget_->HasAudio());
  widget_->SetCaptureAudio(true);
  widget_->SetAudioFormat({22050, 2});
  const MediaInfo info = CaptureFor(File("sound.avi"), 1500ms);
  ASSERT_TRUE(info.readable) << info.report;
  EXPECT_TRUE(info.has_audio);
  EXPECT_EQ(info.sample_rate, 22050);
  EXPECT_EQ(info.channels, 2);
  EXPECT_NEAR(info.duration_s, 1.5, 0.3);
  EXPECT_EQ(info.width, 320);

  widget_->SetCaptureAudio(false);
  EXPECT_FALSE(CaptureFor(File("quiet.avi"), 300ms).has_audio);
}

TEST_F(CaptureWidgetTest, FormatDialogChangesTheFrameSize) {
  Open("scene", nullptr, 25);
  ASSERT_TRUE(WaitFrames(2));
  EXPECT_EQ(events_.frames.back().width, 640);
  bool chosen = false;
  QTimer::singleShot(100, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* sizes = dialog->findChild<QComboBox*>("sizeCombo");
    ASSERT_NE(sizes, nullptr);
    const int index = sizes->findText("320 x 240");
    ASSERT_GE(index, 0);
    sizes->setCurrentIndex(index);
    chosen = true;
    dialog->accept();
  });
  widget_->ShowFormatDialog();
  ASSERT_TRUE(chosen);
  EXPECT_EQ(widget_->Format().size, (FrameSize{320, 240}));
  events_.frames.clear();
  ASSERT_TRUE(WaitFrames(3));
  EXPECT_EQ(events_.frames.back().width, 320);
  EXPECT_EQ(events_.frames.back().height, 240);
}

// A running AVI keeps its size and rate; changes wait for its end.
TEST_F(CaptureWidgetTest, FormatAndRateChangesWaitForTheCaptureEnd) {
  Open("scene", "320x240", 25);
  widget_->SetCaptureFile(File("steady.avi"));
  widget_->StartCapture();
  RunFor(300ms);
  widget_->SetFrameRate(10);
  widget_->SetFormat({0, {160, 120}});
  events_.frames.clear();
  ASSERT_TRUE(WaitFrames(5));
  EXPECT_EQ(events_.frames.back().width, 320);
  widget_->StopCapture();
  const MediaInfo steady = Discover(File("steady.avi"));
  EXPECT_EQ(steady.frame_rate, "25/1");
  EXPECT_EQ(steady.width, 320);

  events_.frames.clear();
  ASSERT_TRUE(WaitFrames(3));
  EXPECT_EQ(events_.frames.back().width, 160);
  const MediaInfo changed = CaptureFor(File("changed.avi"), 1s);
  EXPECT_EQ(changed.frame_rate, "10/1");
  EXPECT_EQ(changed.width, 160);
  EXPECT_NEAR(changed.duration_s, 1.0, 0.25);
}

TEST_F(CaptureWidgetTest, SourceAndCompressionSettingsReachTheDevice) {
  Open("scene", "320x240", 25);
  const auto controls = widget_->SourceControls();
  ASSERT_EQ(controls.size(), 3u);
  EXPECT_EQ(controls[0].name, "Brightness");
  double mean = 0;
  events_.on_frame = [&](const FrameHeader& header, bool) {
    double sum = 0;
    for (std::uint32_t i = 0; i < header.dwBytesUsed; ++i) sum += header.lpData[i];
    mean = sum / header.dwBytesUsed;
  };
  ASSERT_TRUE(WaitFrames(2));
  const double before = mean;
  widget_->SetSourceControl(controls[0].id, 80);
  ASSERT_TRUE(WaitFrames(3));
  EXPECT_GT(mean, before + 40);
  EXPECT_EQ(widget_->SourceControls()[0].value, 80);

  widget_->SetJpegQuality(95);
  CaptureFor(File("fine.avi"), 600ms);
  widget_->SetJpegQuality(10);
  CaptureFor(File("coarse.avi"), 600ms);
  EXPECT_LT(QFileInfo(dir_.filePath("coarse.avi")).size() * 2,
            QFileInfo(dir_.filePath("fine.avi")).size());
}

TEST_F(CaptureWidgetTest, OptionsAndDisplayModesAreAccepted) {
  Open("scene", "160x120", 25);
  const int options[] = {0, 0, 0, 1, 1, 0, 0, 0, 100};
  for (int n = 1; n <= 9; ++n) widget_->SetOption(n, options[n - 1]);
  for (int n = 1; n <= 9; ++n) EXPECT_EQ(widget_->Option(n), options[n - 1]);
  widget_->SetOption(10, 5);
  EXPECT_FALSE(widget_->Option(10).has_value());
  widget_->SetPreview(false);
  widget_->SetOverlay(true);
  widget_->show();
  ASSERT_TRUE(WaitFrames(3)) << "frames go on while the preview is hidden";
  widget_->SetPreview(true);
  const QImage shot = widget_->grab().toImage();
  EXPECT_NE(shot.pixelColor(shot.width() / 2, shot.height() - 5), QColor(Qt::black));
}

}  // namespace
}  // namespace platform::capture
