// Adding pictures as a collector takes them, in the whole program: ten
// 12-megapixel photos chosen in one go, until the strip shows the newest; and
// one 12-megapixel HEIC photo from a phone, turned upright by its boxes.
#include "Benchmarks.h"
#include "Timing.h"

#include "Program.h"
#include "app/ProgramFolder.h"
#include "platform/Platform.h"
#include "store/Collection.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/PictureStrip.h"

#include <QApplication>
#include <QDir>
#include <QPixmapCache>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kPhotos = 10;

// Answers every file dialog with the same files.
class ChosenFiles : public platform::FileDialogs {
public:
    QStringList openFiles(const QString&, const QStringList&, const QString&) override {
        return files;
    }
    std::optional<QString> openFile(const QString&, const QStringList&, const QString&) override {
        return files.value(0);
    }
    std::optional<QString> saveFile(const QString&, const QStringList&, const QString&) override {
        return std::nullopt;
    }
    QStringList files;
};

} // namespace

void runPictureAddBenchmarks() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("program"));
    bench::makeProgramFolder(folder, 1);
    ChosenFiles chosen;
    for (int n = 1; n <= kPhotos; ++n) {
        chosen.files << QDir::toNativeSeparators(
            dir.filePath(QStringLiteral("photo%1.jpg").arg(n)));
        bench::writePhoto(chosen.files.back(), n);
    }
    const QString heic = QDir::toNativeSeparators(dir.filePath(QStringLiteral("phone.heic")));
    // Stored on its side, to be turned a quarter clockwise, as a phone held upright stores it.
    const bool haveHeic = bench::writePhoneHeic(heic, QImage(chosen.files.front()), 3);
    bench::MemorySettings settings;
    platform::install(&chosen);
    platform::install(&settings);
    {
        const app::Program program = app::main();
        program.window->openItem(0);
        program.window->showDetailPanel(Panel::CoinImages);
        QCoreApplication::processEvents();
        PictureStrip& strip = program.window->pictureStrip();
        QDateTime stamp(QDate(2024, 3, 15), QTime(14, 30, 0));
        strip.setClock([&stamp] { return stamp = stamp.addSecs(1); });
        bench::printFigure(QStringLiteral("add_pictures_10x12mp"), bench::medianMs(5, [&] {
                               QPixmapCache::clear();
                               strip.addButton()->click();
                               QCoreApplication::processEvents();
                           }));
        if (haveHeic) {
            chosen.files = {heic};
            bench::printFigure(QStringLiteral("add_heic_12mp"), bench::medianMs(5, [&] {
                                   strip.addButton()->click();
                                   QCoreApplication::processEvents();
                               }));
        } else {
            std::printf("add_heic_12mp skipped: libheif has no HEVC encoder to make the photo\n");
        }
    }
    platform::install(static_cast<platform::FileDialogs*>(nullptr));
    platform::install(static_cast<platform::SettingsStore*>(nullptr));
    app::setProgramFolder(QString());
}
