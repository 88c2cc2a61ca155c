// Fresh matrices of the bloom's size (a 4K image matrix is 199 MB) come straight from the
// system, and the first write to each of their pages costs a page fault: about 0.8 ms per MiB on
// a virtual machine, paid by whichever thread writes first. The host's pixel calls fill the image
// matrix on one thread, so without help its faults cost that thread about 150 ms at 4K.
#pragma once

#include <opencv2/core.hpp>

namespace zeb {

// Makes the pages of a matrix resident before its first use, spread over the library's worker
// threads, with MADV_POPULATE_WRITE where the system offers it (it skips the fault per page) and
// by touching one byte per page where not. The contents are left as they are. Small matrices,
// whose few pages are cheaper to fault one by one, are left alone.
void commit_pages(cv::Mat& matrix);

}  // namespace zeb
