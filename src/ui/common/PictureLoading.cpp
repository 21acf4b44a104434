#include "ui/common/PictureLoading.h"

#include "app/ProgramFolder.h"
#include "ui/common/HeifPicture.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmapCache>
#include <QThread>
#include <algorithm>
#include <array>
#include <atomic>
#include <thread>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace ui {
namespace {

// A header claiming more pixels is refused unread: a 200-megapixel phone photo
// passes, a made-up header that would take minutes or gigabytes does not.
constexpr qint64 kMaxPixels = qint64(16384) * 16384;
// What a picture may take while decoded whole: a 50-megapixel scan in colour.
constexpr int kWholeDecodeLimitMb = 256;
// Larger whole decodes are not run side by side but one at a time.
constexpr qint64 kSideBySideDecodeBytes = qint64(64) << 20;

PictureStatus statusOf(QImageReader::ImageReaderError error) {
    switch (error) {
    case QImageReader::FileNotFoundError:
    case QImageReader::UnsupportedFormatError:
    case QImageReader::InvalidDataError:
        return PictureStatus::NotAPicture;
    default:
        return PictureStatus::OtherFailure;
    }
}

// Tells the file's contents apart from what stood under its name before: a
// copy over a picture (a new file renamed into place) within the same
// millisecond, and of the same size, must not find the old decode.
QString fileVersion(const QFileInfo& info) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(info.absoluteFilePath()).constData(), &st) == 0) {
        return QString::number(st.st_ino) + u'.' + QString::number(st.st_mtim.tv_sec) + u'.' +
               QString::number(st.st_mtim.tv_nsec) + u'.' + QString::number(st.st_size);
    }
#endif
    return QString::number(info.lastModified().toMSecsSinceEpoch()) + u'.' +
           QString::number(info.size());
}

QString cacheKey(const QFileInfo& info, QSize size) {
    return info.absoluteFilePath() + u'|' + QString::number(size.width()) + u'x' +
           QString::number(size.height()) + u'|' + fileVersion(info);
}

QSize deviceSize(QSize shownSize, qreal devicePixelRatio) {
    return (QSizeF(shownSize) * devicePixelRatio).toSize();
}

// What a reader reports before it has read a picture is not always a format
// at all (a text file named .png): anything out of range counts as unknown.
bool isKnownFormat(QImage::Format format) {
    return format > QImage::Format_Invalid && format < QImage::NImageFormats;
}

bool isIndexed(QImage::Format format) {
    return format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
           format == QImage::Format_Indexed8;
}

// Readers that reduce while reading (JPEG, PNG) average the stored values:
// right for opaque true colour only. Palette pictures come back re-dithered
// to a palette, and transparent pixels darken the edges of what they border.
bool reducesRightWhileReading(QImage::Format format) {
    return isKnownFormat(format) && !isIndexed(format) &&
           QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::IgnoresAlpha;
}

qint64 wholeDecodeBytes(QSize size, QImage::Format format) {
    const int bits = isKnownFormat(format) ? QImage::toPixelFormat(format).bitsPerPixel() : 32;
    return qint64(size.width()) * size.height() * bits / 8;
}

