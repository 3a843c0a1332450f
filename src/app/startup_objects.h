#pragma once
// The objects built before the demo sequence runs, in this order: the timer,
// ten pictures, the two fonts (each with its own copy of the font sheet) and
// three empty meshes; torn down in reverse order after the sequence returns.
// (The screen and projection constants are compile-time constants.)
#include <memory>

#include "platform/data_files.h"
#include "assets/bitmap_font.h"
#include "assets/data_manifest.h"
#include "assets/picture.h"
#include "gfx3d/mesh.h"
#include "platform/timer.h"

namespace tolvarin {

class StartupObjects {
 public:
  explicit StartupObjects(const DataFiles& data);
  ~StartupObjects();
  StartupObjects(const StartupObjects&) = delete;
  StartupObjects& operator=(const StartupObjects&) = delete;

  Timer timer;
  Picture qxMap1, qx, quarnel, hofobia, hofobia2, ojs, ellas, ellasMap, tunel, creds;
  std::unique_ptr<BitmapFont> font1;
  std::unique_ptr<BitmapFont> font2;
  Mesh esfera, columna, qxMesh;
};

// Loads a picture, warning on stderr when it is missing, unreadable or not
// of the size its users need (the scenes then use a black stand-in).
void loadPicture(Picture& picture, const DataFiles& data, const DataFile& file);

}  // namespace tolvarin
