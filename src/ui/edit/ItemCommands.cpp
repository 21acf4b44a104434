#include "ui/edit/ItemCommands.h"

#include "app/ErrorLog.h"
#include "store/ItemDatabase.h"
#include "ui/main/MainWindow.h"

platform::Answer askAboutUnsavedChanges() {
    return platform::messageBoxes().show(
        {QStringLiteral("You have made changes that have not been saved.\r\n\r\n"
                        "Do you want to save the changes before closing?"),
         QStringLiteral("Unsaved Changes"), platform::Buttons::YesNoCancel, platform::Icon::Warning,
         1});
}

void MainWindow::closeItem() {
    app::Guard guard;
    guard.step([&] { takeCurrentSnapshot(); });
    bool changed = false;
    guard.step([&] { changed = hasUnsavedChanges(); });
    if (!changed) {
        guard.step([&] { showHomePage(); });
        return;
    }
    platform::Answer answer = platform::Answer::Cancel;
    guard.step([&] { answer = askAboutUnsavedChanges(); });
    if (answer == platform::Answer::Yes) {
        guard.step([&] { store::saveAllItems(-1); });
        guard.step([&] { showHomePage(); });
    } else if (answer == platform::Answer::No) {
        guard.step([&] { showHomePage(); });
    }
}
