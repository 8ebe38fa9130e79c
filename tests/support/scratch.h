// Scratch files and folders for the tests, under $TMPDIR (else /tmp) like
// every other temporary file, so the suite's check for leftovers sees them;
// a folder goes with its owner.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string scratch_base() {
  const char* dir = std::getenv("TMPDIR");
  return dir && *dir ? dir : "/tmp";
}

// A new file's path from `prefix` (mkstemp); empty when none could be made.
// The caller removes it.
inline std::string scratch_file(const char* prefix) {
  std::string path = scratch_base() + "/" + prefix + "XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) return {};
  close(fd);
  return path;
}

struct ScratchDir {
  std::string path;
  explicit ScratchDir(const char* prefix) : path(scratch_base() + "/" + prefix + "XXXXXX") {
    if (!mkdtemp(path.data())) path = scratch_base() + "/" + prefix + "unmade";
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
};
