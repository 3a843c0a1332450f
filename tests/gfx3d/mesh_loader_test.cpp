// The .d reader: keyword scanning, number conversion, and refusal of broken
// text without touching the mesh.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "gfx3d/mesh.h"

namespace tolvarin {
namespace {

const std::string kTriangle =
    "Vertices: 3 Faces: 1\n"
    "Vertex list:\n"
    "Vertex 0: X:0.0 Y:0.0 Z:10.0\n"
    "Vertex 1: X:1.0 Y:0.0 Z:10.0\n"
    "Vertex 2: X:0.0 Y:1.0 Z:10.0\n"
    "Face list:\n"
    "Face 0: A:0 B:1 C:2\n";

bool loadText(Mesh& mesh, const std::string& text) {
  return mesh.loadFromMemory(text.data(), text.size());
}

void expectPosition(const MeshVertex& v, double x, double y, double z) {
  for (const Vec3* p : {&v.model, &v.rotated, &v.camera}) {
    EXPECT_EQ(p->x, x);
    EXPECT_EQ(p->y, y);
    EXPECT_EQ(p->z, z);
  }
}

TEST(MeshLoader, MinimalFileGivesRecordsAsDescribed) {
  Mesh mesh;
  ASSERT_TRUE(loadText(mesh, kTriangle));
  ASSERT_EQ(mesh.vertexCount, 3);
  ASSERT_EQ(mesh.faceCount, 1);
  expectPosition(mesh.vertices[2], 0.0, -1.0, 10.0);  // Y is negated
  const MeshFace& f = mesh.faces[0];
  EXPECT_EQ(f.a, &mesh.vertices[0]);
  EXPECT_EQ(f.c, &mesh.vertices[2]);
  EXPECT_EQ(f.colour, defaultFaceColour);
  EXPECT_EQ(mesh.vertices[1].u + mesh.vertices[1].v + mesh.vertices[1].outcode, 0);
}

TEST(MeshLoader, TokenRules) {
  // The count is always the token after the keyword's token: "Vertices:8"
  // matches and the count is read from "2"; "Faces:" likewise takes "1".
  // "X: 1.5" reads 0.0 and the 1.5 is passed over by the search for "Y:".
  // Keywords match inside longer tokens; trailing text after numbers is ignored.
  const std::string text =
      "junk Vertices:8 2 xFaces:99 1 more words Vertex list: "
      "X: 1.5 Y:2.5 Z:0.0 "
      "pX:-3e1 Y:+.5 Z:-0.0 "
      "Faces list: Face 0: A:1 B:0x C:1abc AB:7\n";
  Mesh mesh;
  ASSERT_TRUE(loadText(mesh, text));
  ASSERT_EQ(mesh.vertexCount, 2);
  ASSERT_EQ(mesh.faceCount, 1);
  expectPosition(mesh.vertices[0], 0.0, -2.5, 0.00001);  // Z 0.0 replaced
  expectPosition(mesh.vertices[1], -30.0, -0.5, 0.00001);  // so is -0.0
  EXPECT_EQ(mesh.faces[0].a, &mesh.vertices[1]);
  EXPECT_EQ(mesh.faces[0].b, &mesh.vertices[0]);
  EXPECT_EQ(mesh.faces[0].c, &mesh.vertices[1]);
}

TEST(MeshLoader, NumberConversion) {
  struct Case {
    const char* z;
    double expected;
  };
  const Case cases[] = {
      {"0.000001", 0.000001}, {"1e2", 100.0},  {"1e", 1.0},   {"1.5e+1x", 15.0},
      {".25", 0.25},          {"-7.", -7.0},   {"abc", 0.00001}, {"inf", 0.00001},
      {"nan", 0.00001},       {"0x10", 0.00001}, {"1e400", HUGE_VAL}, {"", 0.00001},
  };
  for (const Case& c : cases) {
    const std::string text = std::string("Vertices: 1 Faces: 0 list: X:1 Y:1 Z:") + c.z +
                             " list:";
    Mesh mesh;
    ASSERT_TRUE(loadText(mesh, text)) << c.z;
    EXPECT_EQ(mesh.vertices[0].model.z, c.expected) << c.z;
  }
  // An empty mesh still needs both list headers.
  Mesh empty;
  EXPECT_TRUE(loadText(empty, "Vertices: 0 Faces: 0 Vertex list: Face list:"));
  EXPECT_EQ(empty.vertexCount, 0);
  EXPECT_FALSE(loadText(empty, "Vertices: 0 Faces: 0 Vertex list:"));
}

TEST(MeshLoader, BrokenTextFailsAndLeavesMeshUnchanged) {
  Mesh mesh;
  ASSERT_TRUE(loadText(mesh, kTriangle));
  const MeshVertex* vertices = mesh.vertices.get();
  const MeshFace* faces = mesh.faces.get();
  auto expectUnchanged = [&](const std::string& text) {
    EXPECT_FALSE(loadText(mesh, text)) << text;
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.faceCount, 1);
    EXPECT_EQ(mesh.vertices.get(), vertices);
    EXPECT_EQ(mesh.faces.get(), faces);
  };
  // Every proper prefix that ends between tokens breaks off before a keyword,
  // count, coordinate or index.
  for (std::size_t cut = 0; cut + 1 < kTriangle.size(); ++cut) {
    if (kTriangle[cut] != ' ' && kTriangle[cut] != '\n') continue;
    expectUnchanged(kTriangle.substr(0, cut));
  }
  expectUnchanged("Vertices: -1 Faces: 0 list: list:");
  expectUnchanged("Vertices: 0 Faces: -3 list: list:");
  expectUnchanged("Vertices: 4000001 Faces: 0 list:");
  expectUnchanged("Vertices: 99999999999999999999 Faces: 0 list:");
  expectUnchanged("Vertices: 1 Faces: 1 list: X:0 Y:0 Z:1 list: Face A:0 B:1 C:0");
  expectUnchanged("Vertices: 1 Faces: 1 list: X:0 Y:0 Z:1 list: Face A:0 B:-1 C:0");
  // A huge count in a short text is refused at its end, without allocating it.
  expectUnchanged("Vertices: 3999999 Faces: 3999999 list: X:1 Y:1 Z:1");
  EXPECT_FALSE(mesh.load("/nonexistent/dir/none.d"));
  EXPECT_FALSE(mesh.load(TOLVARIN_SOURCE_DIR));  // a folder opens but does not read
  EXPECT_EQ(mesh.vertices.get(), vertices);
  EXPECT_FALSE(mesh.allocateVertices(-1));
  EXPECT_FALSE(mesh.allocateFaces(kMaxMeshElements + 1));
  EXPECT_EQ(mesh.faces.get(), faces);

