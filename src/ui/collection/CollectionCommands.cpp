#include "ui/collection/CollectionCommands.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "exchange/CoinImport.h"
#include "exchange/CollectionSheet.h"
#include "platform/Platform.h"
#include "report/CollectionInventory.h"
#include "store/Collection.h"
#include "store/Recovery.h"
#include "ui/collection/RestoreDialog.h"
#include "ui/common/BusyCursor.h"
#include "ui/edit/CommandWindow.h"
#include "ui/exchange/ImportDialog.h"
#include "ui/exchange/PictureCopies.h"

#include <QCursor>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QStandardPaths>
#include <numeric>

namespace {

// A sheet of coins is a few megabytes; a file far larger is something else
// and would only fill the memory.
constexpr qint64 kLargestSheet = qint64{512} * 1024 * 1024;
// A sheet of coins has a few dozen columns; thousands mean a file of another kind.
constexpr qsizetype kMostColumns = 1000;

QString grouped(qsizetype n) {
    static const QLocale us(QLocale::English, QLocale::UnitedStates);
    return us.toString(static_cast<qlonglong>(n));
}

QString count(qsizetype n, const char* one, const char* many) {
    return grouped(n) + u' ' + QString::fromLatin1(n == 1 ? one : many);
}

void tell(const QString& text, platform::Icon icon) {
    platform::messageBoxes().show({text, app::kTitle, platform::Buttons::Ok, icon, 1});
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The file's bytes, or nothing after telling the user why not.
std::optional<QByteArray> readSheetFile(const QString& path) {
    QFile file(path);
    const QFileInfo info(path);
    if (info.isFile() && info.size() > kLargestSheet) {
        tell(QStringLiteral("This file is too large to be a sheet of coins (more than 512 MB):"
                            "\n\n") +
                 shown(path) + QStringLiteral("\n\nNothing was imported."),
             platform::Icon::Warning);
        return std::nullopt;
    }
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        const int number = !info.exists() ? app::kFileNotFound
                           : file.error() == QFileDevice::PermissionsError
                               ? app::kPermissionDenied
                               : app::kPathFileAccessError;
        tell(QStringLiteral("The file could not be read: ") + app::failureCause(number, 0) +
                 QStringLiteral(".\n\n") + shown(path) +
                 QStringLiteral("\n\nNothing was imported."),
             platform::Icon::Warning);
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

CollectionCommands::CollectionCommands(store::Collection& collection, CommandWindow& window,
                                       QWidget* owner)
    : QObject(owner), m_collection(collection), m_window(window), m_owner(owner) {}

bool CollectionCommands::hasCoins() const {
    return m_collection.count() > 0;
}

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

std::optional<std::vector<qsizetype>> CollectionCommands::coinsToUse(const QString& title,
                                                                     const QString& verb) {
    std::vector<qsizetype> all(static_cast<std::size_t>(m_collection.count()));
    std::iota(all.begin(), all.end(), 0);
    std::optional<std::vector<qsizetype>> listed = m_window.shownItems();
    if (!listed) {
        return all;
    }
    // Positions the list holds that the collection no longer has are dropped.
    std::erase_if(*listed, [this](qsizetype p) { return p < 0 || p >= m_collection.count(); });
    const platform::Answer answer = platform::messageBoxes().show(
        {QStringLiteral("The collection list shows ") +
             count(static_cast<qsizetype>(listed->size()), "coin", "coins") +
             QStringLiteral(" of ") + grouped(m_collection.count()) + QStringLiteral(".\n\n") +
             verb + QStringLiteral(" only the coins shown? Choose No for every coin."),
         title, platform::Buttons::YesNoCancel, platform::Icon::Question, 1});
    if (answer == platform::Answer::Yes) {
        return listed;
    }
    if (answer == platform::Answer::No) {
        return all;
    }
    return std::nullopt;
}

QString CollectionCommands::scopeOf(const std::vector<qsizetype>& coins) const {
    if (static_cast<qsizetype>(coins.size()) == m_collection.count()) {
        return coins.size() == 1
                   ? QStringLiteral("The collection's one coin")
                   : QStringLiteral("All ") + count(m_collection.count(), "coin", "coins");
    }
    return QStringLiteral("The ") + count(static_cast<qsizetype>(coins.size()), "coin", "coins") +
           QStringLiteral(" shown in the collection list");
}

void CollectionCommands::exportCollection() {
    const QString title = QStringLiteral("Export Collection");
    const std::optional<std::vector<qsizetype>> coins = coinsToUse(title, QStringLiteral("Export"));
    if (!coins) {
        return;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(QFileInfo(documents).isDir() ? documents : QDir::homePath())
                                  .filePath(QStringLiteral("Coin Collection %1.csv")
                                                .arg(QDate::currentDate().toString(Qt::ISODate)));
    const std::optional<QString> path = platform::fileDialogs().saveFile(
        title, {QStringLiteral("CSV Files (*.CSV)|*.CSV"), QStringLiteral("All Files (*.*)|*.*")},
        suggested);
    if (!path) {
        return;
    }
    try {
        const ui::BusyCursor busy;
        exchange::writeSheetFile(*path, exchange::collectionSheet(m_collection, *coins));
    } catch (const app::RuntimeError& e) {
        app::Guard().step([&] { throw e; });
        tell(QStringLiteral("The collection could not be exported: ") + app::failureCause(e) +
                 QStringLiteral(".\n\n") + shown(*path) +
                 QStringLiteral("\n\nChoose another folder or name and try again. The collection "
                                "itself is unchanged."),
             platform::Icon::Critical);
        return;
    }
    tell(count(static_cast<qsizetype>(coins->size()), "coin was", "coins were") +
             QStringLiteral(" written to\n\n") + shown(*path),
         platform::Icon::Information);
}

void CollectionCommands::printCollectionInventory() {
    const QString title = QStringLiteral("Print Collection Inventory");
    const std::optional<std::vector<qsizetype>> coins = coinsToUse(title, QStringLiteral("Print"));
    if (!coins) {
        return;
    }
    try {
        const ui::BusyCursor busy;
        report::printCollectionInventory(
            report::inventoryPage(report::inventoryLines(m_collection, *coins), scopeOf(*coins),
                                  QDateTime::currentDateTime()));
    } catch (const app::RuntimeError& e) {
        app::Guard().step([&] { throw e; });
        tell(QStringLiteral("The inventory could not be written: ") + app::failureCause(e) +
                 QStringLiteral(".\n\n") + shown(app::nativePath(report::inventoryPath())),
             platform::Icon::Critical);
    }
}

void CollectionCommands::importCoins() {
    if (!m_window.isHomePageShown()) {
        return;
    }
    const std::optional<QString> path = platform::fileDialogs().openFile(
        QStringLiteral("Import Coins"),
        {QStringLiteral("Spreadsheet Text (*.CSV;*.TXT;*.TSV)|*.CSV;*.TXT;*.TSV"),
         QStringLiteral("All Files (*.*)|*.*")},
        QDir::homePath());
    if (!path) {
        return;
    }
    std::optional<QByteArray> bytes = readSheetFile(*path);
    if (!bytes) {
        return;
    }
    exchange::CsvSheet sheet = exchange::CsvSheet::read(std::move(*bytes));
    const QString nothing = QStringLiteral("\n\nNothing was imported.");
    switch (sheet.refusal()) {
    case exchange::CsvSheet::Refusal::Empty:
        tell(QStringLiteral("The file is empty:\n\n") + shown(*path) + nothing,
             platform::Icon::Warning);
        return;
    case exchange::CsvSheet::Refusal::NotText:
        tell(QStringLiteral("This file is not a sheet saved as text (CSV):\n\n") + shown(*path) +
                 nothing +
                 QStringLiteral(" Save the sheet as CSV in your spreadsheet program, then import "
                                "that file."),
             platform::Icon::Warning);
        return;
    case exchange::CsvSheet::Refusal::None:
        break;
    }
    if (sheet.header().isEmpty()) {
        tell(
            QStringLiteral("The first row of the file could not be read: a quote opened on line ") +
                QString::number(sheet.unclosedQuoteLines().front()) +
                QStringLiteral(" is never closed.\n\n") + shown(*path) + nothing,
            platform::Icon::Warning);
        return;
    }
    if (sheet.header().size() > kMostColumns) {
        tell(QStringLiteral("The first row of the file has ") + grouped(sheet.header().size()) +
                 QStringLiteral(" columns; a sheet of coins has a few dozen. It is probably not "
                                "a sheet:\n\n") +
                 shown(*path) + nothing,
             platform::Icon::Warning);
        return;
    }
    if (sheet.rows().empty() && sheet.unclosedQuoteLines().empty()) {
        tell(QStringLiteral("The file names its columns but holds no coins:\n\n") + shown(*path) +
                 nothing,
             platform::Icon::Warning);
        return;
    }
    // The coins go after those the file holds now.
    if (m_collection.changedOnDisk()) {
        m_collection.load();
        m_window.collectionReadAgain();
    }
    exchange::ImportPlan plan(std::move(sheet), QFileInfo(*path).absolutePath());
    ImportDialog dialog(m_owner, plan, *path, m_collection.count());
    if (platform::modalDialogs().exec(dialog) != QDialog::Accepted) {
        return;
    }

    const std::vector<qsizetype> rows = plan.rowsToImport();
    QProgressDialog progress(QStringLiteral("Importing coins..."), QStringLiteral("Cancel"), 0,
                             static_cast<int>(rows.size()), m_owner);
    progress.setWindowTitle(QStringLiteral("Import Coins"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(800);
    PictureCopies copies;
    std::vector<store::CoinRecord> records;
    records.reserve(rows.size());
    qsizetype missing = 0;
    qsizetype noted = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i % 64 == 0) {
            progress.setValue(static_cast<int>(i));
            if (progress.wasCanceled()) {
                copies.removeAll();
                return;
            }
        }
        exchange::ImportedCoin coin = plan.coin(rows[i]);
        QStringList names;
        for (const QString& picture : coin.pictures) {
            QString failure;
            if (const std::optional<QString> name = copies.copyIn(picture, failure)) {
                names << *name;
            } else {
                // The coin comes in all the same; its notes say which picture did not.
                QString& notes = coin.values[static_cast<std::size_t>(store::Field::MiscNotes)];
                notes += (notes.isEmpty() ? QString() : QStringLiteral("\n")) +
                         QStringLiteral("Picture not copied (") + failure + QStringLiteral("): ") +
                         shown(picture);
                ++missing;
            }
        }
        missing += coin.missingPictures;
        noted += coin.notedValues;
        records.push_back(exchange::recordOf(coin, names));
    }
    progress.setLabelText(QStringLiteral("Saving the collection..."));
    progress.setCancelButton(nullptr);
    progress.setValue(static_cast<int>(rows.size()) - 1); // shows the label before the save
    const qsizetype before = m_collection.count();
    bool added = false;
    {
        const ui::BusyCursor busy;
        added = m_collection.append(records);
    }
    progress.reset();
    if (!added) {
        copies.removeAll();
        const app::RuntimeError e =
            m_collection.lastFailure().value_or(app::RuntimeError(app::kPathFileAccessError));
        tell(QStringLiteral("The coins could not be added: ") + app::failureCause(e) +
                 QStringLiteral(".\n\nThe collection is as it was. ") + app::failureAdvice(e) +
                 QStringLiteral(", then import the file again."),
             platform::Icon::Critical);
        return;
    }
    m_window.refillHomePageFromFirstItem();
    QString done = count(m_collection.count() - before, "coin was", "coins were") +
                   QStringLiteral(" added to the collection.");
    if (noted > 0) {
        done += QStringLiteral("\n\n") + count(noted, "value", "values") +
                QStringLiteral(" that no field could take ") +
                (noted == 1 ? QStringLiteral("is") : QStringLiteral("are")) +
                QStringLiteral(" kept as lines of the coins' Notes (for example \"Grade: Very "
                               "Nice\").");
    }
    if (missing > 0) {
        done += QStringLiteral("\n\n") + count(missing, "picture", "pictures") +
                QStringLiteral(" could not be found or copied; the coins' Notes name them.");
    }
    tell(done, platform::Icon::Information);
}
