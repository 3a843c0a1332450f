#pragma once
// Every data file of the demo, in one table: its name, its kind, and the size
// its users need. The program, the generator that makes the files, the tools,
// the tests and the benchmarks all take the names from here.
#include <array>
#include <string_view>

namespace tolvarin {

enum class DataKind {
  Picture8,   // 8-bit paletted .g picture: channels 0..63 once loaded
  Picture24,  // 24-bit planar .g picture: full 8-bit channels
  FontSheet,  // the bitmap font's sheet, an 8-bit .g picture
  Mesh,       // a .d text mesh
  Module,     // the Scream Tracker 3 music module
};

struct DataFile {
  const char* name;
  DataKind kind;
  // Pictures: the users need exactly `width` columns and at least `height`
  // rows (the generator makes exactly that, but for ellas.g and ellasmap.g,
  // which it makes 480 rows high). 0 for meshes and the module.
  int width;
  int height;
};

namespace data {
// The start-up pictures, the font sheet, the pictures the demo sequence
// loads, the meshes and the module, in the order the program reads them.
inline constexpr DataFile qxMap1{"qxmap1.g", DataKind::Picture8, 320, 240};
inline constexpr DataFile qx{"qx.g", DataKind::Picture8, 320, 240};
inline constexpr DataFile quarnel{"quarnel.g", DataKind::Picture8, 320, 240};
inline constexpr DataFile hofobia{"hofobia.g", DataKind::Picture8, 320, 240};
inline constexpr DataFile hofobia2{"hofobia2.g", DataKind::Picture8, 320, 240};
inline constexpr DataFile ojs{"ojs.g", DataKind::Picture24, 320, 240};
inline constexpr DataFile ellas{"ellas.g", DataKind::Picture8, 320, 439};
inline constexpr DataFile ellasMap{"ellasmap.g", DataKind::Picture8, 320, 439};
inline constexpr DataFile tunel{"tunel.g", DataKind::Picture24, 256, 256};
inline constexpr DataFile creds{"creds.g", DataKind::Picture24, 320, 240};
inline constexpr DataFile fontSheet{"fuenteB.g", DataKind::FontSheet, 320, 128};
inline constexpr DataFile wave{"wave.g", DataKind::Picture24, 320, 240};
inline constexpr DataFile alone{"alone.g", DataKind::Picture24, 320, 240};
inline constexpr DataFile metal{"metal.g", DataKind::Picture24, 320, 240};
inline constexpr DataFile qxMesh{"qx.d", DataKind::Mesh, 0, 0};
inline constexpr DataFile esferaMesh{"esfera.d", DataKind::Mesh, 0, 0};
inline constexpr DataFile columnaMesh{"Columna.d", DataKind::Mesh, 0, 0};
inline constexpr DataFile music{"004fin.s3m", DataKind::Module, 0, 0};
}  // namespace data

inline constexpr std::array<DataFile, 18> kDataFiles{
    data::qxMap1, data::qx,        data::quarnel, data::hofobia,    data::hofobia2,    data::ojs,
    data::ellas,  data::ellasMap,  data::tunel,   data::creds,      data::fontSheet,   data::wave,
    data::alone,  data::metal,     data::qxMesh,  data::esferaMesh, data::columnaMesh, data::music,
};

inline constexpr bool isPicture(DataKind kind) {
  return kind == DataKind::Picture8 || kind == DataKind::Picture24 || kind == DataKind::FontSheet;
}

// The entry of a file name; null when the demo has no such file.
constexpr const DataFile* findDataFile(std::string_view name) {
  for (const DataFile& f : kDataFiles) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

}  // namespace tolvarin
