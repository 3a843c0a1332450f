// generatePictures(): all fourteen pictures and the font sheet, encoded as
// .g files. Every maker is deterministic and independent of the others, so
// they run side by side on threads and the bytes are still the same on every
// run (the tests pin their hashes); the files come back in a fixed order.
#include <functional>
#include <future>
#include <utility>

#include "gen/generated_file.h"
#include "picture_makers.h"

namespace tolvarin::gen {
namespace {

using Job = std::function<std::vector<GeneratedFile>()>;

template <typename Make>
Job indexed(const char* name, Make make) {
  return [name, make] { return std::vector<GeneratedFile>{{name, formats::encodeIndexedG(make())}}; };
}

template <typename Make>
Job rgb(const char* name, Make make) {
  return [name, make] { return std::vector<GeneratedFile>{{name, formats::encodeRgbG(make())}}; };
}

}  // namespace

std::vector<GeneratedFile> generatePictures() {
  const std::vector<Job> jobs{
      indexed("quarnel.g", makeQuarnel),
      indexed("qxmap1.g", makeQxMap),
      indexed("qx.g", makeQx),
      indexed("hofobia.g", makeHofobia),
      indexed("hofobia2.g", makeHofobia2),
      rgb("ojs.g", makeOjs),
      rgb("alone.g", makeAlone),
      rgb("wave.g", makeWave),
      rgb("metal.g", makeMetal),
      [] {
        const PicturePair ellas = makeEllasPair();
        return std::vector<GeneratedFile>{{"ellas.g", formats::encodeIndexedG(ellas.picture)},
                                          {"ellasmap.g", formats::encodeIndexedG(ellas.relief)}};
      },
      rgb("tunel.g", makeTunel),
      rgb("creds.g", makeCreds),
      indexed("fuenteB.g", makeFontSheet),
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
