#include "app/Constants.h"
#include "app/Main.h"
#include "ui/main/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(app::kTitle);
    const std::unique_ptr<frmMain> window = app::Main();
    return QApplication::exec();
}
