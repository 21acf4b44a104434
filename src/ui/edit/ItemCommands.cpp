#include "ui/edit/ItemCommands.h"

#include "app/ErrorLog.h"
#include "store/ItemDatabase.h"
#include "ui/main/MainWindow.h"

platform::Answer AskAboutUnsavedChanges() {
    return platform::messageBoxes().show(
        {QStringLiteral("You have made changes that have not been saved.\r\n\r\n"
                        "Do you want to save the changes before closing?"),
         QStringLiteral("Unsaved Changes"), platform::Buttons::YesNoCancel, platform::Icon::Warning,
         1});
}

void frmMain::CloseItem() {
    app::Guard guard;
    guard.step([&] { TakeCurrentSnapshot(); });
    bool changed = false;
    guard.step([&] { changed = HasUnsavedChanges(); });
    if (!changed) {
        guard.step([&] { ShowHomePage(); });
        return;
    }
    platform::Answer answer = platform::Answer::Cancel;
    guard.step([&] { answer = AskAboutUnsavedChanges(); });
    if (answer == platform::Answer::Yes) {
        guard.step([&] { store::SaveAllItems(-1); });
        guard.step([&] { ShowHomePage(); });
    } else if (answer == platform::Answer::No) {
        guard.step([&] { ShowHomePage(); });
    }
}
