#include "app/Startup.h"

#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"

#include <QDir>

namespace app {

void prepareProgramFolder() {
    Guard guard;
    // The parent before its child; a folder that cannot be made shows later,
    // where a write into it fails and is logged.
    for (const char* relative : {R"(\_reports\)", R"(\_data\)", R"(\_data\_userImages\)"}) {
        guard.step([&] {
            const QString folder = nativePath(programPath(QString::fromLatin1(relative)));
            if (!QDir(folder).exists() && !QDir().mkdir(folder)) {
                raise(kPathNotFound);
            }
        });
    }
}

} // namespace app
