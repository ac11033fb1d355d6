#include "platform/capture/scene_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace platform::capture {
namespace {

constexpr std::uint64_t kNanosPerSecond = 1'000'000'000ull;
constexpr std::size_t kNoiseSlack = 65536;  // room for a random start offset per frame

struct Rgb {
  double r, g, b;
};

std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
  std::uint32_t h = x * 0x9E3779B1u ^ (y + seed) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// A value in [-amplitude, amplitude] that is fixed for a pixel.
double Grain(int x, int y, std::uint32_t seed, double amplitude) {
  return (static_cast<double>(Hash(x, y, seed) & 0xffff) / 65535.0 * 2.0 - 1.0) * amplitude;
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

bool Inside(double u, double v, double u0, double v0, double u1, double v1) {
  return u >= u0 && u < u1 && v >= v0 && v < v1;
}

Rgb Wall(double u, double v) {
  Rgb color = Mix({218, 208, 190}, {186, 174, 156}, v / 0.62);
  const double shade = 1.0 - 0.18 * (u - 0.45) * (u - 0.45);
  const double du = (u - 0.05) * 1.6, dv = v - 0.2;
  const double glow = 38.0 * std::exp(-(du * du + dv * dv) * 18.0);
  return {color.r * shade + glow, color.g * shade + glow * 0.9, color.b * shade + glow * 0.5};
}

Rgb Window(double u, double v, int x, int y) {
  const double frame = 0.012;
  const bool bar = u < 0.62 + frame || u >= 0.92 - frame || v < 0.08 + frame * 1.3 ||
                   v >= 0.44 - frame * 1.3 || std::abs(u - 0.77) < frame * 0.5 ||
                   std::abs(v - 0.26) < frame * 0.6;
  if (bar) return {240 + Grain(x, y, 7, 3), 240 + Grain(x, y, 8, 3), 234 + Grain(x, y, 9, 3)};
  const double t = (v - 0.08) / 0.36;
  Rgb sky = Mix({92, 150, 222}, {192, 216, 240}, t);
  const double cu = (u - 0.70) * 4.0, cv = (v - 0.17) * 9.0;
  const double cloud = std::exp(-(cu * cu + cv * cv)) +
                       0.6 * std::exp(-((cu - 0.7) * (cu - 0.7) + (cv + 0.3) * (cv + 0.3)));
  sky = Mix(sky, {250, 250, 252}, std::min(1.0, cloud));
  const double hill = 0.38 + 0.025 * std::sin(u * 60.0) + 0.015 * std::sin(u * 143.0 + 1.0);
  if (v > hill)
    return {54 + Grain(x, y, 10, 14), 104 + Grain(x, y, 11, 18), 48 + Grain(x, y, 12, 10)};
  return sky;
}

Rgb Picture(double u, double v, int x, int y) {
  const double frame = 0.012;
  if (u < 0.06 + frame || u >= 0.24 - frame || v < 0.12 + frame * 1.3 || v >= 0.34 - frame * 1.3) {
    return {110 + Grain(x, y, 13, 12), 72 + Grain(x, y, 14, 10), 40 + Grain(x, y, 15, 8)};
  }
  const double a = std::sin(u * 90.0 + std::sin(v * 40.0) * 2.0);
  const double b = std::sin(v * 70.0 - u * 30.0);
  return {150 + 70 * a, 120 + 60 * b, 90 + 50 * a * b};
}

Rgb Lamp(double v) {
  const double t = (v - 0.15) / 0.11;
  return Mix({255, 236, 170}, {236, 196, 120}, t);
}

Rgb Sofa(double u, double v, int x, int y) {
  Rgb color{92, 110, 140};
  if (u < 0.675 || u >= 0.935) color = {74, 90, 118};  // arm rests
  if (std::abs(v - 0.63) < 0.006 || std::abs(u - 0.805) < 0.003) color = {60, 72, 96};
  const double weave = ((x / 2 + y / 2) % 2) * 9.0;
  return {color.r + weave + Grain(x, y, 16, 16), color.g + weave + Grain(x, y, 17, 16),
          color.b + weave + Grain(x, y, 18, 16)};
}

Rgb Floor(int x, int y, int width, int height) {
  const int floor_top = static_cast<int>(height * 0.64);
  const int plank = std::max(4, static_cast<int>(height * 0.045));
  const int row = (y - floor_top) / plank;
  const double phase = static_cast<double>(Hash(row, 0, 21) & 0xffff) / 65535.0;
  const int joint = static_cast<int>(phase * width * 0.45);
  if ((y - floor_top) % plank == 0 || (x + joint) % std::max(8, width * 2 / 5) == 0) {
    return {70, 46, 30};
  }
  const double base = 0.85 + 0.3 * phase;
  const double grain = 12.0 * std::sin(x * 0.05 + phase * 6.28 + 3.0 * std::sin(x * 0.011 + row)) +
                       Grain(x, y, 22, 5);
  return {(150 + grain) * base, (100 + grain * 0.8) * base, (62 + grain * 0.6) * base};
}

Rgb ScenePixel(int x, int y, int width, int height) {
  const double u = (x + 0.5) / width;
  const double v = (y + 0.5) / height;
  if (Inside(u, v, 0.64, 0.50, 0.97, 0.84)) return Sofa(u, v, x, y);
  if (v >= 0.64) return Floor(x, y, width, height);
  if (v >= 0.62)
    return {236 + Grain(x, y, 23, 3), 232 + Grain(x, y, 24, 3), 224 + Grain(x, y, 25, 3)};
  if (Inside(u, v, 0.62, 0.08, 0.92, 0.44)) return Window(u, v, x, y);
  if (Inside(u, v, 0.06, 0.12, 0.24, 0.34)) return Picture(u, v, x, y);
  const double spread = (v - 0.15) * 0.25;
  if (v >= 0.15 && v < 0.26 && u >= 0.02 - spread && u < 0.09 + spread) return Lamp(v);
  if (v >= 0.26 && std::abs(u - 0.055) < 0.004) return {50, 48, 46};
  return Wall(u, v);
}

std::uint8_t Clamp(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

}  // namespace

SceneRenderer::SceneRenderer(int calm_seconds, int motion_seconds)
    : calm_ns_(static_cast<std::uint64_t>(std::max(0, calm_seconds)) * kNanosPerSecond),
      motion_ns_(static_cast<std::uint64_t>(std::max(0, motion_seconds)) * kNanosPerSecond) {}

void SceneRenderer::SetControls(const SceneControls& controls) {
  SceneControls clamped{std::clamp(controls.brightness, -100, 100),
                        std::clamp(controls.contrast, 0, 200), std::clamp(controls.noise, 0, 20)};
  std::lock_guard lock(mutex_);
  controls_ = clamped;
}

SceneControls SceneRenderer::Controls() const {
  std::lock_guard lock(mutex_);
  return controls_;
}

std::vector<DriverControl> SceneRenderer::ControlList() const {
  const SceneControls current = Controls();
  const SceneControls defaults;
  return {
      DriverControl::Integer(kBrightnessId, "Brightness", -100, 100, defaults.brightness,
                             current.brightness),
      DriverControl::Integer(kContrastId, "Contrast", 0, 200, defaults.contrast, current.contrast),
      DriverControl::Integer(kNoiseId, "Noise level", 0, 20, defaults.noise, current.noise)};
}

void SceneRenderer::SetControl(std::uint32_t id, std::int32_t value) {
  SceneControls controls = Controls();
  if (id == kBrightnessId) controls.brightness = value;
  if (id == kContrastId) controls.contrast = value;
  if (id == kNoiseId) controls.noise = value;
  SetControls(controls);
}

std::optional<double> SceneRenderer::MotionProgress(std::uint64_t running_time_ns) const {
  if (motion_ns_ == 0) return std::nullopt;
  const std::uint64_t in_period = running_time_ns % (calm_ns_ + motion_ns_);
  if (in_period < calm_ns_) return std::nullopt;
  return static_cast<double>(in_period - calm_ns_) / static_cast<double>(motion_ns_);
}

void SceneRenderer::PrepareBackground(int width, int height, const SceneControls& controls) {
  for (int level = 0; level < 256; ++level) {
    levels_[level] =
        Clamp((level - 128.0) * controls.contrast / 100.0 + 128.0 + controls.brightness);
  }
  background_.resize(static_cast<std::size_t>(width) * height * 3);
  std::uint8_t* out = background_.data();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb color = ScenePixel(x, y, width, height);
      *out++ = levels_[Clamp(color.b)];
      *out++ = levels_[Clamp(color.g)];
      *out++ = levels_[Clamp(color.r)];
    }
  }
  background_width_ = width;
  background_height_ = height;
  background_controls_ = controls;
}

