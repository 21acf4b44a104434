#include "TestSupport.h"
#include "store/Collection.h"
#include "store/IniFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

namespace {

const QString kDatabase = QStringLiteral("_data\\991106EB51");
const QString kBackup = QStringLiteral("_data\\991106EB51backup");
const QString kMarkerKey = QStringLiteral("txtCatalogNumber");
constexpr int kItems = 3000;
constexpr int kKills = 100;

std::vector<store::IniEntry> makeItem(int i) {
    std::vector<store::IniEntry> e;
    auto add = [&](const char* key, const QString& value) {
        e.push_back({QString::fromLatin1(key), value});
    };
    add("txtMiscNotes",
        QStringLiteral("Bought at the %1 show~|kept in album %2").arg(i).arg(i % 40));
    add("cmbGrade", QString::number(i % 26));
    add("cmbMintMark", QString::number(i % 7));
    add("cmbCoinType", QString::number(i % 12));
    add("txtCountry", i % 3 ? QStringLiteral("United States") : QStringLiteral("Canada"));
    add("txtItemNumber", QStringLiteral("C-%1").arg(i, 5, 10, QLatin1Char('0')));
    add("txtYear", QString::number(1800 + i % 220));
    add("txtDescription", QStringLiteral("%1 Morgan Dollar, lot %2").arg(1800 + i % 220).arg(i));
    add("txtFinancialChangeInValue", QStringLiteral("12.50%"));
    add("txtLastAppraisal", QStringLiteral("$1,%1.00").arg(i % 1000, 3, 10, QLatin1Char('0')));
    add("txtDateAcquired", QStringLiteral("3/15/2024"));
    add("txtValuationSource", QStringLiteral("Dealer price guide"));
    add("txtCurrentValue", QStringLiteral("$%1.00").arg(i % 5000));
    add("txtPurchasePrice", QStringLiteral("$%1.50").arg(i % 3000));
    for (int d = 1; d <= 5; ++d) {
        add(("txtDetail" + std::to_string(d)).c_str(),
            QStringLiteral("detail %1 of %2").arg(d).arg(i));
        add(("txtMiscDetail" + std::to_string(d)).c_str(), QStringLiteral("misc %1").arg(d * i));
    }
    add("txtCategory", QStringLiteral("Silver dollars"));
    add("txtPackagingType", QStringLiteral("2x2 flip"));
    add("txtBoxNumber", QString::number(i / 100));
    add("txtCatalogNumber", i == 1 ? QStringLiteral("marker-A") : QStringLiteral("KM-%1").arg(i));
    add("txtRecordLastUpdated", QStringLiteral("3/15/2024 2:30:05 PM"));
    add("g_sListOfImagesForItem(1)", QStringLiteral("_data\\_userImages\\2024031514%1.jpg").arg(i));
    return e;
}

store::CoinRecord withMarker(const store::CoinRecord& record, const QString& value) {
    store::CoinRecord marked = record;
    for (store::IniEntry& field : marked.fields()) {
        if (field.key == kMarkerKey) {
            field.value = value;
        }
    }
    return marked;
}

bool waitForLine(QProcess& child, const QByteArray& line, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (child.canReadLine()) {
            if (child.readLine().trimmed() == line) {
                return true;
            }
            continue;
        }
        child.waitForReadyRead(50);
    }
    return false;
}

} // namespace

class StoreCrashTest : public QObject {
    Q_OBJECT
private slots:
    void killedSaveLeavesOldOrNewCollection() {
        ProgramFolderFixture folder(false);
        QVERIFY(QDir().mkpath(folder.path("_data")));

        store::IniFile file(store::itemDatabasePath());
        for (int i = 1; i <= kItems; ++i) {
            file.writeSection(
                {QStringLiteral("ITEMNUMB%1").arg(i, 6, 10, QLatin1Char('0')), makeItem(i)});
        }
        file.commit();
        const QByteArray collectionA = folder.read(kDatabase);
        store::Collection collection(store::itemDatabasePath());
        collection.load();
        collection.save(withMarker(collection.record(0), "marker-B"), 0);
        const QByteArray collectionB = folder.read(kDatabase);
        collection.save(withMarker(collection.record(0), "marker-A"), 0);
        QCOMPARE(collection.count(), kItems);
        QVERIFY(collectionA != collectionB);
        QCOMPARE(collectionA.size(), collectionB.size());
        QCOMPARE(folder.read(kDatabase), collectionA);

        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        qint64 cycleMs = 0;
        int sawA = 0;
        int sawB = 0;
        int killedMidWrite = 0;
        for (int run = 0; run < kKills; ++run) {
            QProcess child;
            child.start(QStringLiteral(SAVE_CHILD_PATH), {folder.folder()});
            QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
            QVERIFY(waitForLine(child, "loaded", 30000));
            if (run == 0) {
                // How long one save takes here decides the spread of kill moments.
                QElapsedTimer timer;
                timer.start();
                for (int k = 0; k < 3; ++k) {
                    QVERIFY(waitForLine(child, "saved", 30000));
                }
                cycleMs = std::max<qint64>(1, timer.elapsed() / 3);
            } else {
                QThread::usleep(random.bounded(static_cast<quint32>(cycleMs * 3000)));
            }
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            if (folder.exists("_data\\991106EB51.tmp") ||
                folder.exists("_data\\991106EB51backup.tmp")) {
                ++killedMidWrite;
            }
            const QByteArray database = folder.read(kDatabase);
            const QByteArray backup = folder.read(kBackup);
            QVERIFY2(database == collectionA || database == collectionB,
                     qPrintable(QStringLiteral("run %1, seed %2: database of %3 bytes is neither")
                                    .arg(run)
                                    .arg(seed)
                                    .arg(database.size())));
            QVERIFY2(backup == collectionA || backup == collectionB,
                     qPrintable(
                         QStringLiteral("run %1, seed %2: backup is neither").arg(run).arg(seed)));
            (database == collectionA ? sawA : sawB)++;
        }
        qInfo("%d kills, one save every %lld ms; old/new marker A %d, B %d; %d killed mid-write",
              kKills, cycleMs, sawA, sawB, killedMidWrite);
        // Kills that all landed before or after the first write would prove nothing.
        QVERIFY(sawA > 0 && sawB > 0);
        QVERIFY(!folder.exists("corvantheil.Err"));

        collection.load();
        QCOMPARE(collection.count(), kItems);
    }
};

QTEST_GUILESS_MAIN(StoreCrashTest)
#include "store_crash_test.moc"
