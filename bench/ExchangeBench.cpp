// The spreadsheet exchange on synthetic collections: exporting 100,000 coins,
// importing a sheet of 20,000 (read, matched, stored in one save) and the
// inventory page of 20,000. Each run starts from a collection just opened, as
// the program holds it, so that reading the coins from the file is counted.
#include "Benchmarks.h"
#include "Timing.h"

#include "app/ProgramFolder.h"
#include "exchange/CoinImport.h"
#include "exchange/CollectionSheet.h"
#include "report/CollectionInventory.h"
#include "store/Collection.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <numeric>

namespace {

constexpr int kRuns = 5;

std::vector<qsizetype> everyCoin(const store::Collection& collection) {
    std::vector<qsizetype> all(static_cast<std::size_t>(collection.count()));
    std::iota(all.begin(), all.end(), 0);
    return all;
}

// The median of runs each prepared untimed by `prepare`.
double medianOfPrepared(const std::function<void(int)>& prepare, const std::function<void()>& run) {
    std::vector<double> times;
    for (int r = 0; r < kRuns; ++r) {
        prepare(r);
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return bench::median(times);
}

// What File > Import Coins does after the dialog, pictures aside (the
// synthetic ones are not there, so each is looked for and noted).
qsizetype importSheet(const QString& sheet, store::Collection& collection) {
    QFile file(sheet);
    file.open(QIODevice::ReadOnly);
    exchange::ImportPlan plan(exchange::CsvSheet::read(file.readAll()), QString());
    std::vector<store::CoinRecord> records;
    for (const qsizetype row : plan.rowsToImport()) {
        records.push_back(exchange::recordOf(plan.coin(row), {}));
    }
    return collection.append(records) ? static_cast<qsizetype>(records.size()) : -1;
}

} // namespace

void runExchangeBenchmarks() {
    QTemporaryDir root;
    const QString sheet = root.filePath(QStringLiteral("coins.csv"));
    {
        bench::writeSyntheticCollection(root.filePath(QStringLiteral("c100000")), 100000);
        store::Collection collection(store::itemDatabasePath());
        bench::printFigure(QStringLiteral("export_csv_100000"),
                           medianOfPrepared([&](int) { collection.load(); },
                                            [&] {
                                                exchange::writeSheetFile(
                                                    sheet, exchange::collectionSheet(
                                                               collection, everyCoin(collection)));
                                            }));
        bench::printFigure(QStringLiteral("export_csv_mb_100000"),
                           static_cast<double>(QFileInfo(sheet).size()) / (1024.0 * 1024.0));
    }
    // A large file up to the import dialog: read, rows found, the first coins shown.
    bench::printFigure(QStringLiteral("import_preview_csv_100000"), bench::medianMs(kRuns, [&] {
                           QFile file(sheet);
                           file.open(QIODevice::ReadOnly);
                           const exchange::ImportPlan plan(exchange::CsvSheet::read(file.readAll()),
                                                           QString());
                           const std::vector<qsizetype> rows = plan.rowsToImport();
                           const std::vector<exchange::RowRemark> remarks = plan.remarks();
                           for (std::size_t i = 0; i < 20 && i < rows.size(); ++i) {
                               plan.coin(rows[i]);
                           }
                       }));
    if (qEnvironmentVariableIsSet("CORVANTHEIL_BENCH_IMPORT_ALL")) {
        const QString folder = root.filePath(QStringLiteral("all"));
        QDir().mkpath(folder + QStringLiteral("/_data"));
        app::setProgramFolder(folder);
        store::Collection target(store::itemDatabasePath());
        target.load();
        bench::printFigure(QStringLiteral("import_csv_100000"),
                           bench::medianMs(1, [&] { importSheet(sheet, target); }));
    }
    {
        bench::writeSyntheticCollection(root.filePath(QStringLiteral("c20000")), 20000);
        QDir().mkpath(root.filePath(QStringLiteral("c20000/_reports")));
        QDir().mkpath(root.filePath(QStringLiteral("c20000/_reports")));
        store::Collection collection(store::itemDatabasePath());
        collection.load();
        exchange::writeSheetFile(sheet,
                                 exchange::collectionSheet(collection, everyCoin(collection)));
        bench::printFigure(
            QStringLiteral("inventory_html_20000"),
            medianOfPrepared([&](int) { collection.load(); },
                             [&] {
                                 report::printCollectionInventory(report::inventoryPage(
                                     report::inventoryLines(collection, everyCoin(collection)),
                                     QStringLiteral("All 20,000 coins"),
                                     QDateTime::currentDateTime()));
                             }));
    }
    // Into an empty collection each time.
    std::unique_ptr<store::Collection> target;
    qsizetype imported = 0;
    bench::printFigure(QStringLiteral("import_csv_20000"),
                       medianOfPrepared(
                           [&](int r) {
                               const QString folder = root.filePath(QStringLiteral("i%1").arg(r));
                               QDir().mkpath(folder + QStringLiteral("/_data"));
                               app::setProgramFolder(folder);
                               target =
                                   std::make_unique<store::Collection>(store::itemDatabasePath());
                               target->load();
                           },
                           [&] { imported = importSheet(sheet, *target); }));
    if (imported != 20000) {
        std::fprintf(stderr, "import_csv_20000 stored %lld coins\n",
                     static_cast<long long>(imported));
    }
    app::setProgramFolder(QString());
}
