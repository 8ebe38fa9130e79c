// The readers take files, so each input is written to a file of its own in a
// private folder first: on tmpfs when there is one, since this is the
// harness's main cost. Their messages go to /dev/null. The folder is removed
// when the fuzzer exits.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

struct FuzzFolder {
  std::string path;
  FuzzFolder() {
    std::string name =
        access("/dev/shm", W_OK) == 0 ? "/dev/shm/qn-fuzz-XXXXXX" : "/tmp/qn-fuzz-XXXXXX";
    if (!mkdtemp(name.data())) std::abort();
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
    path = name;
  }
  ~FuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

inline const std::string& fuzz_folder() {
  static const FuzzFolder folder;
  return folder.path;
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
