#include <unistd.h>

#include <cstdlib>

#include "data/archive.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  fuzz_file("zorv.dat", data, size);
  static const bool moved = chdir(fuzz_folder().c_str()) == 0;  // the reader opens "zorv.dat" here
  if (!moved) std::abort();
  if (TextureStructure* archive = archive_read()) archive_free(archive);
  return 0;
}
