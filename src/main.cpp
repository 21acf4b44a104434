#include "app/Main.h"
#include "app/Constants.h"
#include "platform/QtPlatform.h"
#include "ui/main/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(app::kTitle);
    platform::useQtSeams();
    const app::Program program = app::main();
    return QApplication::exec();
}
