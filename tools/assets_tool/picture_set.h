#pragma once
// The demo's picture files as the tool knows them: name, expected size and
// kind, and loading them through the demo's own loader.
#include <array>
#include <filesystem>
#include <string>

#include "assets/picture.h"

namespace tolvarin::assets_tool {

struct PictureFile {
  const char* name;
  int width;
  int height;
  bool paletted;  // 8-bit file: channels 0..63 once loaded
};

inline constexpr std::array<PictureFile, 14> kPictureFiles{{
    {"quarnel.g", 320, 240, true},  {"qxmap1.g", 320, 240, true},  {"qx.g", 320, 240, true},
    {"hofobia.g", 320, 240, true},  {"hofobia2.g", 320, 240, true}, {"ojs.g", 320, 240, false},
    {"alone.g", 320, 240, false},   {"wave.g", 320, 240, false},   {"metal.g", 320, 240, false},
    {"tunel.g", 256, 256, false},   {"creds.g", 320, 240, false},  {"ellas.g", 320, 480, true},
    {"ellasmap.g", 320, 480, true}, {"fuenteB.g", 320, 128, true},
}};

// Loads dir/name with Picture::load. False, with a message on stderr, when
// the file does not load or its size is not the expected one.
bool loadPicture(const std::filesystem::path& dir, const PictureFile& file, Picture& picture);

}  // namespace tolvarin::assets_tool
