#pragma once

#include <memory>

class frmMain;

namespace app {

// The program's entry routine: folders, items, the main window filled from the
// first item and shown, the focus in the filter box.
std::unique_ptr<frmMain> Main();

} // namespace app
