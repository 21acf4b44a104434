// Times loading and saving the item database against the floors no loader or
// saver can beat, on synthetic collections. Prints "name median_ms" lines
// (the memory and size figures are in megabytes). A save writes the file once
// and flushes it to the disk as write_floor does, and keeps the old file as the
// backup under a second name instead of copying it, so write_floor is what it
// is held to.
#include "app/ProgramFolder.h"
#include "app/Win1252.h"
#include "store/ItemDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

const char* const kDescriptions[] = {
    "Morgan Silver Dollar",
    "Peace Dollar",
    "Walking Liberty Half Dollar",
    "Buffalo Nickel",
    "Mercury Dime",
    "Indian Head Cent",
    "Standing Liberty Quarter",
    "Saint-Gaudens Double Eagle",
    "Barber Quarter",
    "Seated Liberty Dime",
    "Maple Leaf",
    "Britannia Two Pounds",
};
const char* const kCountries[] = {"United States", "Canada", "United Kingdom", "Mexico",
                                  "Germany",       "France", "Australia",      "Switzerland"};
const char* const kSources[] = {"Dealer price guide", "Auction record", "Show appraisal",
                                "Grading service estimate"};
const char* const kPackaging[] = {"2x2 flip", "Slab", "Capsule", "Album page", "Roll tube"};

QString Money(QRandomGenerator& r, int maxDollars) {
    const int dollars = static_cast<int>(r.bounded(maxDollars));
    const int cents = static_cast<int>(r.bounded(100));
    QString whole = QString::number(dollars);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3) {
        whole.insert(i, u',');
    }
    return QStringLiteral("$%1.%2").arg(whole).arg(cents, 2, 10, QLatin1Char('0'));
}

std::vector<store::IniEntry> MakeItem(QRandomGenerator& r, int i) {
    std::vector<store::IniEntry> e;
    auto add = [&](const QString& key, const QString& value) { e.push_back({key, value}); };
    const int year = 1794 + static_cast<int>(r.bounded(230));
    const QString country = QString::fromLatin1(kCountries[r.bounded(8)]);
    add("txtMiscNotes", QStringLiteral("Bought at the spring show in %1~|Light toning on the "
                                       "reverse~|Certificate kept in binder %2")
                            .arg(2000 + i % 24)
                            .arg(i % 40));
    if (i % 3 == 0) {
        add("txtMiscNotes2",
            QStringLiteral("Compared against the reference plate; rim nick at 3 o'clock"));
    }
    add("cmbGrade", QString::number(r.bounded(26)));
    add("cmbMintMark", QString::number(r.bounded(7)));
    add("cmbCoinType", QString::number(r.bounded(12)));
    add("txtCountry", country);
    add("txtItemNumber", QStringLiteral("INV-%1").arg(i, 6, 10, QLatin1Char('0')));
    add("txtYear", QString::number(year));
    add("txtDescription",
        QStringLiteral("%1 %2").arg(year).arg(QString::fromLatin1(kDescriptions[r.bounded(12)])));
    add("txtFinancialChangeInValue",
        QStringLiteral("%1.%2%").arg(r.bounded(90)).arg(r.bounded(10, 99)));
    add("txtLastAppraisal", Money(r, 5000));
    add("txtDateAcquired", QStringLiteral("%1/%2/%3")
                               .arg(r.bounded(1, 13))
                               .arg(r.bounded(1, 29))
                               .arg(r.bounded(1990, 2025)));
    add("txtValuationSource", QString::fromLatin1(kSources[r.bounded(4)]));
    add("txtCurrentValue", Money(r, 5000));
    add("txtPurchasePrice", Money(r, 3000));
    add("txtDetail4",
        QStringLiteral("Diameter %1.%2 mm").arg(r.bounded(15, 40)).arg(r.bounded(10)));
    add("txtDetail5", QStringLiteral("Weight %1.%2 g").arg(r.bounded(2, 35)).arg(r.bounded(100)));
    add("txtMiscDetail4", QStringLiteral("Reeded edge"));
    add("txtMiscDetail5", QStringLiteral("Designer: engraver no. %1").arg(r.bounded(30)));
    add("txtDetail1", QStringLiteral("90% silver, 10% copper"));
    add("txtDetail2", QStringLiteral("Mintage %1").arg(r.bounded(10000, 90000000)));
    add("txtDetail3", QStringLiteral("Obverse: Liberty head facing left"));
    add("txtMiscDetail1", QStringLiteral("Proof-like fields"));
    add("txtMiscDetail2", QStringLiteral("Die variety %1").arg(r.bounded(1, 12)));
    add("txtMiscDetail3", QStringLiteral("Pedigree: %1 collection").arg(country));
    add("txtCategory", QStringLiteral("Silver dollars"));
    add("txtPackagingType", QString::fromLatin1(kPackaging[r.bounded(5)]));
    add("txtBoxNumber", QString::number(i / 100 + 1));
    add("txtCatalogNumber", QStringLiteral("KM-%1").arg(r.bounded(1, 999)));
    add("txtRecordLastUpdated", QStringLiteral("3/15/2024 2:30:05 PM"));
    add("txtPackagingCondition", QStringLiteral("Good"));
    const int pictures = static_cast<int>(r.bounded(4));
    for (int k = 1; k <= pictures; ++k) {
        add(QStringLiteral("g_sListOfImagesForItem(%1)").arg(k),
            QStringLiteral("_data\\_userImages\\202403151%1%2.jpg")
                .arg(i % 100000, 5, 10, QLatin1Char('0'))
                .arg(k));
    }
    if (pictures == 0) {
        add("g_sListOfImagesForItem(1)", QString());
    }
    return e;
}