  // The same text from a file loads like the text in memory.
  // A name of its own: two runs of these tests may share the folder (and,
  // under node, the process id).
  const auto path = std::filesystem::temp_directory_path() /
                    ("tolvarin_mesh_loader_test_" + std::to_string(std::random_device{}()) + ".d");
  std::ofstream(path, std::ios::binary) << kTriangle;
  Mesh fromFile;
  ASSERT_TRUE(fromFile.load(path.string().c_str()));
  std::filesystem::remove(path);
  EXPECT_EQ(fromFile.vertices[2].model.y, -1.0);
}

TEST(MeshLoader, LongTokensAreCutNotOverrun) {
  // A keyword past the 299th character of a token is not seen; one inside it is.
  const std::string pad(400, 'w');
  Mesh mesh;
  EXPECT_FALSE(loadText(mesh, pad + "Vertices: 1 Faces: 0 list: X:1 Y:1 Z:1 list:"));
  const std::string front = std::string(290, 'w') + "Vertices:" + pad;
  ASSERT_TRUE(loadText(mesh, front + " 1 Faces: 0 list: X:1 Y:1 Z:1 list:"));
  EXPECT_EQ(mesh.vertexCount, 1);
  // A number cut at the token's end reads from what is left.
  const std::string digits = "X:" + std::string(297, '1') + std::string(50, '9');
  ASSERT_TRUE(loadText(mesh, "Vertices: 1 Faces: 0 list: " + digits + " Y:1 Z:1 list:"));
  EXPECT_DOUBLE_EQ(mesh.vertices[0].model.x, std::stod(std::string(297, '1')));
  // Bytes that are not text, NUL included, are just token characters.
  const std::string binary("Vertices: 1 Faces: 0 list: X:\0 Y:\x80\xff Z:2 list:", 46);
  ASSERT_TRUE(loadText(mesh, binary));
  expectPosition(mesh.vertices[0], 0.0, -0.0, 2.0);
}

}  // namespace
}  // namespace tolvarin
