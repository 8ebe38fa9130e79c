// STUB: replaced by the archive reader.
#include "data/archive.h"
TextureStructure* archive_read() { return nullptr; }
void archive_free(TextureStructure*) {}
