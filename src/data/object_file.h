// "objs.3dw": the binary object file, a field-by-field image of the engine's
// object records, read once at start-up.
#pragma once

struct ObjectList;

// Appends the file's objects to the list, one shade ramp per distinct face
// colour. 0 success, 1 list already full, 2 cannot open, 3 wrong magic,
// 4 out of memory; for malformed files 5 truncated record, 6 count or number
// out of range (counts 0..3000), 7 face corner count or index out of range,
// 8 more objects than free slots, 9 a 101st colour. A failure leaves the
// objects completed before it in the list and nothing of the failed one.
int object_file_read(const char* path, ObjectList* list);
// 0 success, 2 when the file cannot be created, 5 when a write fails.
int object_file_write(const char* path, const ObjectList* list);
