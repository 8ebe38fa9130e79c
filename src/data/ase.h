// The ASE text scene importer of the object tool chain.
#pragma once

struct Object;
struct ObjectList;

// Imports every geometric object of the file into the list. Codes: 0 done,
// 1 cannot open, 3 end of file inside an object, 4 out of memory, 5 list full,
// 6 vertex count above 3000 (or negative), 7 face count above 3000 (or
// negative), 8 end of file before the colour; for malformed input 10 a number
// that cannot be read or is out of range, 11 an object running into the next
// "*GEOMOBJECT", 12 a face index outside 0..V-1, 13 a 101st colour. A failure
// leaves the objects completed before it and nothing of the failed one.
int ase_import(const char* path, ObjectList* list);
// Face normals, vertex normals and the three radii. 0, or 9 out of memory.
// Degenerate faces and unused vertices get the normal (0, 0, 1).
int mesh_build(Object* object);
