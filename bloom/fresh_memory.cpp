#include "bloom/fresh_memory.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace zeb {
namespace {

// Below this a matrix is a few hundred pages: not worth waking the worker threads for.
constexpr std::size_t MIN_COMMITTED_BYTES = std::size_t{4} << 20;
// Parts per worker thread, so that a core slowed by other work delays the rest little.
constexpr int PARTS_PER_THREAD = 4;

void commit_range(unsigned char* first, unsigned char* last, std::size_t page) {
#ifdef MADV_POPULATE_WRITE
  if (madvise(first, static_cast<std::size_t>(last - first), MADV_POPULATE_WRITE) == 0) return;
#endif
  // Older kernels: a write per page, of the byte that is already there.
  for (volatile unsigned char* byte = first; byte < last; byte += page) *byte = *byte;
}

}  // namespace

void commit_pages(cv::Mat& matrix) {
  if (matrix.empty()) return;
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(matrix.datastart);
  const auto end = reinterpret_cast<std::uintptr_t>(matrix.dataend);
  // Only whole pages inside the matrix: the partial ones at its ends may hold other allocations.
  const std::uintptr_t first = (begin + page - 1) / page * page;
  const std::uintptr_t last = end / page * page;
  if (last <= first || last - first < MIN_COMMITTED_BYTES) return;

  const std::size_t pages = (last - first) / page;
  const int parts = std::max(1, cv::getNumThreads()) * PARTS_PER_THREAD;
  cv::parallel_for_(
      cv::Range(0, parts),
      [&](const cv::Range& range) {
        const std::uintptr_t from = first + pages * range.start / parts * page;
        const std::uintptr_t to = first + pages * range.end / parts * page;
        if (to > from)
          commit_range(reinterpret_cast<unsigned char*>(from), reinterpret_cast<unsigned char*>(to),
                       page);
      },
      parts);
}

}  // namespace zeb
