// Times loading and saving the item database against the floors no loader or
// saver can beat, on synthetic collections. Prints "name median_ms" lines
// (the memory and size figures are in megabytes). A save writes the file once
// and flushes it to the disk as write_floor does, and keeps the old file as the
// backup under a second name instead of copying it, so write_floor is what it
// is held to. Loading opens the file and reads every item's keys (the program
// itself reads an item's keys when first asked for; open_ is that part alone).
#include "Benchmarks.h"
#include "Timing.h"
#include "app/ProgramFolder.h"
#include "app/Win1252.h"
#include "store/Collection.h"

#include <QApplication>
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

namespace {

// The whole collection in memory: every item's keys read.
void loadWholeCollection(store::Collection& collection) {
    collection.load();
    for (qsizetype i = 0; i < collection.count(); ++i) {
        collection.record(i);
    }
}

double timeMs(const std::function<void()>& f) {
    return bench::medianMs(1, f);
}

void print(const char* name, int items, double figure) {
    bench::printFigure(QStringLiteral("%1_%2").arg(QLatin1StringView(name)).arg(items), figure);
}

QString databaseFile() {
    return app::nativePath(store::itemDatabasePath());
}

void readFloor() {
    QFile f(databaseFile());
    f.open(QIODevice::ReadOnly);
    const QStringList lines = app::fromWin1252(f.readAll()).split(QStringLiteral("\r\n"));
    if (lines.isEmpty()) {
        std::abort();
    }
}

// Child mode: the first load in a fresh process, so that the peak resident
// memory is that of the loaded table.
int loadChild(const QString& folder, int runs) {
    app::setProgramFolder(folder);
    store::Collection collection(store::itemDatabasePath());
    std::vector<double> times{timeMs([&] { loadWholeCollection(collection); })};
    const double peak = bench::peakRssMb();
    if (collection.count() <= 0) {
        return 1;
    }
    for (int k = 1; k < runs; ++k) {
        times.push_back(timeMs([&] { loadWholeCollection(collection); }));
    }
    std::printf("%.1f %.1f\n", bench::median(times), peak);
    return 0;
}

void measure(const QString& root, int items, int runs, bool withRss) {
    const QString folder = root + "/c" + QString::number(items);
    bench::writeSyntheticCollection(folder, items);
    const QString file = databaseFile();
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
        print("load", items, figures[0].toDouble());
        print("peak_rss_mb", items, figures[1].toDouble());
    }
    store::Collection collection(store::itemDatabasePath());
    if (!withRss) {
        print("load", items, bench::medianMs(runs, [&] { loadWholeCollection(collection); }));
    }
    print("open", items, bench::medianMs(runs, [&] { collection.load(); }));
    print("read_floor", items, bench::medianMs(runs, readFloor));

    // Saving the first item as it is rewrites the whole file behind the backup.
    loadWholeCollection(collection);
    print("save", items, bench::medianMs(runs, [&] { collection.save(collection.record(0), 0); }));
    print("write_floor", items, bench::medianMs(runs, [&] {
              bench::writeFloor(file + QStringLiteral(".floor"), bytes);
          }));
    print("file_mb", items, static_cast<double>(bytes.size()) / (1024.0 * 1024.0));
    QFile::remove(file + ".floor");
}

} // namespace

int main(int argc, char* argv[]) {
    const int child = runStartupChild(argc, argv);
    if (child >= 0) {
        return child;
    }
    const int pictureChild = runPictureChild(argc, argv);
    if (pictureChild >= 0) {
        return pictureChild;
    }
    if (argc == 4 && QByteArray(argv[1]) == "--load-child") {
        QCoreApplication application(argc, argv);
        return loadChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]).toInt());
    }
    const int listChild = runListChild(argc, argv);
    if (listChild >= 0) {
        return listChild;
    }
    const int stripChild = runPictureStripChild(argc, argv);
    if (stripChild >= 0) {
        return stripChild;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QTemporaryDir root;
    if (!root.isValid()) {
        return 1;
    }
    // Groups named on the command line run alone, in this order.
    const QStringList wanted = application.arguments().mid(1);
    const auto run = [&wanted](const char* group, const std::function<void()>& benchmarks) {
        if (wanted.isEmpty() || wanted.contains(QLatin1StringView(group))) {
            benchmarks();
        }
    };
    run("store", [&] {
        measure(root.path(), 100000, 5, true);
        measure(root.path(), 10000, 9, false);
    });
    run("items", runItemCommandBenchmarks);
    run("strip", runPictureStripBenchmarks);
    run("startup", runStartupBenchmarks);
    run("home", runHomePageBenchmarks);
    run("list", runListBenchmarks);
    run("pictures", [] {
        runPictureBenchmarks();
        runPictureAddBenchmarks();
    });
    run("exchange", runExchangeBenchmarks);
    return 0;
}
