// tolvarin-assets: looks at the demo's data files.
//
//   tolvarin-assets --contact-sheet FILE [--data DIR] [--half] [--x4-only]
//
// The contact sheet shows every picture as the loader delivers it, labelled.
// Frames of the scenes come from the program itself (tolvarin --headless
// --shot T:FILE; docs/scenes/make-sheets.sh).
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>

#include "contact_sheet.h"

#ifndef TOLVARIN_DEFAULT_DATA_DIR
#define TOLVARIN_DEFAULT_DATA_DIR "data"
#endif

int main(int argc, char** argv) {
  CLI::App app{"A contact sheet of the Tolvarin pictures"};
  std::string contactSheet;
  std::string dataDir = TOLVARIN_DEFAULT_DATA_DIR;
  bool half = false;
  bool x4Only = false;
  app.add_option("--contact-sheet", contactSheet, "write a PNG of every picture, labelled")->required();
  app.add_option("--data", dataDir, "folder of the data files")->capture_default_str();
  app.add_flag("--half", half, "contact sheet at half size (the font sheet stays full size)");
  app.add_flag("--x4-only", x4Only, "show 8-bit pictures only brightened x4, not also as loaded");
  app.failure_message(CLI::FailureMessage::help);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  const tolvarin::assets_tool::ContactSheetOptions options{half ? 2 : 1, x4Only};
  return tolvarin::assets_tool::writeContactSheet(dataDir, contactSheet, options) ? 0 : 1;
}
