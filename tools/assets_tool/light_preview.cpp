#include "light_preview.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "assets/bitmap_font.h"
#include "gfx2d/frame_kernels.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/trig_tables.h"
#include "picture_set.h"
#include "sheet.h"

namespace tolvarin::assets_tool {
namespace {

using Frame = std::vector<Pixel>;

// The light offsets every scene passes: trunc(100 cos a - 160), trunc(100 cos b - 120).
std::int32_t lightX(int a) { return static_cast<std::int32_t>(100.0 * cosTable[a % 360] - 160.0); }
std::int32_t lightY(int b) { return static_cast<std::int32_t>(100.0 * cosTable[b % 360] - 120.0); }

Frame lit(int a, int b, const Pixel* base, const Pixel* relief, int mode) {
  Frame frame(kFramePixels, 0);
  bumpLight(lightX(a), lightY(b), base, frame.data(), relief, mode);
  return frame;
}

// The picture repeated at z source pixels per screen pixel around the
// centre, as the logo scene's zoom shows it (nearest sample, wrapping).
Frame tiled(const Pixel* src, double z) {
  Frame frame(kFramePixels, 0);
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      int sx = static_cast<int>(std::floor(160.0 + (x - 160.0) * z)) % 320;
      int sy = static_cast<int>(std::floor(120.0 + (y - 120.0) * z)) % 240;
      if (sx < 0) sx += 320;
      if (sy < 0) sy += 240;
      frame[static_cast<std::size_t>(y) * kFrameWidth + x] = src[sy * 320 + sx];
    }
  }
  return frame;
}

// The tunnel of the greetings: distance and angle of every screen pixel
// select the texture's column and row.
Frame tunnel(const Pixel* texture, int shift) {
  Frame frame(kFramePixels, 0);
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const int dx = x - 160;
      const int dy = y - 120;
      const int d = static_cast<int>(std::sqrt(static_cast<double>(dx * dx + dy * dy))) & 255;
      const int t = static_cast<int>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 40.902820375786185) & 255;
      const int u = (d + shift) & 255;
      const int v = (t + shift + d / 3) & 255;
      frame[static_cast<std::size_t>(y) * kFrameWidth + x] = texture[v * 256 + u];
    }
  }
  return frame;
}

}  // namespace

