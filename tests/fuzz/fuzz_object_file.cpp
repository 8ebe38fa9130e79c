#include "data/object_file.h"
#include "engine/model.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  static ObjectList list;
  const std::string path = fuzz_file("objs.3dw", data, size);
  object_list_init(&list);
  object_file_read(path.c_str(), &list);
  object_list_destroy(&list);
  return 0;
}
