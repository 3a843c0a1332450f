// tolvarin-gen: writes every data file of the demo (pictures, font sheet,
// meshes, music) into one folder (--out), or the demo's icon as PNG files
// in its sizes (--icons: tolvarin-48.png, -192.png, -512.png), which no
// data file includes: the web page, a desktop entry or an executable's
// resources take them from there. Deterministic: the same source gives
// byte-identical files. A data file whose bytes are unchanged is not
// rewritten.
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
#include "gen/icon.h"
#include "png/png_writer.h"

namespace {

bool sameContent(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<std::uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return old == bytes;
}

// The icon in each size.
int writeIcons(const std::filesystem::path& out) {
  for (const int size : tolvarin::gen::kIconSizes) {
    const auto pixels = tolvarin::gen::drawIcon(size);
    const auto path = out / ("tolvarin-" + std::to_string(size) + ".png");
    if (!tolvarin::writePng(path.string(), size, size, pixels.data(), size)) {
      std::fprintf(stderr, "tolvarin-gen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
  if (argc != 3 || (!icons && std::strcmp(argv[1], "--out") != 0)) {
    std::fprintf(stderr, "usage: tolvarin-gen --out DIR | --icons DIR\n");
    return 2;
  }
  const std::filesystem::path out = argv[2];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  if (ec) {
    std::fprintf(stderr, "tolvarin-gen: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  if (icons) return writeIcons(out);
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
