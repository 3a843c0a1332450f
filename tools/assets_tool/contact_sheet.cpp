#include "contact_sheet.h"

#include "picture_set.h"
#include "sheet.h"

namespace tolvarin::assets_tool {

bool writeContactSheet(const std::filesystem::path& dataDir, const std::string& outFile,
                       const ContactSheetOptions& options) {
  const int shrink = options.shrink;
  Sheet sheet(shrink >= 2 ? 4 * 166 + 6 : 4 * 326 + 6);
  bool ok = true;
  for (const PictureFile& file : kPictureFiles) {
    Picture picture;
    if (!loadPicture(dataDir, file, picture)) {
      ok = false;
      continue;
    }
    const bool fontSheet = file.height == 128;
    const int s = fontSheet ? 1 : shrink;
    const std::string size = std::to_string(file.width) + "x" + std::to_string(file.height);
    if (file.paletted && options.brightenedOnly) {
      sheet.add(makePanel(std::string(file.name) + " " + size + " 8-bit, x4", picture.pixels.get(),
                          file.width, file.height, s, 4));
    } else if (file.paletted) {
      sheet.add(makePanel(std::string(file.name) + " " + size + " 8-bit", picture.pixels.get(), file.width,
                          file.height, s, 1));
      sheet.add(makePanel(std::string(file.name) + " x4", picture.pixels.get(), file.width, file.height, s, 4));
    } else {
      sheet.add(makePanel(std::string(file.name) + " " + size + " 24-bit", picture.pixels.get(), file.width,
                          file.height, s, 1));
    }
  }
  return sheet.write(outFile) && ok;
}

}  // namespace tolvarin::assets_tool