// Averages blocks of fx by fy pixels straight from the colour table into true
// colour, so that no true-colour copy of the whole picture is ever made.
QImage averagedFromTable(const QImage& source, int fx, int fy) {
    std::array<QRgb, 256> colours;
    colours.fill(qRgb(0, 0, 0));
    const QList<QRgb> table = source.colorTable();
    for (qsizetype i = 0; i < std::min<qsizetype>(table.size(), 256); ++i) {
        colours[static_cast<std::size_t>(i)] = qPremultiply(table[i]);
    }
    const QImage::Format format = source.format();
    const auto indexAt = [format](const uchar* line, int x) -> int {
        switch (format) {
        case QImage::Format_Mono:
            return (line[x >> 3] >> (7 - (x & 7))) & 1;
        case QImage::Format_MonoLSB:
            return (line[x >> 3] >> (x & 7)) & 1;
        default:
            return line[x];
        }
    };
    const int width = source.width();
    const int height = source.height();
    QImage out((width + fx - 1) / fx, (height + fy - 1) / fy,
               source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                        : QImage::Format_RGB32);
    if (out.isNull()) {
        return out;
    }
    std::vector<quint64> sums(4 * static_cast<std::size_t>(out.width()));
    for (int oy = 0; oy < out.height(); ++oy) {
        std::fill(sums.begin(), sums.end(), 0);
        const int top = oy * fy;
        const int bottom = std::min(top + fy, height);
        for (int y = top; y < bottom; ++y) {
            const uchar* line = source.constScanLine(y);
            for (int ox = 0, x = 0; ox < out.width(); ++ox) {
                quint64* sum = &sums[4 * static_cast<std::size_t>(ox)];
                for (const int end = std::min(x + fx, width); x < end; ++x) {
                    const QRgb c = colours[static_cast<std::size_t>(indexAt(line, x))];
                    sum[0] += qRed(c);
                    sum[1] += qGreen(c);
                    sum[2] += qBlue(c);
                    sum[3] += qAlpha(c);
                }
            }
        }
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(oy));
        for (int ox = 0; ox < out.width(); ++ox) {
            const quint64 n = quint64(std::min(fx, width - ox * fx)) * quint64(bottom - top);
            const quint64* sum = &sums[4 * static_cast<std::size_t>(ox)];
            line[ox] = qRgba(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n),
                             int((sum[2] + n / 2) / n), int((sum[3] + n / 2) / n));
        }
    }
    return out;
}

// Smooth scaling hands a palette picture back as a palette picture, dithered
// anew: a one-bit picture turns into a black-and-white checker pattern.
QImage fitted(QImage image, QSize device) {
    if (isIndexed(image.format())) {
        image = averagedFromTable(image, std::max(1, image.width() / device.width()),
                                  std::max(1, image.height() / device.height()));
    } else if (image.format() == QImage::Format_ARGB32) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied); // in place: no second copy
    }
    if (image.isNull() || image.size() == device) {
        return image;
    }
    return image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct Decoded {
    QImage image;
    PictureStatus status = PictureStatus::OtherFailure;
};

// Safe on any thread: no pixmap, no cache. An empty device size means the
// natural size.
// A HEIF picture is decoded whole by libheif, then reduced.
Decoded decodeHeifScaled(const QString& nativePath, QSize device, qint64 wholeDecodeBytesAllowed) {
    HeifPicture heif = readHeif(nativePath, wholeDecodeBytesAllowed);
    if (heif.image.isNull()) {
        return {QImage(), PictureStatus::NotAPicture};
    }
    if (device.isValid() && !device.isEmpty()) {
        heif.image = fitted(std::move(heif.image), device);
    }
    return {std::move(heif.image), PictureStatus::Loaded};
}

Decoded decodeScaled(const QString& nativePath, QSize device, qint64 wholeDecodeBytesAllowed) {
    QImageReader reader(nativePath);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid() && isHeifFile(nativePath)) {
        return decodeHeifScaled(nativePath, device, wholeDecodeBytesAllowed);
    }
    // A header that gave no size gave no trustworthy format either.
    const QImage::Format format = stored.isValid() ? reader.imageFormat() : QImage::Format_Invalid;
    if (stored.isValid() && qint64(stored.width()) * stored.height() > kMaxPixels) {
        return {QImage(), PictureStatus::NotAPicture};
    }
    const bool scaled = device.isValid() && !device.isEmpty();
    if (scaled && reader.supportsOption(QImageIOHandler::ScaledSize) &&
        reducesRightWhileReading(format)) {
        reader.setScaledSize(device);
    } else if (stored.isValid() && wholeDecodeBytes(stored, format) > wholeDecodeBytesAllowed) {
        return {QImage(), PictureStatus::NotAPicture};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return {QImage(), statusOf(reader.error())};
    }
    if (scaled) {
        image = fitted(std::move(image), device);
        if (image.isNull()) {
            return {QImage(), PictureStatus::OtherFailure};
        }
    }
    return {std::move(image), PictureStatus::Loaded};
}

void setLimitsOnce() {
    static const bool set = [] {
        QPixmapCache::setCacheLimit(64 * 1024);
        QImageReader::setAllocationLimit(kWholeDecodeLimitMb);
        return true;
    }();
    Q_UNUSED(set);
}

