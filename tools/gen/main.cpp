// tolvarin-gen: writes every data file of the demo (pictures, font sheet,
// meshes, music) into one folder (--out), or the demo's icon as PNG files
// in its sizes (--icons: tolvarin-16.png to -512.png, tolvarin.ico, and
// window-icon.h, its pixels as C++ for the window's title bar), which no
// data file includes: the web page, the desktop's icon theme, the Windows
// program's resources and the window take them from there. Deterministic: the same source gives
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

// The bytes of a file, empty when it cannot be read.
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// tolvarin.ico: the PNG files of kWindowsIconSizes behind an icon directory
// (Windows reads PNG images in .ico files).
bool writeIco(const std::filesystem::path& out) {
  std::vector<std::vector<std::uint8_t>> images;
  for (const int size : tolvarin::gen::kWindowsIconSizes) {
    images.push_back(readBytes(out / ("tolvarin-" + std::to_string(size) + ".png")));
    if (images.back().empty()) return false;
  }
  std::vector<std::uint8_t> ico;
  putLe(ico, 0, 2);  // reserved
  putLe(ico, 1, 2);  // an icon
  putLe(ico, static_cast<std::uint32_t>(images.size()), 2);
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = tolvarin::gen::kWindowsIconSizes[i];
    ico.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));  // 0 means 256
    ico.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
    putLe(ico, 0, 2);   // no palette, reserved
    putLe(ico, 1, 2);   // planes
    putLe(ico, 32, 2);  // bits per pixel
    putLe(ico, static_cast<std::uint32_t>(images[i].size()), 4);
    putLe(ico, offset, 4);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const auto& image : images) ico.insert(ico.end(), image.begin(), image.end());
  return tolvarin::formats::writeFile((out / "tolvarin.ico").string(), ico);
}

// window-icon.h: the window's title-bar icon as the C++ source of its
// pixels (0xAARRGGBB, opaque), which the window code compiles in.
bool writeWindowIcon(const std::filesystem::path& out) {
  const int size = tolvarin::gen::kWindowIconSize;
  const auto pixels = tolvarin::gen::drawIcon(size);
  std::string text =
      "// Made by tolvarin-gen --icons: the window's icon, " + std::to_string(size) + "x" + std::to_string(size) +
      " pixels, 0xAARRGGBB, top row first.\n#pragma once\n#include <cstdint>\n\nnamespace tolvarin {\n\n"
      "inline constexpr int kWindowIconSize = " + std::to_string(size) + ";\ninline constexpr std::uint32_t kWindowIcon[] = {\n";
  char hex[16];
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    std::snprintf(hex, sizeof hex, "0x%08X,", 0xFF000000u | pixels[i]);
    text += hex;
    text += (i + 1) % 8 == 0 ? "\n" : " ";
  }
  text += "};\n\n}  // namespace tolvarin\n";
  return tolvarin::formats::writeFile((out / "window-icon.h").string(),
                                      std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The icon in each size, tolvarin.ico and window-icon.h.
int writeIcons(const std::filesystem::path& out) {
  for (const int size : tolvarin::gen::kIconSizes) {
    const auto pixels = tolvarin::gen::drawIcon(size);
    const auto path = out / ("tolvarin-" + std::to_string(size) + ".png");
    if (!tolvarin::writePng(path.string(), size, size, pixels.data(), size)) {
      std::fprintf(stderr, "tolvarin-gen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  if (!writeIco(out) || !writeWindowIcon(out)) {
    std::fprintf(stderr, "tolvarin-gen: cannot write tolvarin.ico or window-icon.h in %s\n", out.c_str());
    return 1;
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
