// tolvarin-assets: panels scale and brighten the way their labels say, the
// sheet packs them without overlap, wrong or missing pictures are reported,
// and both sheets come out of the full set of pictures the build generated.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/data_manifest.h"
#include "assets_tool/contact_sheet.h"
#include "assets_tool/picture_set.h"
#include "assets_tool/sheet.h"
#include "formats/g_writer.h"

namespace tolvarin::assets_tool {
namespace {

namespace fs = std::filesystem;

// A fresh folder in the build tree (so that two build trees testing at the
// same time never share one), removed afterwards.
class TempDir {
 public:
  explicit TempDir(const std::string& name) : path_(fs::path(TOLVARIN_BINARY_DIR) / "test_tmp" / name) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

bool isPng(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char signature[8] = {};
  in.read(signature, 8);
  return in && std::string(signature + 1, 3) == "PNG" && fs::file_size(path) > 1000;
}

TEST(AssetsToolPanel, ShrinksByAveragingAndBrightensWithClamping) {
  // 4x2 picture: two 2x2 blocks.
  const std::vector<Pixel> pixels{0x000000, 0x040404, 0x3F0010, 0x3F0010,
                                  0x080808, 0x0C0C0C, 0x3F0010, 0x3F0010};
  const Panel half = makePanel("p", pixels.data(), 4, 2, 2, 1);
  ASSERT_EQ(half.width, 2);
  ASSERT_EQ(half.height, 1);
  EXPECT_EQ(half.pixels[0], 0x060606U);
  EXPECT_EQ(half.pixels[1], 0x3F0010U);
  const Panel bright = makePanel("p", pixels.data(), 4, 2, 1, 4);
  EXPECT_EQ(bright.pixels[2], 0xFC0040U);  // 63 x 4 = 252
  const Panel brighter = makePanel("p", pixels.data(), 4, 2, 1, 5);
  EXPECT_EQ(brighter.pixels[2], 0xFF0050U);  // clamped at 255
}

Panel blank(int w, int h) { return Panel{"x", w, h, std::vector<Pixel>(static_cast<std::size_t>(w) * h)}; }

TEST(AssetsToolLayout, PacksRowsWithoutOverlapAndGroupsTallPanels) {
  const std::vector<Panel> panels{blank(160, 120), blank(160, 120), blank(160, 120), blank(160, 240),
                                  blank(160, 240), blank(320, 128)};
  const Layout layout = layoutPanels(panels, 4 * 166 + 6);
  ASSERT_EQ(layout.places.size(), panels.size());
  // Three short panels share the first row; the tall one starts a new row
  // although it would fit beside them; the font-sized one joins the tall row.
  EXPECT_EQ(layout.places[2].y, layout.places[0].y);
  EXPECT_GT(layout.places[3].y, layout.places[0].y);
  EXPECT_EQ(layout.places[4].y, layout.places[3].y);
  EXPECT_EQ(layout.places[5].y, layout.places[3].y);
  for (std::size_t a = 0; a < panels.size(); ++a) {
    const PanelPlace& pa = layout.places[a];
    EXPECT_LE(pa.x + panels[a].width, 4 * 166 + 6);
    EXPECT_LE(pa.y + panels[a].height + kLabelHeight, layout.height);
    for (std::size_t b = a + 1; b < panels.size(); ++b) {
      const PanelPlace& pb = layout.places[b];
      const bool apart = pa.x + panels[a].width <= pb.x || pb.x + panels[b].width <= pa.x ||
                         pa.y + panels[a].height + kLabelHeight <= pb.y ||
                         pb.y + panels[b].height + kLabelHeight <= pa.y;
      EXPECT_TRUE(apart) << a << " and " << b << " overlap";
    }
  }
}

TEST(AssetsToolPictures, RefusesMissingFilesAndWrongSizes) {
  TempDir dir("assets_tool_sizes");
  formats::IndexedImage small;
  small.width = 10;
  small.height = 10;
  small.indices.assign(100, 1);
  ASSERT_TRUE(formats::writeFile((dir.path() / data::qx.name).string(), formats::encodeIndexedG(small)));
  Picture picture;
  EXPECT_FALSE(loadPicture(dir.path(), data::qx, picture));  // 320x240 needed
  Picture missing;
  EXPECT_FALSE(loadPicture(dir.path(), data::quarnel, missing));
}

TEST(AssetsToolSheets, WriteFromAFullSetAndFailWithoutOne) {
  TempDir dir("assets_tool_sheets");
  for (PictureFile file : kPictureFiles) {
    fs::copy_file(fs::path(TOLVARIN_TEST_DATA_DIR) / file->name, dir.path() / file->name);
  }
  // Every picture the tool knows is one the generator writes.
  for (PictureFile file : kPictureFiles) {
    Picture p;
    EXPECT_TRUE(loadPicture(dir.path(), *file, p)) << file->name;
  }
  const fs::path contact = dir.path() / "contact.png";
  EXPECT_TRUE(writeContactSheet(dir.path(), contact.string(), {2, true}));
  EXPECT_TRUE(isPng(contact));
  fs::remove(dir.path() / data::tunel.name);
  EXPECT_FALSE(writeContactSheet(dir.path(), (dir.path() / "again.png").string(), {1, false}));
}

}  // namespace
}  // namespace tolvarin::assets_tool
