#include "ui/pictures/FittedPicture.h"

#include "app/ProgramFolder.h"

namespace ui {
namespace {

FittedPicture loadFitted(const QString& nativePath, const std::function<QSize(QSize)>& shownFor,
                         qreal devicePixelRatio) {
    const QSize natural = pictureNaturalSize(nativePath);
    if (!natural.isValid() || natural.isEmpty()) {
        return {{QPixmap(), PictureStatus::NotAPicture}, natural};
    }
    // Never smaller than a pixel, however thin the picture.
    const QSize shown = shownFor(natural).expandedTo(QSize(1, 1));
    return {loadPictureScaled(nativePath, shown, devicePixelRatio), natural};
}

} // namespace

FittedPicture loadFittedOrInvalid(const QString& nativePath,
                                  const std::function<QSize(QSize)>& shownFor,
                                  qreal devicePixelRatio) {
    FittedPicture picture = loadFitted(nativePath, shownFor, devicePixelRatio);
    if (picture.loaded.status == PictureStatus::NotAPicture) {
        picture = loadFitted(
            app::nativePath(programImagePath(QStringLiteral("invalidPictureFormat.jpg"))), shownFor,
            devicePixelRatio);
    }
    return picture;
}

} // namespace ui
