#include "Program.h"
#include "app/Constants.h"
#include "app/Launch.h"
#include "platform/QtPlatform.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QIcon>

namespace {

// --help and --version print and end; they need no window system, so they
// work where no display is.
std::optional<int> answerWithoutWindows(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v" || arg == "-?") {
            const QCoreApplication core(argc, argv);
            QCoreApplication::setApplicationName(app::kTitle);
            app::Launch launch;
            return launch.start(QCoreApplication::arguments(), {});
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> answered = answerWithoutWindows(argc, argv)) {
        return *answered;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(app::kTitle);
    QApplication::setDesktopFileName(app::kExecutableName);
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128}) {
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/corvantheil.png").arg(size));
    }
    QApplication::setWindowIcon(icon);
    platform::useQtSeams();
    // Declared before the window, so the lock outlives it.
    app::Launch launch;
    if (const std::optional<int> exitCode = launch.start(
            QApplication::arguments(),
            app::Installation::ofThisProgram(QStringLiteral(CORVANTHEIL_SHARED_FILES)))) {
        return *exitCode;
    }
    const app::Program program = app::main();
    return QApplication::exec();
}
