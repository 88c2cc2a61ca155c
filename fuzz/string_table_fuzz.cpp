// libFuzzer target for the string-table reader. It reads files, so each input goes to one
// scratch file first; any input either loads or is refused with a std::runtime_error.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "host/string_table.hpp"

namespace {

std::string scratch_path() {
  const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/zeb_string_table_fuzz_" + std::to_string(::getpid()) + ".xml";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = scratch_path();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  try {
    const auto table = zeb::host::load_string_table(path);
    for (const auto& [id, value] : table) {
      if (id.find('\0') != std::string::npos) std::abort();
    }
  } catch (const std::runtime_error&) {
  }
  return 0;
}
