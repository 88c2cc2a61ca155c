// draw_apertures: draws the three aperture pictures of the module's TARGA resources.
//
//   draw_apertures <out dir>
//
// writes IMG_CIRCLE.tga, IMG_HEXAGON.tga and IMG_HEPTAGON.tga into <out dir>. The drawing is
// deterministic: the same build gives the same bytes on every run, which is how the committed
// pictures are checked against this tool.
//
// Geometry: pixels, origin at the bottom-left corner, x to the right, y upward; the pixel of
// column i and stored row r covers [i, i + 1] x [r, r + 1]. Angles run counter-clockwise from +x.
// Each pixel holds 255 times the part of it the shape covers, rounded to the nearest level, so the
// inside is 255, the background 0 and the edges about one pixel wide.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int SIDE = 512;
constexpr double PI = 3.14159265358979323846;

using Picture = std::vector<uint8_t>;  // SIDE x SIDE grey levels, stored row r at r * SIDE

struct Point {
  double x;
  double y;
};

uint8_t grey_of(double covered) {
  if (covered <= 0.0) return 0;
  if (covered >= 1.0) return 255;
  return static_cast<uint8_t>(std::lround(covered * 255.0));
}

// --- circle ---

// Part of the pixel [x0, x0 + 1] x [y0, y0 + 1] inside the disc: the covered height integrated
// across the pixel by the midpoint rule, fine enough that the rounding to a grey level is settled.
double disc_coverage(double cx, double cy, double radius, double x0, double y0) {
  constexpr int STEPS = 4096;
  const double y1 = y0 + 1.0;
  double sum = 0.0;
  for (int k = 0; k < STEPS; ++k) {
    const double dx = x0 + (k + 0.5) / STEPS - cx;
    const double h2 = radius * radius - dx * dx;
    if (h2 <= 0.0) continue;
    const double h = std::sqrt(h2);
    const double top = std::min(y1, cy + h);
    const double bottom = std::max(y0, cy - h);
    if (top > bottom) sum += top - bottom;
  }
  return sum / STEPS;
}

Picture draw_disc(double cx, double cy, double radius) {
  Picture picture(SIDE * SIDE, 0);
  for (int r = 0; r < SIDE; ++r) {
    for (int i = 0; i < SIDE; ++i) {
      // Nearest and farthest points of the pixel from the centre settle most pixels at once.
      const double nx = std::max({static_cast<double>(i) - cx, 0.0, cx - (i + 1.0)});
      const double ny = std::max({static_cast<double>(r) - cy, 0.0, cy - (r + 1.0)});
      const double fx = std::max(std::abs(i - cx), std::abs(i + 1.0 - cx));
      const double fy = std::max(std::abs(r - cy), std::abs(r + 1.0 - cy));
      double covered;
      if (nx * nx + ny * ny >= radius * radius) {
        covered = 0.0;
      } else if (fx * fx + fy * fy <= radius * radius) {
        covered = 1.0;
      } else {
        covered = disc_coverage(cx, cy, radius, i, r);
      }
      picture[static_cast<std::size_t>(r) * SIDE + static_cast<std::size_t>(i)] = grey_of(covered);
    }
  }
  return picture;
}

// --- regular polygons ---

