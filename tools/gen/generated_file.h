#pragma once
// One file the asset generator writes into the data folder.
#include <cstdint>
#include <string>
#include <vector>

namespace tolvarin::gen {

struct GeneratedFile {
  std::string name;  // file name inside the data folder, from the data manifest
  std::vector<std::uint8_t> bytes;
};

// The fourteen pictures and the font sheet.
std::vector<GeneratedFile> generatePictures();
// The three meshes.
std::vector<GeneratedFile> generateMeshes();
// The music module.
std::vector<GeneratedFile> generateMusic();

}  // namespace tolvarin::gen
