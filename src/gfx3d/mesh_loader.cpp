// The .d mesh reader. It does not parse the 3D Studio ASCII layout line by
// line: it scans white-space separated tokens for keywords, so any text with
// the keywords in the right order loads.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gfx3d/mesh.h"

namespace tolvarin {

namespace {

// Reads tokens like the %s conversion of the formatted input functions: skip
// white space, then take everything up to the next white space.
class TokenReader {
 public:
  static constexpr std::size_t kTokenCapacity = 300;  // 299 characters + terminator

  TokenReader(const char* text, std::size_t size) : pos_(text), end_(text + size) {}

  // False at the end of the text. A token longer than 299 characters keeps its
  // first 299; the rest of it is passed over (it does not become a token).
  bool next() {
    while (pos_ != end_ && isSpace(*pos_)) ++pos_;
    if (pos_ == end_) return false;
    std::size_t n = 0;
    while (pos_ != end_ && !isSpace(*pos_)) {
      if (n < kTokenCapacity - 1) token_[n++] = *pos_;
      ++pos_;
    }
    token_[n] = '\0';
    return true;
  }

  // Reads tokens until one contains keyword (case-sensitive substring).
  // Returns where the keyword starts inside the token, or null at the end.
  const char* skipTo(const char* keyword) {
    while (next()) {
      // A NUL byte inside a token ends it for the search, as for any C string.
      if (const char* hit = std::strstr(token_, keyword)) return hit;
    }
    return nullptr;
  }

  const char* token() const { return token_; }

 private:
  static bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
  }

  const char* pos_;
  const char* end_;
  char token_[kTokenCapacity] = {};
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Optional sign and decimal digits; 0 without digits. Saturates far beyond
// the 32-bit range so that huge counts are seen as huge, never wrap.
long long toInteger(const char* s) {
  bool negative = false;
  if (*s == '+' || *s == '-') negative = (*s++ == '-');
  long long value = 0;
  for (; isDigit(*s); ++s) {
    if (value < 10'000'000'000LL) value = value * 10 + (*s - '0');
  }
  return negative ? -value : value;
}

// Optional sign, digits with an optional decimal point, an optional exponent
// (e or E, optional sign, digits); 0.0 without a number. Only that prefix is
// converted, so words such as "inf" or "nan" and hexadecimal forms read as 0.
double toReal(const char* s) {
  const char* p = s;
  if (*p == '+' || *p == '-') ++p;
  bool digits = false;
  while (isDigit(*p)) ++p, digits = true;
  if (*p == '.') {
    ++p;
    while (isDigit(*p)) ++p, digits = true;
  }
  if (!digits) return 0.0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (isDigit(*q)) {
      while (isDigit(*q)) ++q;
      p = q;
    }
  }
  // The prefix is at most a token long; strtod on a copy of exactly it. The
  // program never changes its locale, so the decimal point is '.'.
  const std::string number(s, p);
  return std::strtod(number.c_str(), nullptr);
}

struct ParsedFace {
  std::int32_t a, b, c;
};

}  // namespace

bool Mesh::loadFromMemory(const char* text, std::size_t size) {
  TokenReader in(text, size);

  if (!in.skipTo("Vertices:") || !in.next()) return false;
  const long long vertexTotal = toInteger(in.token());
  if (!in.skipTo("Faces:") || !in.next()) return false;
  const long long faceTotal = toInteger(in.token());
  if (vertexTotal < 0 || vertexTotal > kMaxMeshElements) return false;
  if (faceTotal < 0 || faceTotal > kMaxMeshElements) return false;

  if (!in.skipTo("list:")) return false;
  // Coordinates are gathered first and the arrays allocated only once the
  // whole text has been read, so a file that breaks off leaves the mesh as it
  // was and a large count in a short file costs no memory.
  std::vector<Vec3> points;
  for (long long i = 0; i < vertexTotal; ++i) {
    const char* hit = in.skipTo("X:");
    if (!hit) return false;
    const double x = toReal(hit + 2);
    if (!(hit = in.skipTo("Y:"))) return false;
    const double y = toReal(hit + 2);
    if (!(hit = in.skipTo("Z:"))) return false;
    double z = toReal(hit + 2);
    // Keeps vertices off z = 0 (also -0.0); X and Y are never replaced.
    if (z == 0.0) z = 0.00001;
    points.push_back(Vec3{x, -y, z});
  }

  // In a 3D Studio listing this passes over the word "Face" of "Face list:".
  if (!in.skipTo("list:")) return false;
  std::vector<ParsedFace> corners;
  for (long long j = 0; j < faceTotal; ++j) {
    if (!in.skipTo("Face")) return false;
    std::int32_t index[3];
    const char* keys[3] = {"A:", "B:", "C:"};
    for (int k = 0; k < 3; ++k) {
      const char* hit = in.skipTo(keys[k]);
      if (!hit) return false;
      const long long value = toInteger(hit + 2);
      if (value < 0 || value >= vertexTotal) return false;
      index[k] = static_cast<std::int32_t>(value);
    }
    corners.push_back(ParsedFace{index[0], index[1], index[2]});
  }

  // Build the new arrays aside, then take them over, so that failure leaves
  // the mesh unchanged.
  Mesh fresh;
  if (!fresh.allocateVertices(static_cast<std::int32_t>(vertexTotal))) return false;
  if (!fresh.allocateFaces(static_cast<std::int32_t>(faceTotal))) return false;
  for (std::int32_t i = 0; i < fresh.vertexCount; ++i) {
    const Vec3& p = points[static_cast<std::size_t>(i)];
    fresh.setVertex(i, p.x, p.y, p.z);
  }
  for (std::int32_t j = 0; j < fresh.faceCount; ++j) {
    const ParsedFace& f = corners[static_cast<std::size_t>(j)];
    fresh.setFace(j, f.a, f.b, f.c);
  }
  vertexCount = fresh.vertexCount;
  faceCount = fresh.faceCount;
  vertices = std::move(fresh.vertices);
  faces = std::move(fresh.faces);
  return true;
}

bool Mesh::load(const char* fileName) {
  std::FILE* file = std::fopen(fileName, "r");
  if (!file) return false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, &std::fclose);
  std::string text;
  char chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  if (std::ferror(file)) return false;
  return loadFromMemory(text.data(), text.size());
}

}  // namespace tolvarin