void SceneRenderer::PrepareNoise(int width, int height, int level) {
  noise_width_ = width;
  noise_height_ = height;
  noise_level_ = level;
  if (level == 0) {
    noise_.clear();
    return;
  }
  noise_.resize(static_cast<std::size_t>(width) * height * 3 + kNoiseSlack);
  std::uint64_t state = 0x2545F4914F6CDD1Dull;
  const unsigned span = static_cast<unsigned>(level) + 1;
  for (auto& value : noise_) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const unsigned a = static_cast<unsigned>(state) % span;
    const unsigned b = static_cast<unsigned>(state >> 32) % span;
    value = static_cast<std::int8_t>(static_cast<int>(a) - static_cast<int>(b));
  }
}

void SceneRenderer::DrawVisitor(std::uint8_t* data, int width, int height, int stride,
                                double progress) const {
  const int center = static_cast<int>((0.18 + 0.42 * progress) * width);
  const int top = static_cast<int>(0.12 * height);
  const int head_y = top + static_cast<int>(0.08 * height);
  const int head_r = std::max(3, static_cast<int>(0.08 * height));
  const int torso_top = top + static_cast<int>(0.17 * height);
  const int torso_bottom = top + static_cast<int>(0.50 * height);
  const int legs_bottom = std::min(height, top + static_cast<int>(0.86 * height));
  const int half_torso = std::max(2, static_cast<int>(0.14 * width));
  const int arm = std::max(1, static_cast<int>(0.03 * width));
  const int leg_half = std::max(1, static_cast<int>(0.035 * width));
  const int swing =
      static_cast<int>(std::sin(progress * 2.0 * std::numbers::pi * 6.0) * 0.02 * width);
  const int left_leg = center - static_cast<int>(0.06 * width) + swing;
  const int right_leg = center + static_cast<int>(0.06 * width) - swing;

  auto put = [&](int x, int y, double r, double g, double b) {
    if (x < 0 || x >= width || y < 0 || y >= height) return;
    std::uint8_t* px =
        data + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3;
    px[0] = levels_[Clamp(b)];
    px[1] = levels_[Clamp(g)];
    px[2] = levels_[Clamp(r)];
  };

  for (int y = head_y - head_r; y <= head_y + head_r; ++y) {
    for (int x = center - head_r; x <= center + head_r; ++x) {
      const int dx = x - center, dy = y - head_y;
      if (dx * dx + dy * dy > head_r * head_r) continue;
      const int lx = x - center + 4096;
      if (dy < -head_r / 3) {
        put(x, y, 62 + Grain(lx, y, 31, 10), 42 + Grain(lx, y, 32, 8), 30 + Grain(lx, y, 33, 6));
      } else {
        put(x, y, 222 + Grain(lx, y, 34, 8), 176 + Grain(lx, y, 35, 8), 140 + Grain(lx, y, 36, 8));
      }
    }
  }
  // A busy shirt pattern: it does not compress, like real cloth under a real lens.
  for (int y = torso_top; y < torso_bottom; ++y) {
    for (int x = center - half_torso - arm; x < center + half_torso + arm; ++x) {
      const int lx = x - center + 4096;
      const bool sleeve = x < center - half_torso || x >= center + half_torso;
      const bool stripe = (lx / 5) % 2 == 0;
      const double shade = sleeve ? 0.8 : 1.0;
      const Rgb base = stripe ? Rgb{200, 40, 50} : Rgb{40, 50, 120};
      put(x, y, (base.r + Grain(lx, y, 37, 80)) * shade, (base.g + Grain(lx, y, 38, 80)) * shade,
          (base.b + Grain(lx, y, 39, 80)) * shade);
    }
  }
  for (int y = torso_bottom; y < legs_bottom; ++y) {
    for (int leg : {left_leg, right_leg}) {
      for (int x = leg - leg_half; x < leg + leg_half; ++x) {
        const int lx = x - leg + 4096;
        put(x, y, 50 + Grain(lx, y, 40, 25), 70 + Grain(lx, y, 41, 25), 120 + Grain(lx, y, 42, 30));
      }
    }
  }
}

