#include "host/demo_scene.hpp"

#include <algorithm>
#include <cmath>

namespace zeb::host {
namespace {

// splitmix64: tiny, well mixed and fully specified, unlike the standard distributions.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  double uniform(double low, double high) { return low + (high - low) * uniform(); }
  int32_t below(int32_t n) { return static_cast<int32_t>(next() % static_cast<uint64_t>(n)); }

 private:
  uint64_t state_;
};

struct Rgb {
  float r, g, b;
};

class Canvas {
 public:
  explicit Canvas(ImageFile& image) : image_(image) {}
  int32_t width() const { return image_.width; }
  int32_t height() const { return image_.height; }

  void set(int32_t x, int32_t y, Rgb c) {
    if (float* p = at(x, y)) p[0] = c.r, p[1] = c.g, p[2] = c.b;
  }
  void add(int32_t x, int32_t y, Rgb c, float weight = 1.0f) {
    if (float* p = at(x, y)) p[0] += c.r * weight, p[1] += c.g * weight, p[2] += c.b * weight;
  }
  void fill_rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgb c) {
    for (int32_t y = std::max(y0, 0); y < std::min(y1, height()); ++y)
      for (int32_t x = std::max(x0, 0); x < std::min(x1, width()); ++x) set(x, y, c);
  }
  // A filled disc with a one-pixel soft edge, added to what is there.
  void add_disc(double cx, double cy, double radius, Rgb c) {
    for (int32_t y = static_cast<int32_t>(cy - radius - 1); y <= cy + radius + 1; ++y)
      for (int32_t x = static_cast<int32_t>(cx - radius - 1); x <= cx + radius + 1; ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        const double cover = std::clamp(radius + 0.5 - d, 0.0, 1.0);
        if (cover > 0) add(x, y, c, static_cast<float>(cover));
      }
  }
  void add_ring(double cx, double cy, double radius, double thickness, Rgb c) {
    for (int32_t y = static_cast<int32_t>(cy - radius - thickness - 1);
         y <= cy + radius + thickness + 1; ++y)
      for (int32_t x = static_cast<int32_t>(cx - radius - thickness - 1);
           x <= cx + radius + thickness + 1; ++x) {
        const double d = std::abs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius);
        const double cover = std::clamp(thickness / 2 + 0.5 - d, 0.0, 1.0);
        if (cover > 0) add(x, y, c, static_cast<float>(cover));
      }
  }

 private:
  float* at(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return nullptr;
    return &image_.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width()) +
                         static_cast<std::size_t>(x)) *
                        4];
  }
  ImageFile& image_;
};

Rgb scaled(Rgb c, double s) {
  return {static_cast<float>(c.r * s), static_cast<float>(c.g * s), static_cast<float>(c.b * s)};
}

}  // namespace

