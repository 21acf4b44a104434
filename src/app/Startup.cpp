#include "app/Startup.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "store/ItemDatabase.h"

#include <QDir>

namespace app {

void PrepareProgramFolderAndItems() {
    Guard guard;
    guard.step(
        [] { g_sDefaultImagePath = ProgramPath(QStringLiteral("\\_images\\corvantheil5.jpg")); });
    for (const char* relative : {"\\_reports\\", "\\_data\\", "\\_data\\_userImages\\"}) {
        guard.step([&] {
            const QString folder = NativePath(ProgramPath(QString::fromLatin1(relative)));
            if (!QDir(folder).exists() && !QDir().mkdir(folder)) {
                Raise(kPathNotFound);
            }
        });
    }
    guard.step([] { store::LoadAllItems(); });
}

} // namespace app
