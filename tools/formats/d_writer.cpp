#include "formats/d_writer.h"

#include <charconv>
#include <cmath>

namespace tolvarin::formats {

namespace {

void append(std::string& out, const char* text) { out += text; }

void appendInt(std::string& out, std::int64_t value) {
  char buf[24];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, result.ptr);
}

void appendReal(std::string& out, double value) {
  // Six decimals, locale-free; a value that rounds to zero is written without sign.
  if (std::fabs(value) < 0.0000005) value = 0.0;
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
  out.append(buf, result.ptr);
}

}  // namespace

std::vector<std::uint8_t> encodeD(const DMesh& mesh) {
  std::string out;
  append(out, "Named object: \"");
  out += mesh.name;
  append(out, "\"\nTri-mesh, Vertices: ");
  appendInt(out, static_cast<std::int64_t>(mesh.vertices.size()));
  append(out, "     Faces: ");
  appendInt(out, static_cast<std::int64_t>(mesh.faces.size()));
  append(out, "\nVertex list:\n");
  for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
    const auto& v = mesh.vertices[i];
    append(out, "Vertex ");
    appendInt(out, static_cast<std::int64_t>(i));
    append(out, ":  X:");
    appendReal(out, v[0]);
    append(out, "     Y:");
    appendReal(out, v[1]);
    append(out, "     Z:");
    appendReal(out, v[2]);
    append(out, "\n");
  }
  append(out, "Face list:\n");
  for (std::size_t j = 0; j < mesh.faces.size(); ++j) {
    const auto& f = mesh.faces[j];
    append(out, "Face ");
    appendInt(out, static_cast<std::int64_t>(j));
    append(out, ":    A:");
    appendInt(out, f[0]);
    append(out, " B:");
    appendInt(out, f[1]);
    append(out, " C:");
    appendInt(out, f[2]);
    append(out, " AB:1 BC:1 CA:1\n");
  }
  return std::vector<std::uint8_t>(out.begin(), out.end());
}

}  // namespace tolvarin::formats
