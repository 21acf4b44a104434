#include "app/Constants.h"
#include "app/Startup.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(app::kTitle);
    app::PrepareProgramFolderAndItems();

    QMainWindow window;
    window.setWindowTitle(app::CaptionText());
    window.resize(11650 / 15, 9555 / 15);
    window.show();
    return QApplication::exec();
}