// A program folder holding a database of `items` items.
void WriteCollection(const QString& folder, int items) {
    QDir().mkpath(folder + "/_data");
    app::SetProgramFolder(folder);
    QRandomGenerator r(items);
    store::g_sAllItems.reset(items);
    for (int i = 1; i <= items; ++i) {
        store::g_sAllItems.setRow(i, MakeItem(r, i));
    }
    store::g_lCurrentItem = 1;
    store::SaveAllItems(0);
    store::g_sAllItems.reset(0);
    store::g_lNumberOfItems = 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double TimeMs(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double MedianMs(int runs, const std::function<void()>& f) {
    std::vector<double> times;
    for (int k = 0; k < runs; ++k) {
        times.push_back(TimeMs(f));
    }
    return Median(times);
}

void Print(const char* name, int items, double figure) {
    std::printf("%s_%d %.1f\n", name, items, figure);
    std::fflush(stdout);
}

double PeakRssMb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return -1;
}

QString DatabaseFile() {
    return app::NativePath(store::ItemDatabasePath());
}

void ReadFloor() {
    QFile f(DatabaseFile());
    f.open(QIODevice::ReadOnly);
    const QStringList lines = app::FromWin1252(f.readAll()).split(QStringLiteral("\r\n"));
    if (lines.isEmpty()) {
        std::abort();
    }
}

// Opened, written, flushed and synced as a save writes its new file.
void WriteFloor(const QByteArray& bytes) {
    QFile f(DatabaseFile() + QStringLiteral(".floor"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    f.flush();
    ::fsync(f.handle());
}

// The floor of a save that copies the file to the backup, writes it anew and
// reads it back.
void SaveFloor(const QByteArray& bytes) {
    const QString copy = DatabaseFile() + QStringLiteral(".floorcopy");
    QFile::remove(copy);
    QFile::copy(DatabaseFile(), copy);
    WriteFloor(bytes);
    ReadFloor();
}

// Child mode: the first load in a fresh process, so that the peak resident
// memory is that of the loaded table.
int LoadChild(const QString& folder, int runs) {
    app::SetProgramFolder(folder);
    std::vector<double> times{TimeMs(store::LoadAllItems)};
    const double peak = PeakRssMb();
    if (store::g_lNumberOfItems <= 0) {
        return 1;
    }
    for (int k = 1; k < runs; ++k) {
        times.push_back(TimeMs(store::LoadAllItems));
    }
    std::printf("%.1f %.1f\n", Median(times), peak);
    return 0;
}

void Measure(const QString& root, int items, int runs, bool withRss) {
    const QString folder = root + "/c" + QString::number(items);
    WriteCollection(folder, items);
    const QString file = DatabaseFile();
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    f.close();

    if (withRss) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--load-child", folder, QString::number(runs)});
        child.waitForFinished(-1);
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        if (figures.size() != 2) {
            std::fprintf(stderr, "load child failed\n");
            return;
        }
        Print("load", items, figures[0].toDouble());
        Print("peak_rss_mb", items, figures[1].toDouble());
    } else {
        Print("load", items, MedianMs(runs, store::LoadAllItems));
    }
    Print("read_floor", items, MedianMs(runs, ReadFloor));

    store::LoadAllItems();
    store::g_lCurrentItem = 1;
    Print("save", items, MedianMs(runs, [] { store::SaveAllItems(0); }));
    Print("write_floor", items, MedianMs(runs, [&] { WriteFloor(bytes); }));
    Print("save_floor", items, MedianMs(runs, [&] { SaveFloor(bytes); }));
    Print("file_mb", items, static_cast<double>(bytes.size()) / (1024.0 * 1024.0));
    store::g_sAllItems.reset(0);
    QFile::remove(file + ".floor");
    QFile::remove(file + ".floorcopy");
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() == 4 && args[1] == u"--load-child") {
        return LoadChild(args[2], args[3].toInt());
    }
    QTemporaryDir root;
    if (!root.isValid()) {
        return 1;
    }
    Measure(root.path(), 100000, 5, true);
    Measure(root.path(), 10000, 9, false);
    return 0;
}
