#pragma once
// The demo's music, 004fin.s3m, composed by code: synthesized samples, the
// parts written into one strip of rows, cut into orders by the marker plan.
#include "formats/s3m_writer.h"

namespace tolvarin::gen::music {

formats::S3mModule buildMusicModule();

}  // namespace tolvarin::gen::music
