#include "ui/exchange/PictureCopies.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "ui/pictures/PictureList.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

std::optional<QString> PictureCopies::copyIn(const QString& source, QString& failure) {
    const QString named = ui::copiedPictureName(QDateTime::currentDateTime(), source);
    // Many pictures are copied within one second: "-2", "-3" go before the ending.
    QString name = named;
    for (int n = 2; QFileInfo::exists(app::nativePath(app::programPath(name))); ++n) {
        name = named;
        name.insert(name.size() - 4, u'-' + QString::number(n));
    }
    const QString target = app::nativePath(app::programPath(name));
    try {
        ui::copyPictureFile(source, target);
    } catch (const app::RuntimeError& e) {
        failure = app::failureCause(e);
        return std::nullopt;
    }
    m_made << target;
    return name;
}

void PictureCopies::removeAll() {
    for (const QString& path : m_made) {
        QFile::remove(path);
    }
    m_made.clear();
}
