// The readers take files, so each input is written to a file of its own in a
// private folder first. Their messages go to /dev/null.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

inline const std::string& fuzz_folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/qn-fuzz-XXXXXX";
    if (!mkdtemp(name)) std::abort();
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
    return std::string(name);
  }();
  return folder;
}

// Writes the input to `name` in the private folder and returns its path.
inline std::string fuzz_file(const char* name, const unsigned char* data, size_t size) {
  const std::string path = fuzz_folder() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return path;
}
