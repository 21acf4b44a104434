// Peak memory of a fresh process that shows one 50-megapixel photo: once at
// the size of a home page card, once at its natural size for comparison.
#include "Benchmarks.h"
#include "Timing.h"

#include "ui/common/PictureLoading.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// 8660 x 5773, a full-frame 50-megapixel camera's size.
void writeLargePhoto(const QString& path) {
    QImage image(8660, 5773, QImage::Format_RGB32);
    QRandomGenerator random(50);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qRgb(x * 255 / image.width(), y * 255 / image.height(),
                           100 + static_cast<int>(random.bounded(24u)));
        }
    }
    image.save(path, "JPEG", 90);
}

double childPeakMb(const QString& path, const QString& size) {
    QProcess child;
    child.setProcessEnvironment(bench::childEnvironment());
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--picture-child"), path, size});
    child.waitForFinished(-1);
    bool ok = false;
    const double peak = child.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok && child.exitCode() == 0 ? peak : -1;
}

} // namespace

int runPictureChild(int argc, char* argv[]) {
    if (argc != 4 || QByteArray(argv[1]) != "--picture-child") {
        return -1;
    }
    QApplication application(argc, argv);
    const QList<QByteArray> size = QByteArray(argv[3]).split('x');
    const ui::LoadedPicture picture = ui::loadPictureScaled(
        QString::fromLocal8Bit(argv[2]), QSize(size.value(0).toInt(), size.value(1).toInt()), 1);
    std::printf("%.1f\n", bench::peakRssMb());
    return picture.status == ui::PictureStatus::Loaded ? 0 : 1;
}

void runPictureBenchmarks() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.jpg"));
    writeLargePhoto(path);
    std::printf("photo50_card_peak_rss_mb %.1f\n", childPeakMb(path, QStringLiteral("177x169")));
    std::printf("photo50_natural_peak_rss_mb %.1f\n", childPeakMb(path, QStringLiteral("0x0")));
    std::fflush(stdout);
}
