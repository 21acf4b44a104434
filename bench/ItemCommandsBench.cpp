// The item commands on a 20,000-coin collection, as the window runs them:
// opening the last item by its description, saving it, removing an item.
#include "Benchmarks.h"
#include "Timing.h"

#include "Program.h"
#include "app/ProgramFolder.h"
#include "platform/Platform.h"
#include "store/Collection.h"
#include "ui/edit/ItemCommands.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// Answers the removal question with OK.
class AnswerOk : public platform::MessageBoxes {
public:
    platform::Answer show(const platform::MessageRequest& /*request*/) override {
        return platform::Answer::Ok;
    }
};

} // namespace

void runItemCommandBenchmarks() {
    constexpr int kItems = 20000;
    QTemporaryDir dir;
    bench::makeProgramFolder(dir.path(), kItems);
    AnswerOk answers;
    platform::install(&answers);
    {
        app::Program program = app::main();
        MainWindow& window = *program.window;
        const QString database = app::nativePath(store::itemDatabasePath());
        QFile file(database);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        file.close();
        bench::printFigure(QStringLiteral("write_floor_20000"), bench::medianMs(9, [&] {
                               bench::writeFloor(database + QStringLiteral(".floor"), bytes);
                           }));
        QFile::remove(database + QStringLiteral(".floor"));

        // A fresh collection each time: the last item read from the file.
        bench::printFigure(QStringLiteral("open_item_20000"), bench::medianMs(9, [&] {
                               program.collection->load();
                               window.openItem(kItems - 1);
                           }));
        bench::printFigure(QStringLiteral("save_item_20000"),
                           bench::medianMs(9, [&] { window.commands().save(); }));
        window.showHomePage();
        bench::printFigure(QStringLiteral("remove_item_20000"), bench::medianMs(9, [&] {
                               window.homePage().selectCard(1);
                               window.commands().removeSelectedItem();
                           }));
    }
    platform::install(static_cast<platform::MessageBoxes*>(nullptr));
    app::setProgramFolder(QString());
}
