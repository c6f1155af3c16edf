// Measurement lines in the demo rule's format, written into the scanned folder.
#pragma once

#include <string>

namespace benche2e {

// Line `index` of a run: "2026-01-d hh:mm:ss;CHnn;<frequency>;<level>dBm;<supply> V",
// one second apart, with readings that vary.
std::string DemoLine(int index);

// Writes `lines` lines into `files` files "e2e_NN.txt" under `folder` (the first files
// take the remainder). Each file appears under its name only when complete. Returns ""
// or the error text.
std::string WriteDemoFiles(const std::string& folder, int lines, int files);

}  // namespace benche2e
