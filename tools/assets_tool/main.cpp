// tolvarin-assets: looks at the demo's data files.
//
//   tolvarin-assets --contact-sheet FILE [--data DIR] [--half] [--x4-only]
//   tolvarin-assets --light-preview FILE [--data DIR]
//
// The contact sheet shows every picture as the loader delivers it, labelled;
// the light preview shows frames of the scenes built from them.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>

#include "contact_sheet.h"
#include "light_preview.h"

#ifndef TOLVARIN_DEFAULT_DATA_DIR
#define TOLVARIN_DEFAULT_DATA_DIR "data"
#endif

int main(int argc, char** argv) {
  CLI::App app{"Contact sheets and scene previews of the Tolvarin pictures"};
  std::string contactSheet;
  std::string lightPreview;
  std::string dataDir = TOLVARIN_DEFAULT_DATA_DIR;
  bool half = false;
  bool x4Only = false;
  app.add_option("--contact-sheet", contactSheet, "write a PNG of every picture, labelled");
  app.add_option("--light-preview", lightPreview, "write a PNG of scene frames built from the pictures");
  app.add_option("--data", dataDir, "folder of the data files")->capture_default_str();
  app.add_flag("--half", half, "contact sheet at half size (the font sheet stays full size)");
  app.add_flag("--x4-only", x4Only, "show 8-bit pictures only brightened x4, not also as loaded");
  CLI11_PARSE(app, argc, argv);
  if (contactSheet.empty() && lightPreview.empty()) {
    std::fprintf(stderr, "%s", app.help().c_str());
    return 2;
  }
  bool ok = true;
  if (!contactSheet.empty()) {
    const tolvarin::assets_tool::ContactSheetOptions options{half ? 2 : 1, x4Only};
    ok = tolvarin::assets_tool::writeContactSheet(dataDir, contactSheet, options) && ok;
  }
  if (!lightPreview.empty()) {
    ok = tolvarin::assets_tool::writeLightPreview(dataDir, lightPreview) && ok;
  }
  return ok ? 0 : 1;
}
