#include "app/CollectionCheck.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "platform/Platform.h"
#include "store/Collection.h"
#include "store/Recovery.h"

#include <QDir>

namespace app {
namespace {

QString damageText(store::FileDamage damage) {
    switch (damage) {
    case store::FileDamage::Missing:
        return QStringLiteral("it is missing");
    case store::FileDamage::Empty:
        return QStringLiteral("it is empty");
    case store::FileDamage::Unreadable:
        return QStringLiteral("it cannot be read");
    case store::FileDamage::CutShort:
        return QStringLiteral("it ends in the middle of a line, as a file cut short does");
    case store::FileDamage::StrayLines:
        return QStringLiteral("it holds lines that belong to no coin");
    case store::FileDamage::None:
        break;
    }
    return {};
}

QString coinsText(qsizetype coins) {
    return coins == 1 ? QStringLiteral("1 coin") : QStringLiteral("%1 coins").arg(coins);
}

} // namespace

void offerRestoreOfDamagedCollection(store::Collection& collection) {
    const QString database = nativePath(collection.databasePath());
    const store::FileDamage damage = collection.damage();
    if (damage == store::FileDamage::None) {
        return;
    }
    const std::optional<store::GoodBackup> backup = store::newestGoodBackup(database);
    if (!backup) {
        return;
    }
    const bool missing = damage == store::FileDamage::Missing;
    const QString question =
        QStringLiteral("The collection file could not be read whole: ") + damageText(damage) +
        QStringLiteral(".\n\n") + QDir::toNativeSeparators(database) +
        QStringLiteral("\n\nA backup saved on ") + formatGeneralDate(backup->saved) +
        QStringLiteral(" holds ") + coinsText(backup->coins) +
        QStringLiteral(". Do you want to restore it?") +
        (missing ? QString()
                 : QStringLiteral("\n\nThe present file is kept in the backups folder; "
                                  "nothing is deleted."));
    if (platform::messageBoxes().show({question, kTitle, platform::Buttons::YesNo,
                                       platform::Icon::Warning, 1}) != platform::Answer::Yes) {
        return;
    }
    try {
        store::restoreBackup(database, backup->path, collection.count(), !missing);
    } catch (const RuntimeError& e) {
        Guard().step([&] { throw e; });
        platform::messageBoxes().show({QStringLiteral("The backup could not be restored: ") +
                                           failureCause(e) +
                                           QStringLiteral(".\n\nThe collection file is as it was."),
                                       kTitle, platform::Buttons::Ok, platform::Icon::Critical, 1});
        return;
    }
    collection.load();
}

} // namespace app
