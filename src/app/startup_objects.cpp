#include "app/startup_objects.h"

#include <cstdio>

#include "scenes/shared_state.h"

namespace tolvarin {

void loadPicture(Picture& picture, const DataFiles& data, const char* name, int width, int minHeight) {
  const std::string path = data.path(name);
  if (!picture.load(path.c_str())) {
    std::fprintf(stderr, "tolvarin: cannot load %s; showing black in its place\n", path.c_str());
  } else if (picture.width != width || picture.height < minHeight) {
    std::fprintf(stderr, "tolvarin: %s is %ux%u, not the %dx%d the demo needs; showing black in its place\n",
                 path.c_str(), picture.width, picture.height, width, minHeight);
  }
}

StartupObjects::StartupObjects(const DataFiles& data) {
  demoTimer = &timer;
  loadPicture(qxMap1, data, "qxmap1.g", 320, 240);
  loadPicture(qx, data, "qx.g", 320, 240);
  loadPicture(quarnel, data, "quarnel.g", 320, 240);
  loadPicture(hofobia, data, "hofobia.g", 320, 240);
  loadPicture(hofobia2, data, "hofobia2.g", 320, 240);
  loadPicture(ojs, data, "ojs.g", 320, 240);
  loadPicture(ellas, data, "ellas.g", 320, 439);
  loadPicture(ellasMap, data, "ellasmap.g", 320, 439);
  loadPicture(tunel, data, "tunel.g", 256, 256);
  loadPicture(creds, data, "creds.g", 320, 240);
  const std::string sheet = data.path("fuenteB.g");
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
