#include "bloom/filtering.hpp"

#include <algorithm>
#include <cstdint>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "bloom/fresh_memory.hpp"

namespace zeb {
namespace {

// Rows transformed at a time: a strip stays in the core's cache from its copy through its
// transform to its transposition. Columns transformed at a time: 4 columns of a few thousand
// complex entries stay in the core's cache through the transform, the product with the kernel's
// spectrum and the transform back.
constexpr int ROWS_PER_STRIP = 16;
constexpr int COLUMNS_PER_STRIP = 4;
// Each pass is cut into this many parts per worker thread, so that a core slowed down by other
// work delays the pass by a fraction of a part only.
constexpr int PARTS_PER_THREAD = 4;
// More bands than this never pay.
constexpr int MAX_BANDS = 8;

// Below this kernel area cv::filter2D sums directly and beats any transform; from it on it
// correlates through its own tiled DFT on one core, which the full transform on both cores beats
// (1.4 to 2.5 times from 160 x 120 to 3840 x 2160 at 8 x 8, in bench/README.md).
constexpr int DIRECT_KERNEL_AREA = 50;

// A row spectrum of length q in the library's packed layout (CCS): column 0 holds the real
// zero-frequency term, columns 2c - 1 and 2c the real and imaginary parts of frequency c, and for
// an even q the last column holds the real Nyquist term. The column transforms work on the
// q / 2 + 1 complex frequencies; the two real ones get an imaginary part of zero.
struct packed_row {
  int q;
  int frequencies() const { return q / 2 + 1; }
  int re(int c) const { return c == 0 ? 0 : 2 * c - 1; }
  int im(int c) const { return c == 0 || 2 * c == q ? -1 : 2 * c; }
};

// The image is cut into `bands` vertical bands of band_cols output columns (the last one may be
// narrower). Each band with its reflected border, padded_rows x (band_cols + kernel_cols - 1),
// occupies the top-left of a p x q transform; the band's result is then the top-left
// rows x band_cols of the circular correlation with the kernel, free of wrap-around. One band
// spans the whole image; more bands cost a little more transform work for much smaller buffers,
// whose first touch is far from free.
struct plan {
  int rows, cols;
  int kernel_rows, kernel_cols;
  int padded_rows, p;
  int bands, band_cols, q;
};

int padded_band_cols(const plan& shape) { return shape.band_cols + shape.kernel_cols - 1; }

// The bands and their padded sides; the transform sizes are the smallest the library offers.
plan make_plan(cv::Size image, cv::Size kernel, int bands) {
  plan out;
  out.rows = image.height;
  out.cols = image.width;
  out.kernel_rows = kernel.height;
  out.kernel_cols = kernel.width;
  out.padded_rows = image.height + kernel.height - 1;
  out.p = cv::getOptimalDFTSize(out.padded_rows);
  out.band_cols = (image.width + bands - 1) / bands;
  out.bands = (image.width + out.band_cols - 1) / out.band_cols;
  out.q = cv::getOptimalDFTSize(padded_band_cols(out));
  return out;
}

// Every band at least as wide as the kernel: a band then reads, besides its own columns, only
// the last kernel_cols / 2 columns of the band before it (see correlate_band).
bool bands_fit(const plan& shape) {
  return shape.bands == 1 || shape.cols - (shape.bands - 1) * shape.band_cols >= shape.kernel_cols;
}

// Nanoseconds per point of one OpenCV transform of length n in double precision on one core:
// a cost per radix-4, radix-2, radix-3 and radix-5 stage, fitted to this library's transforms of
// the library's sizes from 500 to 10000 (within 3 % on average, 13 % at worst). A real transform
// of even length runs as a complex one of half the length; an odd one has no such shortcut.
struct stages {
  int fours = 0, twos = 0, threes = 0, fives = 0;
};

stages stages_of(int n) {
  stages out;
  int twos = 0;
  for (; n % 2 == 0; n /= 2) ++twos;
  for (; n % 3 == 0; n /= 3) ++out.threes;
  for (; n % 5 == 0; n /= 5) ++out.fives;
  out.fours = twos / 2;
  out.twos = twos % 2;
  return out;
}

double complex_point_ns(int n) {
  const stages s = stages_of(n);
  return 0.27 + 1.56 * s.fours + 0.70 * s.twos + 1.71 * s.threes + 2.24 * s.fives;
}

double real_point_ns(int n) {
  if (n % 2 != 0) return 2.0 * complex_point_ns(n);
  const stages s = stages_of(n / 2);
  return 0.28 + 0.82 * s.fours + 0.42 * s.twos + 0.91 * s.threes + 1.16 * s.fives;
}

// Estimated cost of a plan, in nanoseconds of one core: the row transforms with the copies that
// go with them (the load, the transposition both ways and the write-back, about 1.6 ns per
// padded element), the column transforms, and the first touch of the two large buffers (the
// band's transposed spectrum and the kernel's), whose pages the system hands out at about
// 0.75 ns per byte.
double plan_cost(const plan& shape, int channels) {
  constexpr double COPIES_PER_POINT = 1.6, FRESH_BYTE = 0.75;
  const double q = shape.q, p = shape.p, frequencies = shape.q / 2 + 1;
  const double row_point = real_point_ns(shape.q) + COPIES_PER_POINT;
  const double column_point = complex_point_ns(shape.p);
  const double per_band =
      (shape.padded_rows + shape.rows) * q * row_point + 2.0 * frequencies * p * column_point;
  const double kernel = shape.kernel_rows * q * row_point + frequencies * p * column_point;
  const double memory = 2.0 * frequencies * p * 16.0 * FRESH_BYTE;
  return channels * shape.bands * per_band + kernel + memory;
}

// The plan for the requested band count, lowered until the bands fit; 0 asks for the cheapest.
// Either way the transform sizes are the cheapest of the library's sizes up to a quarter above
// the smallest: a length with more factors of two can be larger and still faster.
plan choose_plan(cv::Size image, cv::Size kernel, int channels, int bands) {
  std::vector<plan> candidates;
  if (bands > 0) {
    for (; bands > 1 && !bands_fit(make_plan(image, kernel, bands)); --bands) {
    }
    candidates.push_back(make_plan(image, kernel, bands));
  } else {
    for (int count = 1; count <= MAX_BANDS; ++count) {
      const plan shape = make_plan(image, kernel, count);
      if (count == 1 || (shape.bands == count && bands_fit(shape))) candidates.push_back(shape);
    }
  }
  plan best = candidates.front();
  double best_cost = plan_cost(best, channels);
  for (const plan& smallest : candidates) {
    plan shape = smallest;
    for (shape.q = smallest.q; shape.q <= smallest.q + smallest.q / 4;
         shape.q = cv::getOptimalDFTSize(shape.q + 1)) {
      for (shape.p = smallest.p; shape.p <= smallest.p + smallest.p / 4;
           shape.p = cv::getOptimalDFTSize(shape.p + 1)) {
        const double cost = plan_cost(shape, channels);
        if (cost < best_cost) {
          best = shape;
          best_cost = cost;
        }
      }
    }
  }
  return best;
}

// Runs body(first, last, slot) over [0, count) on the library's worker threads, in `slots`
// contiguous parts; no two parts that run at the same time share a slot, so a part may use the
// slot's scratch buffer. More parts than threads keep both cores busy when one is slowed down.
template <class Body>
void in_parts(int count, int slots, const Body& body) {
  cv::parallel_for_(
      cv::Range(0, slots),
      [&](const cv::Range& range) {
        const int64_t first = int64_t{count} * range.start / slots;
        const int64_t last = int64_t{count} * range.end / slots;
        body(static_cast<int>(first), static_cast<int>(last), range.start);
      },
      slots);
}

// The source index of every padded index along one side, reflected as often as needed; the same
// indices cv::copyMakeBorder uses for BORDER_REFLECT_101.
std::vector<int> reflected_indices(int padded, int before, int length, int stride) {
  std::vector<int> indices(static_cast<std::size_t>(padded));
  for (int i = 0; i < padded; ++i)
    indices[static_cast<std::size_t>(i)] =
        cv::borderInterpolate(i - before, length, cv::BORDER_REFLECT_101) * stride;
  return indices;
}

// Scratch memory of one filtering call, reused for the kernel and for every band: the band's
// two-dimensional work in transposed form (row c holds the p entries of complex frequency c, so
// every column transform runs on contiguous memory), per slot a strip of padded rows, and the
// original values of the columns that the next band reads but this band overwrites.
struct workspace {
  workspace(const plan& shape, int slots) : columns(shape.q / 2 + 1, shape.p, CV_64FC2) {
    strips.reserve(static_cast<std::size_t>(slots));
    for (int slot = 0; slot < slots; ++slot) strips.emplace_back(ROWS_PER_STRIP, shape.q, CV_64F);
    if (shape.bands > 1) halo.create(shape.rows, shape.kernel_cols / 2, CV_64F);
    commit_pages(columns);
  }
  cv::Mat columns;
  std::vector<cv::Mat> strips;
  cv::Mat halo;
};

// Copies the packed row spectra of the `count` rows of `strip` into entries
// [first_row, first_row + count) of every row of `columns`, one complex frequency per row. The
// strip stays in the core's cache while each frequency's entries are written side by side.
void rows_to_columns(const cv::Mat& strip, int count, const packed_row& layout, int first_row,
                     cv::Mat& columns) {
  const double* rows[ROWS_PER_STRIP];
  for (int r = 0; r < count; ++r) rows[r] = strip.ptr<double>(r);
  const int frequencies = layout.frequencies();
  for (int c = 0; c < frequencies; ++c) {
    cv::Vec2d* target = columns.ptr<cv::Vec2d>(c) + first_row;
    const int re = layout.re(c), im = layout.im(c);
    if (im < 0) {
      for (int r = 0; r < count; ++r) target[r] = cv::Vec2d(rows[r][re], 0.0);
    } else {
      for (int r = 0; r < count; ++r) target[r] = cv::Vec2d(rows[r][re], rows[r][im]);
    }
  }
}

// The way back: entries [first_row, first_row + count) of every frequency into the packed rows
// of `strip`. The zero-frequency and Nyquist columns come back real; their imaginary rounding
// residue has no place in the packed layout and is dropped.
void columns_to_rows(const cv::Mat& columns, int first_row, int count, const packed_row& layout,
                     cv::Mat& strip) {
  double* rows[ROWS_PER_STRIP];
  for (int r = 0; r < count; ++r) rows[r] = strip.ptr<double>(r);
  const int frequencies = layout.frequencies();
  for (int c = 0; c < frequencies; ++c) {
    const cv::Vec2d* source = columns.ptr<cv::Vec2d>(c) + first_row;
    const int re = layout.re(c), im = layout.im(c);
    if (im < 0) {
      for (int r = 0; r < count; ++r) rows[r][re] = source[r][0];
    } else {
      for (int r = 0; r < count; ++r) {
        rows[r][re] = source[r][0];
        rows[r][im] = source[r][1];
      }
    }
  }
}

// The forward transform of `count` rows: fill(first, last, strip) writes padded rows
// [first, last) into the strip's top rows (all q values), which are then transformed and
// transposed into entries [0, count) of every frequency's column. The entries from count to p
// are zeroed; then every column is transformed, and `per_columns` (if any) finishes each strip
// of transformed columns.
template <class Fill, class PerColumns>
void forward_transform(int count, const plan& shape, workspace& scratch, cv::Mat& columns,
                       const Fill& fill, const PerColumns& per_columns) {
  const packed_row layout{shape.q};
  const int slots = static_cast<int>(scratch.strips.size());
  in_parts(count, slots, [&](int first, int last, int slot) {
    cv::Mat& strip = scratch.strips[static_cast<std::size_t>(slot)];
    for (int begin = first; begin < last; begin += ROWS_PER_STRIP) {
      const int end = std::min(last, begin + ROWS_PER_STRIP);
      cv::Mat rows = strip.rowRange(0, end - begin);
      fill(begin, end, rows);
      cv::dft(rows, rows, cv::DFT_ROWS);
      rows_to_columns(rows, end - begin, layout, begin, columns);
    }
  });
  in_parts(layout.frequencies(), slots, [&](int first, int last, int) {
    for (int begin = first; begin < last; begin += COLUMNS_PER_STRIP) {
      const int end = std::min(last, begin + COLUMNS_PER_STRIP);
      cv::Mat strip = columns.rowRange(begin, end);
      strip.colRange(count, shape.p).setTo(cv::Scalar::all(0.0));
      cv::dft(strip, strip, cv::DFT_ROWS);
      per_columns(begin, end, strip);
    }
  });
}

// The kernel's two-dimensional spectrum, transposed: row c holds the p-point column transform of
// complex frequency c of the kernel's row spectra (frequencies() x p, CV_64FC2). Every band of
// every channel is multiplied with it.
cv::Mat kernel_spectrum(const cv::Mat& kernel, const plan& shape, workspace& scratch) {
  cv::Mat spectrum(shape.q / 2 + 1, shape.p, CV_64FC2);
  commit_pages(spectrum);
  forward_transform(
      shape.kernel_rows, shape, scratch, spectrum,
      [&](int first, int last, cv::Mat& rows) {
        for (int r = first; r < last; ++r) {
          double* row = rows.ptr<double>(r - first);
          const double* source = kernel.ptr<double>(r);
          std::copy(source, source + shape.kernel_cols, row);
          std::fill(row + shape.kernel_cols, row + shape.q, 0.0);
        }
      },
      [](int, int, cv::Mat&) {});
  return spectrum;
}

// Where one band of one channel comes from and goes to.
struct band {
  int channel;
  int first_col, cols;  // output columns [first_col, first_col + cols)
};

// Correlates one band of one channel of the image with the kernel whose spectrum is given; the
// workspace holds the band's spectrum in between. source_rows and source_cols give, per padded
// row and column of the whole image, the element offset of its reflected source.
//
// The image is changed in place band after band, and a band's padded columns begin
// kernel_cols / 2 columns before its own: those, already overwritten by the band before, come
// from the halo that band saved. Since every band is at least as wide as the kernel, no other
// column a band reads, reflected ones included, has been overwritten yet.
void correlate_band(cv::Mat& image, const band& part, const cv::Mat& spectrum, const plan& shape,
                    const std::vector<int>& source_rows, const std::vector<int>& source_cols,
                    workspace& scratch) {
  const int channels = image.channels();
  const packed_row layout{shape.q};
  const int slots = static_cast<int>(scratch.strips.size());
  // The band's padded columns are the image's padded columns [first_col, first_col + padded);
  // those in [inner_first, inner_last) lie inside the image and are copied without the table.
  const int padded = part.cols + shape.kernel_cols - 1;
  const int left = shape.kernel_cols / 2;
  const bool from_halo = part.first_col > 0 && left > 0;
  const bool to_halo = part.first_col + part.cols < shape.cols && left > 0;
  const int inner_first = from_halo ? left : std::clamp(left - part.first_col, 0, padded);
  const int inner_last = std::clamp(left + shape.cols - part.first_col, inner_first, padded);
  const int* cols_from = source_cols.data() + part.first_col;
  const int inner_offset = (part.first_col + inner_first - left) * channels + part.channel;

  // The band with its reflected border, row by row; then per strip of complex frequencies the
  // column transforms, the product with the kernel's conjugate spectrum (a correlation, not a
  // convolution) and the transforms back.
  forward_transform(
      shape.padded_rows, shape, scratch, scratch.columns,
      [&](int first, int last, cv::Mat& rows) {
        for (int r = first; r < last; ++r) {
          const double* source = image.ptr<double>(source_rows[static_cast<std::size_t>(r)]);
          double* row = rows.ptr<double>(r - first);
          if (from_halo) {
            const double* saved =
                scratch.halo.ptr<double>(source_rows[static_cast<std::size_t>(r)]);
            std::copy(saved, saved + left, row);
          } else {
            for (int x = 0; x < inner_first; ++x) row[x] = source[cols_from[x] + part.channel];
          }
          const double* inner = source + inner_offset;
          for (int x = inner_first; x < inner_last; ++x, inner += channels) row[x] = *inner;
          for (int x = inner_last; x < padded; ++x) row[x] = source[cols_from[x] + part.channel];
          std::fill(row + padded, row + shape.q, 0.0);
        }
      },
      [&](int first, int last, cv::Mat& strip) {
        cv::mulSpectrums(strip, spectrum.rowRange(first, last), strip, cv::DFT_ROWS, true);
        cv::dft(strip, strip, cv::DFT_INVERSE | cv::DFT_SCALE | cv::DFT_ROWS);
      });

  // The result rows back from the columns, their inverse row transforms, and into the band of
  // the image's channel.
  in_parts(shape.rows, slots, [&](int first, int last, int slot) {
    cv::Mat& strip = scratch.strips[static_cast<std::size_t>(slot)];
    for (int begin = first; begin < last; begin += ROWS_PER_STRIP) {
      const int end = std::min(last, begin + ROWS_PER_STRIP);
      cv::Mat rows = strip.rowRange(0, end - begin);
      columns_to_rows(scratch.columns, begin, end - begin, layout, rows);
      cv::dft(rows, rows, cv::DFT_INVERSE | cv::DFT_REAL_OUTPUT | cv::DFT_SCALE | cv::DFT_ROWS);
      for (int r = begin; r < end; ++r) {
        const double* row = rows.ptr<double>(r - begin);
        double* target = image.ptr<double>(r) + part.first_col * channels + part.channel;
        if (to_halo) {
          const double* kept = target + (part.cols - left) * channels;
          double* saved = scratch.halo.ptr<double>(r);
          for (int x = 0; x < left; ++x, kept += channels) saved[x] = *kept;
        }
        for (int x = 0; x < part.cols; ++x, target += channels) *target = row[x];
      }
    }
  });
}

bool dft_applies(const cv::Mat& image, const cv::Mat& kernel) {
  return !image.empty() && image.depth() == CV_64F && image.channels() <= 4 && !kernel.empty() &&
         kernel.channels() == 1 && kernel.dims == 2 && image.dims == 2;
}

// The image's own edges are its borders even when it is a view into a larger matrix, as on the
// transform path; for a whole matrix BORDER_ISOLATED changes nothing.
void filter_direct(cv::Mat& image, const cv::Mat& kernel) {
  cv::filter2D(image, image, -1, kernel, cv::Point(-1, -1), 0.0,
               cv::BORDER_REFLECT_101 | cv::BORDER_ISOLATED);
}

}  // namespace

bool filter_uses_dft(cv::Size image, cv::Size kernel) {
  (void)image;
  return kernel.area() >= DIRECT_KERNEL_AREA;
}

int filter_dft_bands(cv::Size image, cv::Size kernel, int channels) {
  if (image.area() == 0 || kernel.area() == 0) return 1;
  return choose_plan(image, kernel, channels, 0).bands;
}

void filter_image_dft(cv::Mat& image, const cv::Mat& kernel, int bands) {
  if (image.empty()) return;
  if (!dft_applies(image, kernel)) {
    filter_direct(image, kernel);
    return;
  }
  cv::Mat kernel64;
  if (kernel.type() == CV_64FC1)
    kernel64 = kernel;
  else
    kernel.convertTo(kernel64, CV_64F);

  const int channels = image.channels();
  const plan shape = choose_plan(image.size(), kernel64.size(), channels, bands);
  const int left = shape.kernel_cols / 2;
  const std::vector<int> source_rows =
      reflected_indices(shape.padded_rows, shape.kernel_rows / 2, shape.rows, 1);
  const std::vector<int> source_cols =
      reflected_indices(shape.cols + shape.kernel_cols - 1, left, shape.cols, channels);

  // One padded buffer for every band of every channel, in turn: the peak stays at one band's
  // spectrum beside the kernel's.
  workspace scratch(shape, std::max(1, cv::getNumThreads()) * PARTS_PER_THREAD);
  const cv::Mat spectrum = kernel_spectrum(kernel64, shape, scratch);
  for (int channel = 0; channel < channels; ++channel) {
    for (int first_col = 0; first_col < shape.cols; first_col += shape.band_cols) {
      const band part{channel, first_col, std::min(shape.band_cols, shape.cols - first_col)};
      correlate_band(image, part, spectrum, shape, source_rows, source_cols, scratch);
    }
  }
}

void filter_image(cv::Mat& image, const cv::Mat& kernel) {
  if (image.empty()) return;
  if (dft_applies(image, kernel) && filter_uses_dft(image.size(), kernel.size())) {
    filter_image_dft(image, kernel);
    return;
  }
  filter_direct(image, kernel);
}

}  // namespace zeb