double polygon_area(const std::vector<Point>& polygon) {
  double twice = 0.0;
  for (std::size_t k = 0; k < polygon.size(); ++k) {
    const Point& a = polygon[k];
    const Point& b = polygon[(k + 1) % polygon.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return 0.5 * twice;
}

// Keeps the part of the polygon on the left of the directed line a -> b.
std::vector<Point> clip_left_of(const std::vector<Point>& polygon, Point a, Point b) {
  std::vector<Point> kept;
  const auto side = [&](const Point& p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
  };
  for (std::size_t k = 0; k < polygon.size(); ++k) {
    const Point& p = polygon[k];
    const Point& q = polygon[(k + 1) % polygon.size()];
    const double sp = side(p);
    const double sq = side(q);
    if (sp >= 0.0) kept.push_back(p);
    if ((sp >= 0.0) != (sq >= 0.0)) {
      const double t = sp / (sp - sq);
      kept.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
    }
  }
  return kept;
}

// The exact part of each pixel inside the convex polygon (vertices counter-clockwise).
Picture draw_convex_polygon(const std::vector<Point>& vertices) {
  Picture picture(SIDE * SIDE, 0);
  for (int r = 0; r < SIDE; ++r) {
    for (int i = 0; i < SIDE; ++i) {
      std::vector<Point> cell = {{static_cast<double>(i), static_cast<double>(r)},
                                 {i + 1.0, static_cast<double>(r)},
                                 {i + 1.0, r + 1.0},
                                 {static_cast<double>(i), r + 1.0}};
      for (std::size_t k = 0; k < vertices.size() && !cell.empty(); ++k) {
        cell = clip_left_of(cell, vertices[k], vertices[(k + 1) % vertices.size()]);
      }
      const double covered = cell.size() < 3 ? 0.0 : polygon_area(cell);
      picture[static_cast<std::size_t>(r) * SIDE + static_cast<std::size_t>(i)] = grey_of(covered);
    }
  }
  return picture;
}

std::vector<Point> regular_polygon(Point centre, double circumradius, int corners,
                                   double first_vertex_degrees) {
  std::vector<Point> vertices;
  for (int k = 0; k < corners; ++k) {
    const double angle = (first_vertex_degrees + k * 360.0 / corners) * PI / 180.0;
    vertices.push_back(
        {centre.x + circumradius * std::cos(angle), centre.y + circumradius * std::sin(angle)});
  }
  return vertices;
}

// The hexagon's faint frame along the border of the picture.
void add_hexagon_frame(Picture& picture) {
  const auto at = [&](int i, int r) -> uint8_t& {
    return picture[static_cast<std::size_t>(r) * SIDE + static_cast<std::size_t>(i)];
  };
  for (int k = 0; k < SIDE; ++k) {
    at(k, 0) = at(k, SIDE - 1) = 18;
    at(0, k) = at(SIDE - 1, k) = 18;
  }
  at(0, 1) = at(SIDE - 1, 1) = at(0, SIDE - 2) = at(SIDE - 1, SIDE - 2) = 13;
  at(0, 0) = at(SIDE - 1, 0) = at(0, SIDE - 1) = at(SIDE - 1, SIDE - 1) = 35;
}

// --- TGA ---

void put16(std::vector<uint8_t>& out, std::size_t at, uint16_t value) {
  out[at] = static_cast<uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Uncompressed 8-bit greyscale, stored rows bottom row first, with the version 2 footer.
std::vector<uint8_t> encode_tga(const Picture& picture) {
  constexpr std::size_t HEADER = 18;
  constexpr std::size_t PIXELS = static_cast<std::size_t>(SIDE) * SIDE;
  static const char SIGNATURE[] = "TRUEVISION-XFILE.";  // stored with its terminating zero
  std::vector<uint8_t> out(HEADER + PIXELS + 8 + sizeof(SIGNATURE), 0);
  out[2] = 3;  // uncompressed, black and white
  put16(out, 12, SIDE);
  put16(out, 14, SIDE);
  out[16] = 8;     // bits per pixel
  out[17] = 0x08;  // 8 attribute bits, left to right, bottom row first
  std::memcpy(&out[HEADER], picture.data(), PIXELS);
  // The extension area and developer directory offsets stay 0.
  std::memcpy(&out[HEADER + PIXELS + 8], SIGNATURE, sizeof(SIGNATURE));
  return out;
}

// Writes beside the target and renames, so a failed run never leaves a half-written picture.
void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::path partial = path;
  partial += ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out)
      throw std::runtime_error(partial.string() + ": cannot create: " + std::strerror(errno));
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(partial, ignored);
      throw std::runtime_error(partial.string() + ": cannot write");
    }
  }
  std::filesystem::rename(partial, path);
}

void print_usage(std::ostream& out) {
  out << "Usage: draw_apertures <out dir>\n"
         "\n"
         "Draws the aperture pictures of the zeb camera module as 512 x 512 8-bit greyscale TGA\n"
         "files into <out dir> (created when missing):\n"
         "  IMG_CIRCLE.tga    circle, centre (256, 256), radius 256.2\n"
         "  IMG_HEXAGON.tga   hexagon, centre (256.07, 255.86), circumradius 256, with a faint "
         "frame\n"
         "  IMG_HEPTAGON.tga  heptagon, centre (255.66, 256.09), circumradius 255.7\n"
         "Existing files of these names are replaced.\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    print_usage(std::cout);
    return 0;
  }
  if (argc != 2 || argv[1][0] == '\0') {
    print_usage(std::cerr);
    return 2;
  }
  try {
    const std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);

    write_file(dir / "IMG_CIRCLE.tga", encode_tga(draw_disc(256.0, 256.0, 256.2)));

    Picture hexagon = draw_convex_polygon(regular_polygon({256.07, 255.86}, 256.0, 6, 15.0));
    add_hexagon_frame(hexagon);
    write_file(dir / "IMG_HEXAGON.tga", encode_tga(hexagon));

    write_file(dir / "IMG_HEPTAGON.tga",
               encode_tga(draw_convex_polygon(regular_polygon({255.66, 256.09}, 255.7, 7, 105.0))));
  } catch (const std::exception& error) {
    std::cerr << "draw_apertures: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
