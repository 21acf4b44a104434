#include "app/Main.h"
#include "app/Constants.h"
#include "app/Launch.h"
#include "platform/QtPlatform.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(app::kTitle);
    QApplication::setDesktopFileName(app::kExecutableName);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvantheil.png")));
    platform::useQtSeams();
    // Declared before the window, so the lock outlives it.
    app::Launch launch;
    if (const std::optional<int> exitCode = launch.start(
            QApplication::arguments(),
            app::Installation::ofThisProgram(QStringLiteral(CORVANTHEIL_SHARED_FILES)))) {
        return *exitCode;
    }
    const std::unique_ptr<MainWindow> window = app::main();
    return QApplication::exec();
}
