#include "app/Main.h"

#include "app/ErrorLog.h"
#include "app/Startup.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"

#include <QComboBox>

namespace app {

std::unique_ptr<MainWindow> main() {
    Guard guard;
    prepareProgramFolderAndItems();
    auto window = std::make_unique<MainWindow>();
    guard.step([&] { window->load(); });
    guard.step([&] {
        qint32 first = 1;
        window->homePage().loadPropertiesOnMainPage(first, QString());
    });
    guard.step([&] { window->show(); });
    guard.step([&] { window->homePage().filterBox()->setFocus(); });
    return window;
}

} // namespace app
