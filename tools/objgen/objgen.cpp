// objgen: writes the demo's two objects as ASE text, laid out the way a
// modelling package exports a scene, for objtool to import.
//   "Knot":     a (2, 3) torus knot tube, smooth-shaded by the build;
//   "StarRing": a ring of five-pointed star section with three fifths of a turn of
//               twist, flat-shaded, so each facet catches the light alone.
// Meshes are built in the engine's axes (y up, z into the screen) and written
// in the file's (z up): the importer exchanges y and z back.
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {
constexpr double PI = 3.14159265358979323846;

struct V3 {
  double x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
V3 unit(V3 a) { return a * (1.0 / std::sqrt(dot(a, a))); }

struct Mesh {
  const char* name;
  V3 pivot;  // engine axes
  double colour[3];
  std::vector<V3> vertices;
  std::vector<V3> centres;  // per vertex: a point inside, for the outward side
  std::vector<int> faces;   // three indices a face
};

// Adds a triangle turned so that the engine sees it from outside: its normal
// (c - a) x (b - a) points away from the centre of corner a.
void mesh_triangle(Mesh& m, int a, int b, int c) {
  V3 n = cross(m.vertices[c] - m.vertices[a], m.vertices[b] - m.vertices[a]);
  if (dot(n, m.vertices[a] - m.centres[a]) < 0) std::swap(b, c);
  m.faces.insert(m.faces.end(), {a, b, c});
}

// A closed tube of `around` vertices per ring, `along` rings; the last ring
// joins the first `shift` vertices on (a twisted tube closes onto itself).
void mesh_tube(Mesh& m, int along, int around, int shift) {
  for (int i = 0; i < along; ++i)
    for (int j = 0; j < around; ++j) {
      int next = (i + 1) % along, s = next == 0 ? shift : 0;
      int a = i * around + j, b = next * around + (j + s) % around;
      int c = next * around + (j + 1 + s) % around, d = i * around + (j + 1) % around;
      mesh_triangle(m, a, b, c);
      mesh_triangle(m, a, c, d);
    }
}

Mesh make_knot() {
  Mesh m{"Knot", {0, 0, 0}, {1.0, 0.62, 0.12}, {}, {}, {}};
  const int along = 120, around = 12;
  const double scale = 36.0, tube = 0.42;
  auto curve = [&](double t) {
    double r = std::cos(3 * t) + 2;
    return V3{r * std::cos(2 * t), r * std::sin(2 * t), -std::sin(3 * t)} * scale;
  };
  for (int i = 0; i < along; ++i) {
    double t = 2 * PI * i / along;
    V3 p = curve(t);
    V3 tangent = unit(curve(t + 1e-4) - curve(t - 1e-4));
    V3 b = unit(cross(tangent, {0, 0, 1}));
    V3 n = cross(b, tangent);
    for (int j = 0; j < around; ++j) {
      double a = 2 * PI * j / around;
      m.vertices.push_back(p + (n * std::cos(a) + b * std::sin(a)) * (tube * scale));
      m.centres.push_back(p);
    }
  }
  mesh_tube(m, along, around, 0);
  return m;
}

Mesh make_star_ring() {
  Mesh m{"StarRing", {250, 0, 0}, {0.15, 0.95, 0.85}, {}, {}, {}};
  const int along = 48, points = 5;
  const double radius = 86.0, outer = 40.0, inner = 15.0;
  for (int i = 0; i < along; ++i) {
    double t = 2 * PI * i / along;
    V3 radial{std::cos(t), std::sin(t), 0}, axis{0, 0, 1};
    V3 centre = radial * radius;
    double twist = (2 * PI / points) * 3 * i / along;
    for (int j = 0; j < 2 * points; ++j) {
      double a = twist + PI * j / points;
      double r = j % 2 ? inner : outer;
      m.vertices.push_back(m.pivot + centre + (radial * std::cos(a) + axis * std::sin(a)) * r);
      m.centres.push_back(m.pivot + centre);
    }
  }
  mesh_tube(m, along, 2 * points, 6);
  return m;
}

// Engine (x, y, z) is the file's (x, z, y).
void put3(std::FILE* f, V3 v) { std::fprintf(f, "%.4f\t%.4f\t%.4f", v.x, v.z, v.y); }

void write_object(std::FILE* f, const Mesh& m, int material) {
  std::fprintf(f, "*GEOMOBJECT {\n\t*NODE_NAME \"%s\"\n\t*NODE_TM {\n\t\t*NODE_NAME \"%s\"\n",
               m.name, m.name);
  std::fprintf(f,
               "\t\t*INHERIT_POS 0 0 0\n\t\t*INHERIT_ROT 0 0 0\n\t\t*INHERIT_SCL 0 0 0\n"
               "\t\t*TM_ROW0 1.0000\t0.0000\t0.0000\n\t\t*TM_ROW1 0.0000\t1.0000\t0.0000\n"
               "\t\t*TM_ROW2 0.0000\t0.0000\t1.0000\n\t\t*TM_ROW3 ");
  put3(f, m.pivot);
  std::fprintf(f, "\n\t\t*TM_POS ");
  put3(f, m.pivot);
  std::fprintf(f,
               "\n\t\t*TM_ROTAXIS 0.0000\t0.0000\t0.0000\n\t\t*TM_ROTANGLE 0.0000\n"
               "\t\t*TM_SCALE 1.0000\t1.0000\t1.0000\n\t\t*TM_SCALEAXIS 0.0000\t0.0000\t0.0000\n"
               "\t\t*TM_SCALEAXISANG 0.0000\n\t}\n");
  const int faces = static_cast<int>(m.faces.size() / 3);
  std::fprintf(f, "\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX %d\n\t\t*MESH_NUMFACES %d\n",
               static_cast<int>(m.vertices.size()), faces);
  std::fprintf(f, "\t\t*MESH_VERTEX_LIST {\n");
  for (std::size_t i = 0; i < m.vertices.size(); ++i) {
    std::fprintf(f, "\t\t\t*MESH_VERTEX %4d\t", static_cast<int>(i));
    put3(f, m.vertices[i]);
    std::fprintf(f, "\n");
  }
  std::fprintf(f, "\t\t}\n\t\t*MESH_FACE_LIST {\n");
  for (int i = 0; i < faces; ++i)
    std::fprintf(f,
                 "\t\t\t*MESH_FACE %4d:    A: %4d B: %4d C: %4d AB:    1 BC:    1 CA:    0\t "
                 "*MESH_SMOOTHING %d \t*MESH_MTLID %d\n",
                 i, m.faces[3 * i], m.faces[3 * i + 1], m.faces[3 * i + 2], material + 1, material);
  std::fprintf(f, "\t\t}\n\t\t*MESH_NUMTVERTEX 0\n\t\t*MESH_NORMALS {\n");
  // Normals in the file's axes: there the outward winding is (b - a) x (c - a).
  auto file_axes = [](V3 v) { return V3{v.x, v.z, v.y}; };
  std::vector<V3> vertex_normals(m.vertices.size(), V3{0, 0, 0});
  std::vector<V3> face_normals;
  for (int i = 0; i < faces; ++i) {
    V3 a = file_axes(m.vertices[m.faces[3 * i]]), b = file_axes(m.vertices[m.faces[3 * i + 1]]);
    V3 c = file_axes(m.vertices[m.faces[3 * i + 2]]);
    V3 n = unit(cross(b - a, c - a));
    face_normals.push_back(n);
    for (int k = 0; k < 3; ++k) {
      V3& sum = vertex_normals[m.faces[3 * i + k]];
      sum = sum + n;
    }
  }
  for (int i = 0; i < faces; ++i) {
    V3 n = face_normals[i];
    std::fprintf(f, "\t\t\t*MESH_FACENORMAL %d\t%.4f\t%.4f\t%.4f\n", i, n.x, n.y, n.z);
    for (int k = 0; k < 3; ++k) {
      int v = m.faces[3 * i + k];
      V3 vn = unit(vertex_normals[v]);
      std::fprintf(f, "\t\t\t\t*MESH_VERTEXNORMAL %d\t%.4f\t%.4f\t%.4f\n", v, vn.x, vn.y, vn.z);
    }
  }
  std::fprintf(f, "\t\t}\n\t}\n\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n");
  std::fprintf(f, "\t*MATERIAL_REF %d\n\t*WIREFRAME_COLOR %.4f\t%.4f\t%.4f\n}\n", material,
               m.colour[0], m.colour[1], m.colour[2]);
}

void write_scene(std::FILE* f, const Mesh* meshes, int count) {
  std::fprintf(f, "*3DSMAX_ASCIIEXPORT\t200\n*COMMENT \"objgen: the demo's objects\"\n");
  std::fprintf(f,
               "*SCENE {\n\t*SCENE_FILENAME \"objects.max\"\n\t*SCENE_FIRSTFRAME 0\n"
               "\t*SCENE_LASTFRAME 100\n\t*SCENE_FRAMESPEED 30\n\t*SCENE_TICKSPERFRAME 160\n"
               "\t*SCENE_BACKGROUND_STATIC 0.0000\t0.0000\t0.0000\n"
               "\t*SCENE_AMBIENT_STATIC 0.0000\t0.0000\t0.0000\n}\n");
  std::fprintf(f, "*MATERIAL_LIST {\n\t*MATERIAL_COUNT %d\n", count);
  for (int i = 0; i < count; ++i) {
    const double* c = meshes[i].colour;
    std::fprintf(f, "\t*MATERIAL %d {\n\t\t*MATERIAL_NAME \"%s\"\n", i, meshes[i].name);
    std::fprintf(f, "\t\t*MATERIAL_CLASS \"Standard\"\n");
    std::fprintf(f, "\t\t*MATERIAL_AMBIENT %.4f\t%.4f\t%.4f\n", c[0] * 0.2, c[1] * 0.2, c[2] * 0.2);
    std::fprintf(f, "\t\t*MATERIAL_DIFFUSE %.4f\t%.4f\t%.4f\n", c[0], c[1], c[2]);
    std::fprintf(f,
                 "\t\t*MATERIAL_SPECULAR 0.9000\t0.9000\t0.9000\n\t\t*MATERIAL_SHINE 0.2500\n"
                 "\t\t*MATERIAL_SHINESTRENGTH 0.0500\n\t\t*MATERIAL_TRANSPARENCY 0.0000\n"
                 "\t\t*MATERIAL_WIRESIZE 1.0000\n\t\t*MATERIAL_SHADING Blinn\n\t}\n");
  }
  std::fprintf(f, "}\n");
  for (int i = 0; i < count; ++i) write_object(f, meshes[i], i);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(argc == 2 && !std::string_view(argv[1]).compare("--help") ? stdout : stderr,
                 "usage: objgen OUTPUT.ase\nwrites the demo's two objects as ASE text\n");
    return argc == 2 && !std::string_view(argv[1]).compare("--help") ? 0 : 1;
  }
  const Mesh meshes[2] = {make_knot(), make_star_ring()};
  std::FILE* f = std::fopen(argv[1], "w");
  if (!f) {
    std::fprintf(stderr, "objgen: cannot create %s\n", argv[1]);
    return 1;
  }
  write_scene(f, meshes, 2);
  if (std::ferror(f) | std::fclose(f)) {
    std::fprintf(stderr, "objgen: cannot write %s\n", argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
