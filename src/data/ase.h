// The ASE text scene importer of the object tool chain.
#pragma once

struct Object;
struct ObjectList;

// Imports every geometric object of the file into the list. Codes: 0 done,
// 1 cannot open, 3 end of file inside an object, 4 out of memory, 5 list full,
// 6 more than 3000 vertices, 7 more than 3000 faces, 8 end of file before the
// colour; further codes for malformed input are listed in ase.cpp.
int ase_import(const char* path, ObjectList* list);
// Face normals, vertex normals and the three radii. 0, or 9 out of memory.
int mesh_build(Object* object);