void SceneRenderer::AddNoise(std::uint8_t* data, int width, int height, int stride) {
  if (noise_.empty()) return;
  random_state_ ^= random_state_ << 13;
  random_state_ ^= random_state_ >> 7;
  random_state_ ^= random_state_ << 17;
  const std::int8_t* noise = noise_.data() + random_state_ % kNoiseSlack;
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* px = data + static_cast<std::size_t>(y) * stride;
    const std::int8_t* nz = noise + static_cast<std::size_t>(y) * row;
    std::size_t i = 0;
    // Fixed-length inner blocks let the compiler use vector instructions at -O2.
    for (; i + 16 <= row; i += 16) {
      for (int k = 0; k < 16; ++k) {
        const int value = px[i + k] + nz[i + k];
        px[i + k] = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
      }
    }
    for (; i < row; ++i) {
      const int value = px[i] + nz[i];
      px[i] = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    }
  }
}

void SceneRenderer::Render(std::uint8_t* data, int width, int height, int stride,
                           std::uint64_t running_time_ns) {
  if (width <= 0 || height <= 0 || stride < width * 3) return;
  const SceneControls controls = Controls();
  if (width != background_width_ || height != background_height_ ||
      background_controls_ != controls) {
    PrepareBackground(width, height, controls);
  }
  if (width != noise_width_ || height != noise_height_ || noise_level_ != controls.noise) {
    PrepareNoise(width, height, controls.noise);
  }
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    std::memcpy(data + static_cast<std::size_t>(y) * stride, background_.data() + y * row, row);
  }
  if (const auto progress = MotionProgress(running_time_ns)) {
    DrawVisitor(data, width, height, stride, *progress);
  }
  AddNoise(data, width, height, stride);
}

}  // namespace platform::capture
