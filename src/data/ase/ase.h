// The ASE text scene importer of the object tool chain, and the mesh
// building it ends each object with. Only the tools and the tests link it.
#pragma once

struct Object;
struct ObjectList;

// What ase_import and mesh_build return.
enum AseCode {
  ASE_OK = 0,
  ASE_CANNOT_OPEN = 1,
  ASE_END_IN_OBJECT = 3,  // the file ends while an object's token is looked for
  ASE_NO_MEMORY = 4,
  ASE_LIST_FULL = 5,          // the list already holds 1000 objects
  ASE_TOO_MANY_VERTICES = 6,  // above 3000, or negative
  ASE_TOO_MANY_FACES = 7,     // above 3000, or negative
  ASE_END_BEFORE_COLOUR = 8,  // the file ends before "*WIREFRAME_COLOR"
  ASE_MESH_NO_MEMORY = 9,     // mesh_build's working memory
  // Malformed input:
  ASE_BAD_NUMBER = 10,        // unreadable, not finite, or a coordinate beyond 1e6
  ASE_RAN_INTO_NEXT = 11,     // an object's tokens run into the next "*GEOMOBJECT"
  ASE_BAD_INDEX = 12,         // a face index outside 0..V-1
  ASE_TOO_MANY_COLOURS = 13,  // the object's colour would be a 101st shade ramp
};

// Where an object failed: the keyword being looked for or read when it did,
// the vertex or face number when in a list, and the object's name once read.
struct AseWhere {
  const char* keyword = "";
  int item = -1;
  char object[40] = {};
};

// Imports every geometric object of the file into the list. A failure leaves
// the objects completed before it and nothing of the failed one; when it was
// inside an object, *where (if given) says where.
int ase_import(const char* path, ObjectList* list, AseWhere* where = nullptr);
// Face normals, vertex normals and the three radii: ASE_OK or
// ASE_MESH_NO_MEMORY. Degenerate faces and unused vertices get the normal
// (0, 0, 1).
int mesh_build(Object* object);
