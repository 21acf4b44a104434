#include "app/Startup.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "store/ItemDatabase.h"

#include <QDir>

namespace app {

void prepareProgramFolderAndItems() {
    Guard guard;
    guard.step(
        [] { g_sDefaultImagePath = programPath(QStringLiteral("\\_images\\corvantheil5.jpg")); });
    for (const char* relative : {"\\_reports\\", "\\_data\\", "\\_data\\_userImages\\"}) {
        guard.step([&] {
            const QString folder = nativePath(programPath(QString::fromLatin1(relative)));
            if (!QDir(folder).exists() && !QDir().mkdir(folder)) {
                raise(kPathNotFound);
            }
        });
    }
    guard.step([] { store::loadAllItems(); });
}

} // namespace app
