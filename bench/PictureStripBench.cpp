// Pictures of an open item on 12-megapixel photos, in the whole program:
// adding one (the thumbnails already on view come from the cache, the new
// photo is decoded for its thumbnail and for the corner), showing one in the
// picture panel and at full size (the cache emptied first, so the photo is
// decoded from its file); and the resident memory after 100 different photos
// were shown in the panel one after another, in a fresh process.
#include "Benchmarks.h"

#include "Program.h"
#include "app/ProgramFolder.h"
#include "platform/Platform.h"
#include "store/Collection.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/PictureStrip.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmapCache>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kViews = 100;
constexpr int kDistinctPhotos = 10;

class ChosenFile : public platform::FileDialogs {
public:
    QStringList openFiles(const QString&, const QStringList&, const QString&) override {
        return {path};
    }
    std::optional<QString> openFile(const QString&, const QStringList&, const QString&) override {
        return path;
    }
    std::optional<QString> saveFile(const QString&, const QStringList&, const QString&) override {
        return std::nullopt;
    }
    QString path;
};

// The window is shown and painted, then closed as a click would close it.
class ShownThenClosed : public platform::ModalDialogs {
public:
    int exec(QDialog& dialog) override {
        dialog.show();
        QCoreApplication::processEvents();
        dialog.reject();
        return dialog.result();
    }
};

QString photoName(int n) {
    return QStringLiteral("_data\\_userImages\\photo%1.jpg").arg(n, 3, 10, QLatin1Char('0'));
}

// A program folder whose one item lists `count` photos, made from a few
// distinct ones copied under their own names.
void writeFolder(const QString& folder, int count) {
    const QDir shipped(QStringLiteral(CORVANTHEIL_DATA_DIR "/_images"));
    QDir().mkpath(folder + QStringLiteral("/_images"));
    QDir().mkpath(folder + QStringLiteral("/_data/_userImages"));
    for (const QString& name : shipped.entryList(QDir::Files)) {
        QFile::copy(shipped.filePath(name), folder + QStringLiteral("/_images/") + name);
    }
    app::setProgramFolder(folder);
    std::vector<store::IniEntry> item{{QStringLiteral("txtDescription"), QStringLiteral("Photos")}};
    for (int n = 1; n <= count; ++n) {
        const QString path = app::nativePath(app::programPath(photoName(n)));
        if (n <= kDistinctPhotos) {
            bench::writePhoto(path, n);
        } else {
            QFile::copy(app::nativePath(app::programPath(photoName((n - 1) % kDistinctPhotos + 1))),
                        path);
        }
        item.push_back({QStringLiteral("g_sListOfImagesForItem(%1)").arg(n), photoName(n)});
    }
    bench::writeDatabase(store::itemDatabasePath(), 1,
                         [&](QRandomGenerator&, int) { return item; });
}

template <class F> double medianMs(int runs, bool cold, F&& run) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        if (cold) {
            QPixmapCache::clear();
        }
        QElapsedTimer timer;
        timer.start();
        run(r);
        QCoreApplication::processEvents();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return -1;
}

app::Program openPhotos() {
    app::Program program = app::main();
    for (qsizetype i = 0; i < program.collection->count(); ++i) {
        if (program.collection->record(i).description() == u"Photos") {
            program.window->openItem(i);
            break;
        }
    }
    program.window->showDetailPanel(Panel::CoinImages);
    QCoreApplication::processEvents();
    return program;
}

} // namespace

int runPictureStripChild(int argc, char* argv[]) {
    if (argc != 3 || QByteArray(argv[1]) != "--picture-views-child") {
        return -1;
    }
    QApplication application(argc, argv);
    app::setProgramFolder(QString::fromLocal8Bit(argv[2]));
    const app::Program program = openPhotos();
    PictureStrip& strip = program.window->pictureStrip();
    for (int n = 1; n <= kViews; ++n) {
        strip.showPictureInPanel(photoName(n));
        QCoreApplication::processEvents();
    }
    std::printf("%.1f\n", residentMb());
    return 0;
}

void runPictureStripBenchmarks() {
    QTemporaryDir dir;
    writeFolder(dir.path(), kViews);
    const QString source = dir.filePath(QStringLiteral("_data/_userImages/photo001.jpg"));

    ChosenFile chosen;
    chosen.path = QDir::toNativeSeparators(source);
    ShownThenClosed modal;
    bench::MemorySettings settings;
    platform::install(&chosen);
    platform::install(&settings);
    platform::install(&modal);
    {
        const app::Program program = openPhotos();
        PictureStrip& strip = program.window->pictureStrip();
        QDateTime stamp(QDate(2024, 3, 15), QTime(14, 30, 0));
        strip.setClock([&stamp] { return stamp = stamp.addSecs(1); });
        std::printf("add_picture_12mp %.1f\n",
                    medianMs(7, false, [&](int) { strip.addButton()->click(); }));
        std::printf("panel_picture_12mp %.1f\n",
                    medianMs(7, true, [&](int r) { strip.selectThumbnail(r % 4 + 1); }));
        std::printf("full_size_12mp %.1f\n",
                    medianMs(7, true, [&](int r) { strip.showThumbnailFullSize(r % 4 + 1); }));
        std::fflush(stdout);
    }
    platform::install(static_cast<platform::FileDialogs*>(nullptr));
    platform::install(static_cast<platform::SettingsStore*>(nullptr));
    platform::install(static_cast<platform::ModalDialogs*>(nullptr));

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--picture-views-child", dir.path()});
    child.waitForFinished(-1);
    std::printf("rss_after_100_views_mb %s\n", child.readAllStandardOutput().trimmed().constData());
    std::fflush(stdout);
    app::setProgramFolder(QString());
}