QPixmap cachePixmap(const QString& key, QImage&& image, qreal devicePixelRatio) {
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace

LoadedPicture loadPictureScaled(const QString& nativePath, QSize shownSize,
                                qreal devicePixelRatio) {
    setLimitsOnce();
    const QFileInfo info(nativePath);
    if (!info.isFile()) {
        return {QPixmap(), PictureStatus::NotAPicture};
    }
    const QSize device = deviceSize(shownSize, devicePixelRatio);
    const QString key = cacheKey(info, device);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) {
        return {cached, PictureStatus::Loaded};
    }
    Decoded decoded = decodeScaled(nativePath, device, qint64(kWholeDecodeLimitMb) << 20);
    if (decoded.status != PictureStatus::Loaded) {
        return {QPixmap(), decoded.status};
    }
    return {cachePixmap(key, std::move(decoded.image), devicePixelRatio), PictureStatus::Loaded};
}

void preloadPicturesScaled(const QStringList& nativePaths, QSize shownSize,
                           qreal devicePixelRatio) {
    setLimitsOnce();
    const QSize device = deviceSize(shownSize, devicePixelRatio);
    struct Job {
        QString path;
        QString key;
        QImage image;
    };
    std::vector<Job> jobs;
    for (const QString& path : nativePaths) {
        const QFileInfo info(path);
        if (!info.isFile()) {
            continue;
        }
        const QString key = cacheKey(info, device);
        QPixmap cached;
        const bool queued =
            std::any_of(jobs.begin(), jobs.end(), [&](const Job& j) { return j.key == key; });
        if (!queued && !QPixmapCache::find(key, &cached)) {
            jobs.push_back({path, key, {}});
        }
    }
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t k = next++; k < jobs.size(); k = next++) {
            jobs[k].image = decodeScaled(jobs[k].path, device, kSideBySideDecodeBytes).image;
        }
    };
    const std::size_t workers =
        std::min<std::size_t>(jobs.size(), std::max(1, QThread::idealThreadCount()));
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < workers; ++t) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads) {
        t.join();
    }
    // Failures, and pictures too large to decode side by side, are left for
    // loadPictureScaled, which decodes them one at a time and reports them.
    for (Job& job : jobs) {
        if (!job.image.isNull()) {
            cachePixmap(job.key, std::move(job.image), devicePixelRatio);
        }
    }
}

LoadedPicture loadPictureOrInvalid(const QString& nativePath, QSize shownSize,
                                   qreal devicePixelRatio) {
    LoadedPicture picture = loadPictureScaled(nativePath, shownSize, devicePixelRatio);
    if (picture.status == PictureStatus::NotAPicture) {
        picture = loadPictureScaled(
            app::nativePath(programImagePath(QStringLiteral("invalidPictureFormat.jpg"))),
            shownSize, devicePixelRatio);
    }
    return picture;
}

QSize pictureNaturalSize(const QString& nativePath) {
    QImageReader reader(nativePath);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid()) {
        return isHeifFile(nativePath) ? heifSize(nativePath) : QSize();
    }
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90)
               ? stored.transposed()
               : stored;
}

QString pictureProblem(const QString& nativePath) {
    setLimitsOnce();
    const QSize stored = QImageReader(nativePath).size();
    if (stored.isValid() && qint64(stored.width()) * stored.height() > kMaxPixels) {
        return QStringLiteral("it is larger than 16384 by 16384 pixels");
    }
    switch (decodeScaled(nativePath, QSize(32, 32), qint64(kWholeDecodeLimitMb) << 20).status) {
    case PictureStatus::Loaded:
        return {};
    case PictureStatus::NotAPicture:
        return stored.isValid()
                   ? QStringLiteral("the picture in it is damaged or too large to show")
                   : QStringLiteral("it is not a picture the program can read");
    case PictureStatus::OtherFailure:
        break;
    }
    return QStringLiteral("the file could not be read");
}

QString programImagePath(const QString& fileName) {
    return app::programPath(QStringLiteral("\\_images\\") + fileName);
}

} // namespace ui
