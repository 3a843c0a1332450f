// generatePictures(): all fourteen pictures and the font sheet, encoded as
// .g files. Every maker is deterministic, so the bytes are the same on every
// run (the tests pin their hashes).
#include "gen/generated_file.h"
#include "picture_makers.h"

namespace tolvarin::gen {

std::vector<GeneratedFile> generatePictures() {
  using formats::encodeIndexedG;
  using formats::encodeRgbG;
  std::vector<GeneratedFile> files;
  files.push_back({"quarnel.g", encodeIndexedG(makeQuarnel())});
  files.push_back({"qxmap1.g", encodeIndexedG(makeQxMap())});
  files.push_back({"qx.g", encodeIndexedG(makeQx())});
  files.push_back({"hofobia.g", encodeIndexedG(makeHofobia())});
  files.push_back({"hofobia2.g", encodeIndexedG(makeHofobia2())});
  files.push_back({"ojs.g", encodeRgbG(makeOjs())});
  files.push_back({"alone.g", encodeRgbG(makeAlone())});
  files.push_back({"wave.g", encodeRgbG(makeWave())});
  files.push_back({"metal.g", encodeRgbG(makeMetal())});
  const PicturePair ellas = makeEllasPair();
  files.push_back({"ellas.g", encodeIndexedG(ellas.picture)});
  files.push_back({"ellasmap.g", encodeIndexedG(ellas.relief)});
  files.push_back({"tunel.g", encodeRgbG(makeTunel())});
  files.push_back({"creds.g", encodeRgbG(makeCreds())});
  files.push_back({"fuenteB.g", encodeIndexedG(makeFontSheet())});
  return files;
}

}  // namespace tolvarin::gen
