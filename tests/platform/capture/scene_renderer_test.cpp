#include "platform/capture/scene_renderer.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace platform::capture {
namespace {

constexpr std::uint64_t kSecond = 1'000'000'000ull;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

using Frame = std::vector<std::uint8_t>;

Frame Render(SceneRenderer& scene, double seconds, int width = kWidth, int height = kHeight) {
  Frame frame(static_cast<std::size_t>(width) * height * 3);
  scene.Render(frame.data(), width, height, width * 3,
               static_cast<std::uint64_t>(seconds * kSecond));
  return frame;
}

// The program's measure of a picture: its size after zlib at level 9.
int CompressedSize(const Frame& frame) {
  return static_cast<int>(
      qCompress(reinterpret_cast<const uchar*>(frame.data()), static_cast<int>(frame.size()), 9)
          .size());
}

int ChangedPixels(const Frame& a, const Frame& b, int threshold) {
  int changed = 0;
  for (std::size_t i = 0; i < a.size(); i += 3) {
    for (int c = 0; c < 3; ++c) {
      if (std::abs(a[i + c] - b[i + c]) > threshold) {
        ++changed;
        break;
      }
    }
  }
  return changed;
}

TEST(SceneRendererTest, MotionFollowsTheScript) {
  const SceneRenderer scene(20, 5);
  struct Case {
    double seconds;
    std::optional<double> progress;
  };
  const Case cases[] = {
      {0, std::nullopt},  {19.99, std::nullopt}, {20, 0.0}, {22.5, 0.5},          {24.99, 0.998},
      {25, std::nullopt}, {44.9, std::nullopt},  {45, 0.0}, {1000 * 25 + 21, 0.2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    const auto progress = scene.MotionProgress(static_cast<std::uint64_t>(c.seconds * kSecond));
    ASSERT_EQ(progress.has_value(), c.progress.has_value());
    if (progress) {
      EXPECT_NEAR(*progress, *c.progress, 0.001);
    }
  }
  const SceneRenderer still(5, 0);
  for (double seconds : {0.0, 4.0, 5.0, 6.0, 3600.0}) {
    EXPECT_FALSE(still.MotionProgress(static_cast<std::uint64_t>(seconds * kSecond)).has_value());
  }
}

TEST(SceneRendererTest, CalmFramesDifferOnlyByNoise) {
  SceneRenderer scene(20, 5);
  const Frame first = Render(scene, 0.0);
  const Frame later = Render(scene, 19.5);
  const int noise = scene.Controls().noise;
  EXPECT_EQ(ChangedPixels(first, later, 2 * noise), 0);
  EXPECT_GT(ChangedPixels(first, later, 0), kWidth * kHeight / 2) << "no sensor noise";

  scene.SetControls({0, 100, 0});
  EXPECT_EQ(Render(scene, 1.0), Render(scene, 2.0));
}

// The default sensitivity counts 4 % of compressed size as motion: the
// visitor must stand out by more than that wherever it walks, and calm
// frames must stay well inside it.
TEST(SceneRendererTest, TheVisitorChangesTheCompressedSize) {
  SceneRenderer scene(20, 5);
  const int calm = CompressedSize(Render(scene, 0.0));
  EXPECT_NEAR(CompressedSize(Render(scene, 10.0)), calm, calm * 0.01);
  // A noisy camera picture does not shrink much: like a real one, not a drawing.
  EXPECT_GT(calm, kWidth * kHeight * 3 / 4);
  for (double at : {20.2, 21.0, 22.5, 24.0, 24.8}) {
    SCOPED_TRACE(at);
    const Frame frame = Render(scene, at);
    EXPECT_GT(CompressedSize(frame), calm * 1.05);
    EXPECT_GT(ChangedPixels(Render(scene, 0.0), frame, 40), kWidth * kHeight / 20);
  }
}

TEST(SceneRendererTest, ControlsChangeThePicture) {
  SceneRenderer scene(20, 5);
  auto mean = [](const Frame& frame) {
    double sum = 0;
    for (auto value : frame) sum += value;
    return sum / frame.size();
  };
  scene.SetControls({0, 100, 0});
  const double normal = mean(Render(scene, 0));
  scene.SetControl(SceneRenderer::kBrightnessId, 60);
  EXPECT_GT(mean(Render(scene, 0)), normal + 40);
  scene.SetControl(SceneRenderer::kBrightnessId, 500);  // clamped
  EXPECT_EQ(scene.Controls().brightness, 100);
  scene.SetControls({0, 0, 0});
  const Frame flat = Render(scene, 0);
  EXPECT_TRUE(std::all_of(flat.begin(), flat.end(), [](std::uint8_t v) { return v == 128; }));
}

TEST(SceneRendererTest, RendersAnySizeIntoPaddedRows) {
  SceneRenderer scene(1, 1);
  const int width = 33, height = 17, stride = 33 * 3 + 1;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * height, 0xAB);
  scene.Render(rows.data(), width, height, stride, kSecond + kSecond / 2);
  for (int y = 0; y < height; ++y) EXPECT_EQ(rows[y * stride + width * 3], 0xAB) << y;
}

}  // namespace
}  // namespace platform::capture
