#include "ui/common/PictureLoading.h"

#include "app/ProgramFolder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmapCache>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace ui {
namespace {

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

QString cacheKey(const QFileInfo& info, QSize size) {
    return info.absoluteFilePath() + u'|' + QString::number(size.width()) + u'x' +
           QString::number(size.height()) + u'|' +
           QString::number(info.lastModified().toMSecsSinceEpoch()) + u'|' +
           QString::number(info.size());
}

QSize deviceSize(QSize shownSize, qreal devicePixelRatio) {
    return (QSizeF(shownSize) * devicePixelRatio).toSize();
}

// Safe on any thread: no pixmap, no cache.
QImage decodeScaled(const QString& nativePath, QSize device,
                    QImageReader::ImageReaderError* error) {
    QImageReader reader(nativePath);
    reader.setAutoTransform(true);
    if (device.isValid() && !device.isEmpty()) {
        reader.setScaledSize(device);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *error = reader.error();
        return image;
    }
    if (device.isValid() && image.size() != device) {
        image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

void sizeTheCache() {
    static const bool sized = [] {
        QPixmapCache::setCacheLimit(64 * 1024);
        return true;
    }();
    Q_UNUSED(sized);
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
    sizeTheCache();
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
    QImageReader::ImageReaderError error = QImageReader::UnknownError;
    QImage image = decodeScaled(nativePath, device, &error);
    if (image.isNull()) {
        return {QPixmap(), statusOf(error)};
    }
    return {cachePixmap(key, std::move(image), devicePixelRatio), PictureStatus::Loaded};
}

void preloadPicturesScaled(const QStringList& nativePaths, QSize shownSize,
                           qreal devicePixelRatio) {
    sizeTheCache();
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
            QImageReader::ImageReaderError error = QImageReader::UnknownError;
            jobs[k].image = decodeScaled(jobs[k].path, device, &error);
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
    // Failures are left for LoadPictureScaled, which reports them.
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
        return {};
    }
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90)
               ? stored.transposed()
               : stored;
}

QString programImagePath(const QString& fileName) {
    return app::programPath(QStringLiteral("\\_images\\") + fileName);
}

} // namespace ui
