// Starts as the program does until its window would appear: the command line,
// the program folder and its lock, the folders and the item database. Prints
// "running", then holds the lock until its standard input closes.
#include "app/Constants.h"
#include "app/Launch.h"
#include "app/Startup.h"
#include "store/Collection.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(app::kTitle);
    app::Installation installation = app::Installation::ofThisProgram(QString());
    installation.sharedFilesFolder = QStringLiteral(CORVANTHEIL_DATA_DIR);
    app::Launch launch;
    if (const std::optional<int> exitCode =
            launch.start(QCoreApplication::arguments(), installation)) {
        return *exitCode;
    }
    app::prepareProgramFolder();
    store::Collection collection(store::itemDatabasePath());
    collection.load();
    std::puts("running");
    std::fflush(stdout);
    char line[256];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
    }
    return 0;
}
