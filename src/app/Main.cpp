#include "app/Main.h"

#include "app/ErrorLog.h"
#include "app/Startup.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"

#include <QComboBox>

namespace app {

std::unique_ptr<frmMain> Main() {
    Guard guard;
    PrepareProgramFolderAndItems();
    auto window = std::make_unique<frmMain>();
    guard.step([&] { window->Load(); });
    guard.step([&] {
        qint32 first = 1;
        window->homePage().LoadPropertiesOnMainPage(first, QString());
    });
    guard.step([&] { window->show(); });
    guard.step([&] { window->homePage().filterBox()->setFocus(); });
    return window;
}

} // namespace app
