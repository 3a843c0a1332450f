#include "picture_set.h"

#include <cstdio>
#include <string>

namespace tolvarin::assets_tool {

bool loadPicture(const std::filesystem::path& dir, const DataFile& file, Picture& picture) {
  const std::string path = (dir / file.name).string();
  if (!picture.load(path.c_str()) || !picture.pixels) {
    std::fprintf(stderr, "tolvarin-assets: cannot load %s\n", path.c_str());
    return false;
  }
  if (picture.width != file.width || picture.height < file.height) {
    std::fprintf(stderr, "tolvarin-assets: %s is %dx%d, the demo needs %d wide and %d or more high\n", path.c_str(),
                 picture.width, picture.height, file.width, file.height);
    return false;
  }
  return true;
}

}  // namespace tolvarin::assets_tool
