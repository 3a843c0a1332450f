// tolvarin-gen: writes every data file of the demo (pictures, font sheet,
// meshes, music) into one folder. Deterministic: the same source gives
// byte-identical files. A file whose bytes are unchanged is not rewritten.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "assets/data_manifest.h"
#include "formats/g_writer.h"
#include "gen/generated_file.h"

namespace {

bool sameContent(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<std::uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return old == bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::strcmp(argv[1], "--out") != 0) {
    std::fprintf(stderr, "usage: tolvarin-gen --out DIR\n");
    return 2;
  }
  const std::filesystem::path out = argv[2];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  if (ec) {
    std::fprintf(stderr, "tolvarin-gen: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  std::vector<tolvarin::gen::GeneratedFile> files;
  for (auto* make : {&tolvarin::gen::generatePictures, &tolvarin::gen::generateMeshes,
                     &tolvarin::gen::generateMusic}) {
    auto part = make();
    for (auto& f : part) files.push_back(std::move(f));
  }
  // Exactly the files of the data manifest, each once.
  for (const tolvarin::DataFile& wanted : tolvarin::kDataFiles) {
    const auto made = std::count_if(files.begin(), files.end(), [&](const auto& f) { return f.name == wanted.name; });
    if (made != 1) {
      std::fprintf(stderr, "tolvarin-gen: made %s %d times\n", wanted.name, static_cast<int>(made));
      return 1;
    }
  }
  if (files.size() != tolvarin::kDataFiles.size()) {
    std::fprintf(stderr, "tolvarin-gen: made files that are not in the data manifest\n");
    return 1;
  }
  for (const auto& file : files) {
    const auto path = out / file.name;
    if (sameContent(path, file.bytes)) continue;
    if (!tolvarin::formats::writeFile(path.string(), file.bytes)) {
      std::fprintf(stderr, "tolvarin-gen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
