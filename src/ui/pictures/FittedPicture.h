#pragma once

#include "ui/common/PictureLoading.h"

#include <QSize>
#include <QString>
#include <functional>

namespace ui {

struct FittedPicture {
    LoadedPicture loaded;
    QSize naturalSize; // pixels, of the picture actually loaded
};

// Loads a picture decoded at the size `shownFor` gives for its natural size
// (both in logical pixels). A file that is missing or no readable picture is
// replaced by the program's invalid-picture image, sized the same way.
FittedPicture loadFittedOrInvalid(const QString& nativePath,
                                  const std::function<QSize(QSize)>& shownFor,
                                  qreal devicePixelRatio);

} // namespace ui
