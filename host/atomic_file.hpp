// Files that are either written whole or not at all: the content goes to a temporary file in the
// destination's own folder (so the final rename stays on one file system and is atomic), and only
// a complete file is renamed over the destination. A failed or abandoned write leaves the
// destination exactly as it was and removes the temporary.
#pragma once

#include <string>

namespace zeb::host {

class AtomicFile {
 public:
  // Picks the temporary name; nothing is created yet. The temporary keeps the destination's
  // extension, because image writers choose their format by it.
  explicit AtomicFile(std::string destination);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& destination() const { return destination_; }
  // Where the content is to be written before commit.
  const std::string& temporary() const { return temporary_; }
  // Renames the temporary over the destination. Throws std::runtime_error naming the destination
  // when that fails; the temporary is removed either way.
  void commit();

 private:
  std::string destination_;
  std::string temporary_;
  bool committed_ = false;
};

// Writes text to path through an AtomicFile. Throws std::runtime_error naming the file.
void write_file_atomically(const std::string& path, const std::string& text);

// Reads a whole file. Throws std::runtime_error naming the file when it is missing or unreadable.
std::string read_whole_file(const std::string& path);

// True when both names denote the same file; a destination that does not exist yet is compared
// by its normalised absolute name.
bool same_file(const std::string& a, const std::string& b);

}  // namespace zeb::host