ImageFile make_night_scene(int32_t width, int32_t height) {
  ImageFile image = make_image(width, height);
  Canvas canvas(image);
  Random random(0x5EB0C0FFEEull);
  const double w = width, h = height, unit = std::min(w, h) / 1080.0;
  const auto horizon = static_cast<int32_t>(h * 0.68);

  // Sky, darkest at the top, a faint glow of the city towards the horizon; then the street.
  for (int32_t y = 0; y < height; ++y) {
    const double t = std::clamp(y / (h * 0.68), 0.0, 1.0);
    const Rgb sky{static_cast<float>(0.003 + 0.020 * t * t),
                  static_cast<float>(0.004 + 0.012 * t * t), static_cast<float>(0.012 + 0.016 * t)};
    const Rgb street{0.006f, 0.005f, 0.005f};
    for (int32_t x = 0; x < width; ++x) canvas.set(x, y, y < horizon ? sky : street);
  }
  // Stars: faint, a few bright enough to bloom a little.
  for (int i = 0; i < 260; ++i) {
    const double s = std::pow(random.uniform(), 6.0) * 6.0 + 0.05;
    canvas.add(random.below(width), random.below(horizon - static_cast<int32_t>(200 * unit)),
               scaled({0.9f, 0.95f, 1.0f}, s));
  }
  // The moon.
  canvas.add_disc(w * 0.82, h * 0.16, 34 * unit, {6.0f, 5.8f, 5.2f});

  // Buildings along the horizon, each with a grid of windows, about a third of them lit.
  for (double x = 0; x < w;) {
    const double bw = random.uniform(90, 220) * unit;
    const double bh = random.uniform(120, 420) * unit;
    const auto x0 = static_cast<int32_t>(x), x1 = static_cast<int32_t>(x + bw);
    const auto y0 = static_cast<int32_t>(horizon - bh);
    canvas.fill_rect(x0, y0, x1 - static_cast<int32_t>(6 * unit), horizon,
                     {0.004f, 0.004f, 0.006f});
    const Rgb warm{1.6f, 1.1f, 0.55f}, cool{0.7f, 0.9f, 1.3f};
    const int32_t step_x = static_cast<int32_t>(22 * unit),
                  step_y = static_cast<int32_t>(30 * unit);
    for (int32_t wy = y0 + step_y / 2; wy + step_y / 2 < horizon; wy += step_y)
      for (int32_t wx = x0 + step_x / 2; wx + step_x < x1; wx += step_x) {
        if (random.uniform() < 0.34) {
          const Rgb light = random.uniform() < 0.7 ? warm : cool;
          canvas.fill_rect(wx, wy, wx + step_x / 2, wy + step_y / 2,
                           scaled(light, random.uniform(0.6, 2.5)));
        }
      }
    x += bw;
  }

  // Neon signs: a magenta ring and a cyan bar.
  canvas.add_ring(w * 0.30, h * 0.45, 46 * unit, 5 * unit, {9.0f, 0.8f, 6.0f});
  canvas.fill_rect(static_cast<int32_t>(w * 0.58), static_cast<int32_t>(h * 0.52),
                   static_cast<int32_t>(w * 0.58 + 140 * unit),
                   static_cast<int32_t>(h * 0.52 + 9 * unit), {0.4f, 6.0f, 8.0f});

  // Street lamps along the road, sodium orange, and their pools of light on the street.
  for (int i = 0; i < 7; ++i) {
    const double lx = w * (0.08 + 0.14 * i), ly = horizon + 40 * unit + i * 3 * unit;
    canvas.add_disc(lx, ly, 1.5 * unit, {900.0f, 420.0f, 90.0f});
    for (int32_t y = horizon; y < height; ++y)
      for (int32_t x = static_cast<int32_t>(lx - 200 * unit); x < lx + 200 * unit; ++x) {
        const double d = std::hypot((x - lx) / (200 * unit), (y - ly - 120 * unit) / (90 * unit));
        if (d < 1) canvas.add(x, y, {0.05f, 0.025f, 0.006f}, static_cast<float>(1 - d));
      }
  }
  // Head-lights (white, very strong) and tail-lights (red) of the cars on the road.
  for (int car = 0; car < 4; ++car) {
    const double cx = w * (0.15 + 0.22 * car), cy = h * 0.86 + car * 10 * unit;
    const bool coming = car % 2 == 0;
    const Rgb light = coming ? Rgb{3000.0f, 2900.0f, 2600.0f} : Rgb{700.0f, 12.0f, 8.0f};
    canvas.add(static_cast<int32_t>(cx), static_cast<int32_t>(cy), light);
    canvas.add(static_cast<int32_t>(cx + 60 * unit), static_cast<int32_t>(cy), light);
  }
  // Traffic lights and distant city lights of many colours and strengths.
  canvas.add(static_cast<int32_t>(w * 0.47), static_cast<int32_t>(h * 0.60),
             {20.0f, 400.0f, 60.0f});
  canvas.add(static_cast<int32_t>(w * 0.49), static_cast<int32_t>(h * 0.60),
             {400.0f, 30.0f, 10.0f});
  const Rgb palette[] = {{1.0f, 0.55f, 0.2f}, {1.0f, 1.0f, 1.0f}, {0.3f, 0.6f, 1.0f},
                         {1.0f, 0.2f, 0.2f},  {0.3f, 1.0f, 0.4f}, {1.0f, 0.3f, 0.9f}};
  for (int i = 0; i < 120; ++i) {
    const Rgb c = palette[random.below(6)];
    const double strength = 4.0 * std::pow(10.0, random.uniform(0.0, 2.2));
    canvas.add(random.below(width), horizon - random.below(static_cast<int32_t>(260 * unit)),
               scaled(c, strength));
  }
  return image;
}

}  // namespace zeb::host
