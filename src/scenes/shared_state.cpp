#include "scenes/shared_state.h"

#include <cstdlib>

#include "assets/picture.h"

namespace tolvarin {

Timer* demoTimer = nullptr;

Picture* imgQxMap1 = nullptr;
Picture* imgQx = nullptr;
Picture* imgQuarnel = nullptr;
Picture* imgHofobia = nullptr;
Picture* imgHofobia2 = nullptr;
Picture* imgOjs = nullptr;
Picture* imgEllas = nullptr;
Picture* imgEllasMap = nullptr;
Picture* imgTunel = nullptr;
Picture* imgCreds = nullptr;
Picture* imgWave = nullptr;
Picture* imgAloneFlash = nullptr;
Picture* imgMetal = nullptr;

BitmapFont* font1 = nullptr;
BitmapFont* font2 = nullptr;

Mesh* meshQx = nullptr;
Mesh* meshEsfera = nullptr;
Mesh* meshColumna = nullptr;

Pixel* scratchFrame = nullptr;
Pixel* blackFrame = nullptr;

namespace {

// Big enough for the tallest picture a scene reads: 320 x 480.
constexpr int kBlackPixels = 320 * 480;
const Pixel kBlackPicture[kBlackPixels] = {};

}  // namespace

const Pixel* picturePixels(const Picture* picture, int width, int minHeight) {
  if (static_cast<long>(width) * minHeight > kBlackPixels) std::abort();  // no scene needs more
  if (picture != nullptr && picture->pixels && picture->width == width && picture->height >= minHeight) {
    return picture->pixels.get();
  }
  return kBlackPicture;
}

}  // namespace tolvarin
