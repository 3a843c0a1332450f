#include "app/startup_objects.h"

#include <cstdio>

#include "scenes/shared_state.h"

namespace tolvarin {

void loadPicture(Picture& picture, const DataFiles& data, const DataFile& file) {
  const std::string path = data.path(file.name);
  const int width = file.width;
  const int minHeight = file.height;
  if (!picture.load(path.c_str())) {
    std::fprintf(stderr, "tolvarin: cannot load %s; showing black in its place\n", path.c_str());
  } else if (picture.width != width || picture.height < minHeight) {
    std::fprintf(stderr, "tolvarin: %s is %ux%u, not the %dx%d the demo needs; showing black in its place\n",
                 path.c_str(), picture.width, picture.height, width, minHeight);
  }
}

StartupObjects::StartupObjects(const DataFiles& data) {
  demoTimer = &timer;
  loadPicture(qxMap1, data, data::qxMap1);
  loadPicture(qx, data, data::qx);
  loadPicture(quarnel, data, data::quarnel);
  loadPicture(hofobia, data, data::hofobia);
  loadPicture(hofobia2, data, data::hofobia2);
  loadPicture(ojs, data, data::ojs);
  loadPicture(ellas, data, data::ellas);
  loadPicture(ellasMap, data, data::ellasMap);
  loadPicture(tunel, data, data::tunel);
  loadPicture(creds, data, data::creds);
  const std::string sheet = data.path(data::fontSheet.name);
  font1 = std::make_unique<BitmapFont>(sheet.c_str(), glyphTable, kGlyphTableSize - 1, 0);
  font2 = std::make_unique<BitmapFont>(sheet.c_str(), glyphTable, kGlyphTableSize - 1, 0);
  if (!font1->image || !font1->image->pixels) {
    std::fprintf(stderr, "tolvarin: cannot load the font sheet %s; texts stay invisible\n", sheet.c_str());
  }

  imgQxMap1 = &qxMap1;
  imgQx = &qx;
  imgQuarnel = &quarnel;
  imgHofobia = &hofobia;
  imgHofobia2 = &hofobia2;
  imgOjs = &ojs;
  imgEllas = &ellas;
  imgEllasMap = &ellasMap;
  imgTunel = &tunel;
  imgCreds = &creds;
  tolvarin::font1 = font1.get();
  tolvarin::font2 = font2.get();
  meshEsfera = &esfera;
  meshColumna = &columna;
  meshQx = &qxMesh;
}

StartupObjects::~StartupObjects() {
  meshEsfera = meshColumna = meshQx = nullptr;
  tolvarin::font1 = tolvarin::font2 = nullptr;
  imgQxMap1 = imgQx = imgQuarnel = imgHofobia = imgHofobia2 = nullptr;
  imgOjs = imgEllas = imgEllasMap = imgTunel = imgCreds = nullptr;
  // Reverse order of construction: the second font, the first, the timer last.
  font2.reset();
  font1.reset();
  demoTimer = nullptr;
}

}  // namespace tolvarin
