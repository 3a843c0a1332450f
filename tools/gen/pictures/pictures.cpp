// generatePictures(): all fourteen pictures and the font sheet, encoded as
// .g files. Every maker is deterministic and independent of the others, so
// they run side by side on threads and the bytes are still the same on every
// run (the tests pin their hashes); the files come back in a fixed order.
#include <functional>
#include <future>
#include <utility>

#include "assets/data_manifest.h"
#include "gen/generated_file.h"
#include "picture_makers.h"

namespace tolvarin::gen {
namespace {

using Job = std::function<std::vector<GeneratedFile>()>;

template <typename Make>
Job indexed(const DataFile& file, Make make) {
  return [&file, make] { return std::vector<GeneratedFile>{{file.name, formats::encodeIndexedG(make())}}; };
}

template <typename Make>
Job rgb(const DataFile& file, Make make) {
  return [&file, make] { return std::vector<GeneratedFile>{{file.name, formats::encodeRgbG(make())}}; };
}

}  // namespace

std::vector<GeneratedFile> generatePictures() {
  const std::vector<Job> jobs{
      indexed(data::quarnel, makeQuarnel),
      indexed(data::qxMap1, makeQxMap),
      indexed(data::qx, makeQx),
      indexed(data::hofobia, makeHofobia),
      indexed(data::hofobia2, makeHofobia2),
      rgb(data::ojs, makeOjs),
      rgb(data::alone, makeAlone),
      rgb(data::wave, makeWave),
      rgb(data::metal, makeMetal),
      [] {
        const PicturePair ellas = makeEllasPair();
        return std::vector<GeneratedFile>{{data::ellas.name, formats::encodeIndexedG(ellas.picture)},
                                          {data::ellasMap.name, formats::encodeIndexedG(ellas.relief)}};
      },
      rgb(data::tunel, makeTunel),
      rgb(data::creds, makeCreds),
      indexed(data::fontSheet, makeFontSheet),
  };
  std::vector<std::future<std::vector<GeneratedFile>>> running;
  running.reserve(jobs.size());
  for (const Job& job : jobs) running.push_back(std::async(std::launch::async, job));
  std::vector<GeneratedFile> files;
  for (auto& result : running) {
    for (GeneratedFile& f : result.get()) files.push_back(std::move(f));
  }
  return files;
}

}  // namespace tolvarin::gen
