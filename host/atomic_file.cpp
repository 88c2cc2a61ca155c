#include "host/atomic_file.hpp"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zeb::host {
namespace fs = std::filesystem;

AtomicFile::AtomicFile(std::string destination) : destination_(std::move(destination)) {
  static std::atomic<unsigned> serial{0};
  const fs::path target(destination_);
  const std::string name = "." + target.stem().string() + ".zeb-tmp-" + std::to_string(::getpid()) +
                           "-" + std::to_string(serial++) + target.extension().string();
  temporary_ = (target.parent_path() / name).string();
}

AtomicFile::~AtomicFile() {
  if (!committed_) {
    std::error_code ignored;
    fs::remove(temporary_, ignored);
  }
}

void AtomicFile::commit() {
  std::error_code error;
  fs::rename(temporary_, destination_, error);
  if (error) {
    fs::remove(temporary_, error);
    throw std::runtime_error(destination_ + ": cannot write the file: " + error.message());
  }
  committed_ = true;
}

void write_file_atomically(const std::string& path, const std::string& text) {
  AtomicFile file(path);
  {
    std::ofstream out(file.temporary(), std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error(path + ": cannot write the file: " + std::strerror(errno));
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) throw std::runtime_error(path + ": cannot write the file: " + std::strerror(errno));
  }
  file.commit();
}

std::string read_whole_file(const std::string& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) throw std::runtime_error(path + ": is a folder, not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (!fs::exists(path, error)) throw std::runtime_error(path + ": no such file");
    throw std::runtime_error(path + ": cannot read the file: " + std::strerror(errno));
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw std::runtime_error(path + ": cannot read the file");
  return text.str();
}

bool same_file(const std::string& a, const std::string& b) {
  std::error_code error;
  if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
  return fs::weakly_canonical(fs::absolute(a), error) ==
         fs::weakly_canonical(fs::absolute(b), error);
}

}  // namespace zeb::host
