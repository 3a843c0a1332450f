#pragma once
// The light preview: frames of the scenes as the demo draws them from the
// pictures (bump light over the bases with their reliefs, the over-bright
// final frames, the cross-fade, the rotating zoom, the text scenes with the
// font sheet, the tunnel, the closing fade), to judge the pictures where
// they are seen rather than as stills.
#include <filesystem>
#include <string>

namespace tolvarin::assets_tool {

bool writeLightPreview(const std::filesystem::path& dataDir, const std::string& outFile);

}  // namespace tolvarin::assets_tool
