// Every data file in turn, missing, empty, cut short, replaced by random
// bytes, and (pictures) too small: the program must neither crash nor hang,
// nor trip a sanitizer, and must end with the exit code the file calls for.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assets/data_manifest.h"
#include "formats/g_writer.h"
#include "support/program_run.h"

namespace {

namespace fs = std::filesystem;

const tolvarin::testing::Program kProgram = tolvarin::testing::Program::native();
const std::string kData = tolvarin::testing::dataFolder();

using tolvarin::DataKind;

struct DataFile {
  const char* name;
  DataKind kind;
  double until;  // demo seconds: a little past the scenes that use the file
};

// How long to run with each file of the data manifest damaged; the scene
// times come from the 60 fps timeline of the composed music.
double runFor(const tolvarin::DataFile& file) {
  namespace data = tolvarin::data;
  const std::pair<const tolvarin::DataFile*, double> times[] = {
      {&data::quarnel, 12},  {&data::qxMap1, 25},      {&data::qx, 25},        {&data::hofobia, 16},
      {&data::hofobia2, 16}, {&data::ojs, 58},         {&data::alone, 58},     {&data::wave, 48},
      {&data::metal, 48},    {&data::fontSheet, 58},   {&data::ellas, 107},    {&data::ellasMap, 107},
      {&data::tunel, 115},   {&data::creds, 133},      {&data::qxMesh, 92},    {&data::esferaMesh, 92},
      {&data::columnaMesh, 92}, {&data::music, 30},
  };
  for (const auto& [entry, until] : times) {
    if (std::string_view(entry->name) == file.name) return until;
  }
  return 140;  // a file added later: the whole demo
}

std::vector<DataFile> everyFile() {
  std::vector<DataFile> files;
  for (const tolvarin::DataFile& f : tolvarin::kDataFiles) files.push_back({f.name, f.kind, runFor(f)});
  return files;
}

std::vector<std::uint8_t> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> randomBytes(std::size_t n, std::uint32_t seed) {
  std::vector<std::uint8_t> out(n);
  std::uint32_t x = seed | 1;
  for (auto& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return out;
}

std::vector<std::uint8_t> tinyPicture() {
  tolvarin::formats::IndexedImage image;
  image.width = 16;
  image.height = 16;
  image.indices.assign(256, 7);
  image.palette.fill(200);
  return tolvarin::formats::encodeIndexedG(image);
}

struct Variant {
  std::string label;
  bool remove = false;
  std::vector<std::uint8_t> bytes;
};

std::vector<Variant> variantsOf(const DataFile& file, const std::vector<std::uint8_t>& original) {
  std::vector<Variant> v;
  v.push_back({"missing", true, {}});
  v.push_back({"empty", false, {}});
  v.push_back({"cut: after 130 bytes", false, {original.begin(), original.begin() + std::min<std::size_t>(130, original.size())}});
  v.push_back({"cut: in half", false, {original.begin(), original.begin() + original.size() / 2}});
  v.push_back({"cut: last byte missing", false, {original.begin(), original.end() - 1}});
  std::uint32_t seed = 0;
  for (const char* c = file.name; *c != '\0'; ++c) seed = seed * 31 + static_cast<std::uint8_t>(*c);
  v.push_back({"random bytes", false, randomBytes(original.size(), seed)});
  if (tolvarin::isPicture(file.kind)) v.push_back({"16x16 picture", false, tinyPicture()});
  return v;
}

void PrintTo(const DataFile& file, std::ostream* os) { *os << file.name; }

class BadData : public ::testing::TestWithParam<DataFile> {};

TEST_P(BadData, NeitherCrashesNorHangsAndEndsWithTheRightCode) {
  const DataFile& file = GetParam();
  const fs::path dir = fs::path(::testing::TempDir()) / ("bad_data_" + std::string(file.name));
  fs::remove_all(dir);
  fs::copy(kData, dir);
  const auto original = readAll(dir / file.name);
  ASSERT_GT(original.size(), 130u);

  for (const Variant& variant : variantsOf(file, original)) {
    SCOPED_TRACE(std::string(file.name) + ", " + variant.label);
    if (variant.remove) {
      fs::remove(dir / file.name);
    } else {
      writeAll(dir / file.name, variant.bytes);
    }
    // A hang shows as the timeout killing the run.
    const tolvarin::testing::ProgramRun run = kProgram.run(
        {"--headless", "--data", dir.string(), "--until", std::to_string(file.until)}, tolvarin::testing::RunOptions().withTimeout(300));
    ASSERT_FALSE(run.timedOut) << "did not end within the timeout";
    ASSERT_EQ(run.signal, 0) << "killed by a signal";
    const int code = run.exitCode;
    const std::string& messages = run.err;
    EXPECT_EQ(messages.find("Sanitizer"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("runtime error"), std::string::npos) << messages;
    switch (file.kind) {
      case DataKind::Picture8:
      case DataKind::Picture24:
      case DataKind::FontSheet:
        EXPECT_EQ(code, 0) << messages;
        break;
      case DataKind::Mesh:
        // A mesh that does not load ends the program silently.
        EXPECT_EQ(code, 0) << messages;
        EXPECT_EQ(messages.find(file.name), std::string::npos) << messages;
        break;
      case DataKind::Module:
        // A module cut short may still play what is left; nothing else loads.
        if (variant.label.rfind("cut", 0) == 0 && code == 0) break;
        EXPECT_EQ(code, 1);
        EXPECT_NE(messages.find("Can't load music"), std::string::npos) << messages;
        break;
    }
  }
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(EveryFile, BadData, ::testing::ValuesIn(everyFile()), [](const auto& test) {
  std::string name = test.param.name;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

}  // namespace
