#pragma once
// The demo's picture files as the tool knows them (from the data manifest),
// loaded through the demo's own loader.
#include <array>
#include <filesystem>

#include "assets/data_manifest.h"
#include "assets/picture.h"

namespace tolvarin::assets_tool {

using PictureFile = const DataFile*;

// Every picture of the data manifest, in its order.
inline constexpr std::array<PictureFile, 14> kPictureFiles = [] {
  std::array<PictureFile, 14> pictures{};
  std::size_t n = 0;
  for (const DataFile& f : kDataFiles) {
    if (isPicture(f.kind)) pictures[n++] = &f;
  }
  return pictures;
}();

// 8-bit files load with channels 0..63.
inline bool isPaletted(const DataFile& file) { return file.kind != DataKind::Picture24; }

// Loads dir/name with Picture::load. False, with a message on stderr, when
// the file does not load or is not of the size the demo needs.
bool loadPicture(const std::filesystem::path& dir, const DataFile& file, Picture& picture);

}  // namespace tolvarin::assets_tool