bool writeLightPreview(const std::filesystem::path& dataDir, const std::string& outFile) {
  std::map<std::string, Picture> pictures;
  bool ok = true;
  for (const PictureFile& file : kPictureFiles) {
    Picture picture;
    if (!loadPicture(dataDir, file, picture)) {
      ok = false;
      continue;
    }
    pictures.emplace(file.name, std::move(picture));
  }
  if (!ok) return false;
  auto px = [&](const char* name) { return pictures.at(name).pixels.get(); };
  buildTrigTables();
  initGlyphTable();
  const std::string sheetPath = (dataDir / "fuenteB.g").string();
  BitmapFont font(sheetPath.c_str(), glyphTable, kGlyphTableSize - 1, 0);

  Sheet sheet(3 * 326 + 6);
  auto add = [&](const std::string& label, const Frame& frame) {
    sheet.add(makePanel(label, frame.data(), kFrameWidth, kFrameHeight, 1, 1));
  };
  add("LogoZoom: quarnel lit through qxmap1", lit(56, 306, px("quarnel.g"), px("qxmap1.g"), 0));
  {
    // Four frames before the fade-in ends every byte is still 15 short:
    // only the top levels of the 8-bit logo show.
    Frame faded(px("quarnel.g"), px("quarnel.g") + kFramePixels);
    for (Pixel& p : faded) {
      Pixel out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const int b = static_cast<int>((p >> shift) & 0xFFU) - 15;
        out |= static_cast<Pixel>(b > 0 ? b : 0) << shift;
      }
      p = out;
    }
    add("LogoZoom: fading in, offset 15", lit(84, 334, faded.data(), px("qxmap1.g"), 0));
  }
  {
    const Frame base = tiled(px("quarnel.g"), 2.6);
    const Frame relief = tiled(px("qxmap1.g"), 2.6);
    add("LogoZoom: zoomed out, tiled", lit(140, 30, base.data(), relief.data(), 0));
  }
  add("LogoZoom: final frame, mode 3", lit(200, 90, px("quarnel.g"), px("qxmap1.g"), 3));
  add("LightSweep: hofobia2 lit", lit(84, 334, px("hofobia2.g"), px("qxmap1.g"), 0));
  add("LightSweep: hofobia2 lit", lit(252, 142, px("hofobia2.g"), px("qxmap1.g"), 0));
  add("LightSweep: final, hofobia mode 7", lit(112, 2, px("hofobia.g"), px("qxmap1.g"), 7));
  {
    Frame fade(kFramePixels, 0);
    crossFade(px("qx.g"), px("hofobia2.g"), fade.data(), 128, 128, 128);
    add("CrossfadeSweep: qx half over hofobia2", lit(28, 0, fade.data(), px("qxmap1.g"), 0));
    add("CrossfadeSweep: final, qx mode 7", lit(168, 0, px("qx.g"), px("qxmap1.g"), 7));
  }
  {
    Frame base(kFramePixels, 0);
    Frame relief(kFramePixels, 0);
    rotoZoom(px("qx.g"), base.data(), 40, 1.6F);
    rotoZoom(px("qxmap1.g"), relief.data(), 40, 1.6F);
    add("RotozoomStrobe: qx turned and zoomed", lit(196, 86, base.data(), relief.data(), 0));
  }
  add("Still picture: ojs", Frame(px("ojs.g"), px("ojs.g") + kFramePixels));
  {
    Frame frame(kFramePixels, 0);
    crossFade(px("alone.g"), px("ojs.g"), frame.data(), 0, 160, 255);
    font.inverted = true;
    font.drawText(53, 18, "Human suxx", frame.data());
    font.drawText(5, 200, "Human and PIG is the same.", frame.data());
    add("StoryText: dialogue over alone and ojs", frame);
  }
  {
    Frame frame(kFramePixels, 0);
    crossFade(px("alone.g"), px("ojs.g"), frame.data(), 200, 200, 200);
    const char* lines[] = {"In Quarnel planet live", "Threnodyx,", "Kovalrin,", "Mardoque,", "Fyrne and", "Quillax"};
    const int ys[] = {50, 75, 100, 125, 150, 175};
    for (int i = 0; i < 6; ++i) font.drawText(i == 0 ? 10 : 30, ys[i], lines[i], frame.data());
    add("StoryText: credits over alone", frame);
  }
  {
    const Pixel* ellas = px("ellas.g") + 120 * kFrameWidth;
    const Pixel* map = px("ellasmap.g") + 120 * kFrameWidth;
    Frame frame = lit(90, 240, ellas, map, 0);
    // The scene turns the closing parenthesis into a blank word gap.
    glyphTable[68].x = 230;
    glyphTable[68].y = 100;
    glyphTable[68].width = 15;
    glyphTable[68].height = 25;
    font.drawText(10, 10, "This)is)the)prototype)of", frame.data());
    font.drawText(10, 35, "female)sex)in", frame.data());
    font.drawText(10, 60, "Quarnel)planet.", frame.data());
    initGlyphTable();
    add("PrototypeText: ellas lit through ellasmap", frame);
  }
  {
    Frame frame = tunnel(px("tunel.g"), 40);
    Frame layer(kFramePixels, 0);
    font.inverted = false;
    font.drawText(100, 40, "MOONCRAFT", layer.data());
    font.drawText(95, 120, "KESTREL-ZQ", layer.data());
    Frame out(kFramePixels, 0);
    overlayKeyed(layer.data(), frame.data(), out.data());
    add("Greetings: text over the tunnel", out);
  }
  {
    Frame frame(px("creds.g"), px("creds.g") + kFramePixels);
    for (Pixel& p : frame) {
      Pixel out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const int b = static_cast<int>((p >> shift) & 0xFFU) - 96;
        out |= static_cast<Pixel>(b > 0 ? b : 0) << shift;
      }
      p = out;
    }
    add("CreditsFadeIn: counter at 96", frame);
    add("CreditsFadeIn: last frame", Frame(px("creds.g"), px("creds.g") + kFramePixels));
  }
  return sheet.write(outFile);
}

}  // namespace tolvarin::assets_tool
