#pragma once
// The contact sheet: every picture of the data folder, labelled; 8-bit
// pictures both as loaded (channels 0..63, as dim as the demo keeps them)
// and with their channels multiplied by 4.
#include <filesystem>
#include <string>

namespace tolvarin::assets_tool {

struct ContactSheetOptions {
  int shrink = 1;             // 1: full size, 2: half size (the font sheet stays full size)
  bool brightenedOnly = false;  // 8-bit pictures only with their channels x4
};

// False when a picture does not load or the PNG cannot be written.
bool writeContactSheet(const std::filesystem::path& dataDir, const std::string& outFile,
                       const ContactSheetOptions& options);

}  // namespace tolvarin::assets_tool
