#include "ui/main/PictureLoading.h"

#include "app/ProgramFolder.h"

#include <QFileInfo>
#include <QDateTime>
#include <QImageReader>
#include <QPixmapCache>

namespace ui {
namespace {

PictureStatus StatusOf(QImageReader::ImageReaderError error) {
    switch (error) {
    case QImageReader::FileNotFoundError:
    case QImageReader::UnsupportedFormatError:
    case QImageReader::InvalidDataError:
        return PictureStatus::NotAPicture;
    default:
        return PictureStatus::OtherFailure;
    }
}

QString CacheKey(const QFileInfo& info, QSize size) {
    return info.absoluteFilePath() + u'|' + QString::number(size.width()) + u'x' +
           QString::number(size.height()) + u'|' +
           QString::number(info.lastModified().toMSecsSinceEpoch()) + u'|' +
           QString::number(info.size());
}

} // namespace

LoadedPicture LoadPictureScaled(const QString& nativePath, QSize shownSize, qreal devicePixelRatio) {
    static const bool sized = [] {
        QPixmapCache::setCacheLimit(64 * 1024);
        return true;
    }();
    Q_UNUSED(sized);

    const QFileInfo info(nativePath);
    if (!info.isFile()) {
        return {QPixmap(), PictureStatus::NotAPicture};
    }
    const QSize device = (QSizeF(shownSize) * devicePixelRatio).toSize();
    const QString key = CacheKey(info, device);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) {
        return {cached, PictureStatus::Loaded};
    }
    QImageReader reader(nativePath);
    reader.setAutoTransform(true);
    if (device.isValid() && !device.isEmpty()) {
        reader.setScaledSize(device);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return {QPixmap(), StatusOf(reader.error())};
    }
    if (device.isValid() && image.size() != device) {
        image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return {pixmap, PictureStatus::Loaded};
}

QSize PictureNaturalSize(const QString& nativePath, PictureStatus* status) {
    QImageReader reader(nativePath);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (status) {
        *status = size.isValid() && reader.canRead() ? PictureStatus::Loaded
                                                     : StatusOf(reader.error());
    }
    return size;
}

QString ProgramImagePath(const QString& fileName) {
    return app::ProgramPath(QStringLiteral("\\_images\\") + fileName);
}

} // namespace ui
