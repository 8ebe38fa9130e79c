// "objs.3dw": the binary object file, a field-by-field image of the engine's
// object records, read once at start-up.
#pragma once

struct ObjectList;

// Appends the file's objects to the list. 0 success, 1 list already full,
// 2 cannot open, 3 wrong magic, 4 out of memory; further codes for malformed
// files are listed in object_file.cpp's header comment.
int object_file_read(const char* path, ObjectList* list);
// 0 success, 2 when the file cannot be created.
int object_file_write(const char* path, const ObjectList* list);
