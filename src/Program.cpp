#include "Program.h"

#include "app/CollectionCheck.h"
#include "app/ErrorLog.h"
#include "app/Startup.h"
#include "store/Collection.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"

#include <QComboBox>

namespace app {

Program::Program() = default;
Program::Program(Program&&) noexcept = default;
Program& Program::operator=(Program&&) noexcept = default;
Program::~Program() = default;

Program main() {
    Program program;
    prepareProgramFolder();
    program.collection = std::make_unique<store::Collection>(store::itemDatabasePath());
    program.collection->load();
    offerRestoreOfDamagedCollection(*program.collection);
    program.window = std::make_unique<MainWindow>(*program.collection);
    program.window->load();
    program.window->homePage().loadPropertiesOnMainPage(1);
    program.window->show();
    // Without a window manager nothing else makes the window take the keyboard,
    // and its menu letters would wait for a first click.
    program.window->activateWindow();
    program.window->homePage().filterBox()->setFocus();
    return program;
}

} // namespace app
