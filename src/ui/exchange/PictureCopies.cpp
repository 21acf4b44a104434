#include "ui/exchange/PictureCopies.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "ui/pictures/PictureImport.h"

#include <QDateTime>
#include <QFile>

std::optional<QString> PictureCopies::copyIn(const QString& source, QString& failure) {
    try {
        // As Add Picture copies one: never over a file, a phone photo as a JPEG.
        const ui::ImportedPicture copy =
            ui::importPicture({source, {}}, QDateTime::currentDateTime(), m_names);
        if (copy.name.isEmpty()) {
            failure = copy.refusal;
            return std::nullopt;
        }
        m_names << copy.name;
        m_made << app::nativePath(app::programPath(copy.name));
        return copy.name;
    } catch (const app::RuntimeError& e) {
        failure = app::failureCause(e);
        return std::nullopt;
    }
}

void PictureCopies::removeAll() {
    for (const QString& path : m_made) {
        QFile::remove(path);
    }
    m_made.clear();
}
