#pragma once

#include <memory>

class MainWindow;

namespace app {

// The program's entry routine: folders, items, the main window filled from the
// first item and shown, the focus in the filter box.
std::unique_ptr<MainWindow> main();

} // namespace app
