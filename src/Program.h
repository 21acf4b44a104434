#pragma once

#include <memory>

class MainWindow;
namespace store {
class Collection;
}

namespace app {

// What start-up makes and the run keeps: the collection, and the one main
// window that shows it (destroyed first).
struct Program {
    Program();
    Program(Program&& other) noexcept;
    Program& operator=(Program&& other) noexcept;
    ~Program();

    std::unique_ptr<store::Collection> collection;
    std::unique_ptr<MainWindow> window;
};

// The program's entry routine: folders, the whole collection, the main window
// filled from the first item and shown, the focus in the filter box.
Program main();

} // namespace app
