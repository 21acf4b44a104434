#include "ui/collection/CollectionCommands.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "platform/Platform.h"
#include "store/Collection.h"
#include "store/Recovery.h"
#include "ui/collection/RestoreDialog.h"
#include "ui/edit/CommandWindow.h"

CollectionCommands::CollectionCommands(store::Collection& collection, CommandWindow& window,
                                       QWidget* owner)
    : QObject(owner), m_collection(collection), m_window(window), m_owner(owner) {}

void CollectionCommands::restoreFromBackup() {
    const QString database = app::nativePath(m_collection.databasePath());
    RestoreDialog dialog(m_owner, store::datedBackups(database));
    if (platform::modalDialogs().exec(dialog) != QDialog::Accepted || !dialog.chosen()) {
        return;
    }
    const store::DatedBackup chosen = *dialog.chosen();
    try {
        // A database another program changed is kept all the same, under its own count.
        if (m_collection.changedOnDisk()) {
            m_collection.load();
        }
        store::restoreBackup(database, chosen.path, m_collection.count(), false);
    } catch (const app::RuntimeError& e) {
        app::Guard().step([&] { throw e; });
        platform::messageBoxes().show(
            {QStringLiteral("The backup could not be restored: ") + app::failureCause(e) +
                 QStringLiteral(".\n\nThe collection is as it was."),
             app::kTitle, platform::Buttons::Ok, platform::Icon::Critical, 1});
        return;
    }
    m_collection.load();
    m_window.refillHomePageFromFirstItem();
    platform::messageBoxes().show(
        {QStringLiteral("The collection is now as it was saved on ") +
             app::formatGeneralDate(chosen.saved) +
             QStringLiteral(".\n\nThe collection as it was a moment ago is kept as a backup "
                            "too, so this can be undone the same way."),
         app::kTitle, platform::Buttons::Ok, platform::Icon::Information, 1});
}
