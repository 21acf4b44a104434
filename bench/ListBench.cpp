// The collection list at 100,000 coins, in a fresh process started as the
// program starts: opening it from the menu to the first rows painted, the
// whole collection read, a sort, a letter typed, a reread after a save, and
// the peak memory with the list open and sorted. Beside them the floor of a
// search: a plain byte search for the same word over the file in memory.
#include "Benchmarks.h"
#include "Timing.h"

#include "Program.h"
#include "app/ProgramFolder.h"
#include "store/Collection.h"
#include "ui/list/CollectionList.h"
#include "ui/main/MainMenus.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr int kItems = 100000;
const char* const kWord = "morgan";

// memmem is pure: a result nobody reads would let the compiler drop the search.
volatile qsizetype g_found = 0;

double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Occurrences of the word in the bytes, as memmem finds them.
qsizetype plainSearch(const QByteArray& bytes, const char* word) {
    qsizetype found = 0;
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    const std::size_t n = std::strlen(word);
    while (const void* hit = memmem(p, static_cast<std::size_t>(end - p), word, n)) {
        ++found;
        p = static_cast<const char*>(hit) + 1;
    }
    return found;
}

} // namespace

int runListChild(int argc, char* argv[]) {
    if (argc != 3 || QByteArray(argv[1]) != "--list-child") {
        return -1;
    }
    QApplication application(argc, argv);
    app::setProgramFolder(QString::fromLocal8Bit(argv[2]));
    const app::Program program = app::main();
    QApplication::processEvents();
    MainWindow& window = *program.window;

    QElapsedTimer timer;
    timer.start();
    window.menus().action(QStringLiteral("mnuViewCollectionList"))->trigger();
    CollectionList& list = *window.collectionList();
    list.view()->viewport()->repaint();
    const double open = msSince(timer);

    QEventLoop reading;
    QObject::connect(&list.model(), &CollectionListModel::contentChanged, &reading, [&] {
        if (list.model().isReady()) {
            reading.quit();
        }
    });
    if (!list.model().isReady()) {
        reading.exec();
    }
    const double ready = msSince(timer);

    timer.restart();
    list.model().sort(static_cast<int>(ui::ListColumn::CurrentValue), Qt::DescendingOrder);
    list.view()->viewport()->repaint();
    const double sort = msSince(timer);

    // The whole word at once reads every coin; its last letter only the coins
    // its first letters found.
    timer.restart();
    list.searchBox()->setText(QString::fromLatin1(kWord));
    list.view()->viewport()->repaint();
    const double word = msSince(timer);
    list.searchBox()->setText(QString::fromLatin1(kWord).chopped(1));
    timer.restart();
    list.searchBox()->setText(QString::fromLatin1(kWord));
    list.view()->viewport()->repaint();
    const double keystroke = msSince(timer);
    list.searchBox()->clear();
    const double peak = bench::peakRssMb();

    // After a save the list reads the keys of every coin again.
    program.collection->save(program.collection->record(0), 0);
    timer.restart();
    list.refresh();
    list.view()->viewport()->repaint();
    const double refresh = msSince(timer);

    // Text in the locale's order: 100,000 different item numbers ranked first.
    timer.restart();
    list.model().sort(static_cast<int>(ui::ListColumn::ItemNumber), Qt::AscendingOrder);
    list.view()->viewport()->repaint();
    const double sortText = msSince(timer);

    std::printf("%.2f %.2f %.2f %.2f %.2f %.2f %.1f %.2f\n", open, ready, sort, word, keystroke,
                refresh, peak, sortText);
    return 0;
}

void runListBenchmarks() {
    QTemporaryDir dir;
    const QString folder = dir.path();
    bench::makeProgramFolder(folder, kItems);

    QFile file(app::nativePath(store::itemDatabasePath()));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    file.close();
    if (bytes.size() < kItems) {
        std::fprintf(stderr, "no collection to search\n");
        return;
    }
    bench::printFigure(QStringLiteral("scan_floor_100000"),
                       bench::medianMs(9, [&] { g_found = plainSearch(bytes, kWord); }));

    const char* const names[] = {
        "list_open_100000",        "list_read_100000",        "sort_100000",
        "search_word_100000",      "search_keystroke_100000", "list_refresh_100000",
        "list_peak_rss_mb_100000", "sort_item_number_100000"};
    std::map<int, std::vector<double>> figures;
    for (int run = 0; run < 5; ++run) {
        QProcess child;
        child.setProcessEnvironment(bench::childEnvironment());
        child.start(QCoreApplication::applicationFilePath(), {"--list-child", folder});
        child.waitForFinished(-1);
        const QList<QByteArray> values = child.readAllStandardOutput().trimmed().split(' ');
        if (values.size() != 8) {
            std::fprintf(stderr, "list child failed\n");
            return;
        }
        for (int i = 0; i < 8; ++i) {
            figures[i].push_back(values[i].toDouble());
        }
    }
    for (int i = 0; i < 8; ++i) {
        bench::printFigure(QLatin1StringView(names[i]), bench::median(figures[i]));
    }
}
