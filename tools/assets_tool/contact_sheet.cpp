#include "contact_sheet.h"

#include "picture_set.h"
#include "sheet.h"

namespace tolvarin::assets_tool {

bool writeContactSheet(const std::filesystem::path& dataDir, const std::string& outFile,
                       const ContactSheetOptions& options) {
  const int shrink = options.shrink;
  Sheet sheet(shrink >= 2 ? 4 * 166 + 6 : 4 * 326 + 6);
  bool ok = true;
  for (PictureFile file : kPictureFiles) {
    Picture picture;
    if (!loadPicture(dataDir, *file, picture)) {
      ok = false;
      continue;
    }
    // Panels show the picture as it is (ellas.g is taller than the demo needs).
    const int width = picture.width;
    const int height = picture.height;
    const int s = file->kind == DataKind::FontSheet ? 1 : shrink;
    const std::string label = std::string(file->name) + " " + std::to_string(width) + "x" + std::to_string(height);
    if (isPaletted(*file) && options.brightenedOnly) {
      sheet.add(makePanel(label + " 8-bit, x4", picture.pixels.get(), width, height, s, 4));
    } else if (isPaletted(*file)) {
      sheet.add(makePanel(label + " 8-bit", picture.pixels.get(), width, height, s, 1));
      sheet.add(makePanel(std::string(file->name) + " x4", picture.pixels.get(), width, height, s, 4));
    } else {
      sheet.add(makePanel(label + " 24-bit", picture.pixels.get(), width, height, s, 1));
    }
  }
  return sheet.write(outFile) && ok;
}

}  // namespace tolvarin::assets_tool
