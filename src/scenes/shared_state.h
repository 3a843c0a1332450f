#pragma once
// The long-lived objects every scene reaches by name: the start-up pictures,
// the pictures the demo sequence loads, the two fonts, the three meshes and the
// two frame-sized buffers. The objects themselves are owned and built by the
// application's start-up code, which points these at them; until then they are
// null, and scenes read pictures through picturePixels() so that a missing or
// too-small picture never makes them read outside a buffer.
#include "gfx2d/framebuffer.h"

namespace tolvarin {

class Picture;
class BitmapFont;
class Mesh;
class Timer;

// The demo's stopwatch (a start-up object): the strobe's holds.
extern Timer* demoTimer;

// Start-up pictures.
extern Picture* imgQxMap1;
extern Picture* imgQx;
extern Picture* imgQuarnel;
extern Picture* imgHofobia;
extern Picture* imgHofobia2;
extern Picture* imgOjs;
extern Picture* imgEllas;
extern Picture* imgEllasMap;
extern Picture* imgTunel;
extern Picture* imgCreds;
// Pictures the demo sequence loads itself.
extern Picture* imgWave;
extern Picture* imgAloneFlash;
extern Picture* imgMetal;

extern BitmapFont* font1;
extern BitmapFont* font2;

extern Mesh* meshQx;
extern Mesh* meshEsfera;
extern Mesh* meshColumna;

// Frame-sized buffers owned by the demo sequence; blackFrame stays all 0.
extern Pixel* scratchFrame;
extern Pixel* blackFrame;

// The pixels of `picture` when it holds at least width x minHeight pixels laid
// out in rows of `width`; otherwise a black picture of at least that size
// (shared, read-only, large enough for every picture the scenes use).
const Pixel* picturePixels(const Picture* picture, int width, int minHeight);

}  // namespace tolvarin
