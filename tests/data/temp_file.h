// Scratch files for the reader tests, removed when the test ends.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "engine/model.h"
#include "scratch.h"

struct TempFile {
  std::string path;
  TempFile() { path = scratch_file("qn_objects_"); }
  explicit TempFile(const std::string& bytes) : TempFile() { write(bytes); }
  ~TempFile() { std::remove(path.c_str()); }
  void write(const std::string& bytes) const {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::string read() const {
    std::string s;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
      std::fclose(f);
    }
    return s;
  }
  const char* c_str() const { return path.c_str(); }
};

// A list freed at the end of the test.
struct ListHolder {
  ObjectList list;
  ListHolder() { object_list_init(&list); }
  ~ListHolder() { object_list_destroy(&list); }
};
