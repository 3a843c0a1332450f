#pragma once
// Writer for the .d text mesh format, laid out like a 3D Studio ASCII export
// of one triangle mesh: a header with the counts, the vertex list with X:, Y:,
// Z: fields and the face list with A:, B:, C: indices. Used by the mesh
// generator and by tests to make fixture files.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvarin::formats {

struct DMesh {
  std::string name;                             // written as the object's name
  std::vector<std::array<double, 3>> vertices;  // file coordinates (Z up)
  std::vector<std::array<std::int32_t, 3>> faces;
};

// The file's text. Coordinates are written with six decimals ("-0.000000" as
// "0.000000"), the same bytes on every machine.
std::vector<std::uint8_t> encodeD(const DMesh& mesh);

}  // namespace tolvarin::formats
