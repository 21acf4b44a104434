#include "Benchmarks.h"

#include "SyntheticCollection.h"
#include "Timing.h"
#include "app/ProgramFolder.h"
#include "store/Collection.h"
#include "ui/main/HomePage.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <QPixmapCache>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A program folder holding the shipped pictures, used for the run.
struct BenchFolder {
    QTemporaryDir dir;
    BenchFolder() {
        QDir().mkpath(dir.filePath(QStringLiteral("_images")));
        QDir().mkpath(dir.filePath(QStringLiteral("_data/_userImages")));
        const QDir shipped(QStringLiteral(CORVANTHEIL_DATA_DIR "/_images"));
        for (const QString& name : shipped.entryList(QDir::Files)) {
            QFile::copy(shipped.filePath(name), dir.filePath(QStringLiteral("_images/") + name));
        }
        app::setProgramFolder(dir.path());
    }
    ~BenchFolder() { app::setProgramFolder(QString()); }
};

void print(const char* name, double ms) {
    bench::printFigure(QLatin1StringView(name), ms);
}

// Thirty fields in the order the item window stores them. Like the INI layer,
// every item shares one copy of each key name.
std::vector<store::IniEntry> syntheticItem(int n) {
    static const QStringList kKeys = {"txtMiscNotes3",
                                      "txtMiscNotes2",
                                      "txtMiscNotes",
                                      "cmbGrade",
                                      "cmbMintMark",
                                      "cmbCoinType",
                                      "txtCountry",
                                      "txtItemNumber",
                                      "txtYear",
                                      "txtDescription",
                                      "txtFinancialChangeInValue",
                                      "txtLastAppraisal",
                                      "txtDateAcquired",
                                      "txtValuationSource",
                                      "txtCurrentValue",
                                      "txtPurchasePrice",
                                      "txtDetail4",
                                      "txtDetail5",
                                      "txtMiscDetail4",
                                      "txtMiscDetail5",
                                      "txtDetail1",
                                      "txtDetail2",
                                      "txtDetail3",
                                      "txtMiscDetail1",
                                      "txtMiscDetail2",
                                      "txtMiscDetail3",
                                      "txtCategory",
                                      "txtPackagingType",
                                      "txtBoxNumber",
                                      "g_sListOfImagesForItem(1)"};
    std::vector<store::IniEntry> item;
    item.reserve(static_cast<std::size_t>(kKeys.size()));
    for (const QString& key : kKeys) {
        item.push_back({key, QStringLiteral("value %1 of %2").arg(n).arg(key)});
    }
    item[3].value = QString::number(n % 26);
    item[5].value = QString::number(n % 97);
    item[9].value = QStringLiteral("%1 Silver Dollar #%2").arg(1878 + n % 50).arg(n);
    item[14].value = QStringLiteral("$%1.25").arg(2 + n % 4000);
    item[29].value = QStringLiteral("_data\\_userImages\\%1.jpg").arg(n);
    return item;
}

void benchManyItems() {
    BenchFolder folder;
    constexpr int kItems = 20000;
    bench::writeDatabase(store::itemDatabasePath(), kItems,
                         [](QRandomGenerator&, int i) { return syntheticItem(i); });
    store::Collection collection(store::itemDatabasePath());
    collection.load();

    QWidget scroll;
    HomePage home(&scroll, collection);
    home.fillFilterList();
    const int filter = int(ui::homeFilterList().indexOf(QStringLiteral("Current Value < $1")));
    print("home_page_20000",
          bench::medianMs(15, [&] { home.loadPropertiesOnMainPage(1, filter); }));
}

void writePhoto(const QString& path, int seed);

} // namespace

void bench::writePhoto(const QString& path, int seed) {
    ::writePhoto(path, seed);
}

namespace {

// A photograph-like picture: smooth gradients under fine sensor-like noise,
// which at quality 90 gives a file of about 2.6 MB, as a camera's would be.
void writePhoto(const QString& path, int seed) {
    QImage image(4000, 3000, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, 4000, 3000);
        gradient.setColorAt(0, QColor::fromHsv((seed * 60) % 360, 180, 220));
        gradient.setColorAt(1, QColor::fromHsv((seed * 60 + 150) % 360, 200, 90));
        painter.fillRect(image.rect(), gradient);
    }
    QRandomGenerator random(static_cast<quint32>(seed));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int d = static_cast<int>(random.bounded(16u)) - 8;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + d, 0, 255), std::clamp(qGreen(p) + d, 0, 255),
                           std::clamp(qBlue(p) + d, 0, 255));
        }
    }
    image.save(path, "JPEG", 90);
}

// A one-bit scan of a page of coins at 300 dpi: rubbings as dithered grey
// discs among lines of text, as a flatbed scanner's fax mode gives them.
void writeScan(const QString& path, int seed) {
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        QRandomGenerator random(static_cast<quint32>(seed));
        painter.setPen(QPen(Qt::black, 4));
        for (int line = 0; line < 120; ++line) {
            const int y = 150 + line * 27;
            for (int x = 150; x < 2300; x += 40 + static_cast<int>(random.bounded(80u))) {
                painter.drawLine(x, y, x + 30, y);
            }
        }
        painter.setBrush(QColor::fromHsv((seed * 60) % 360, 60, 150));
        for (int coin = 0; coin < 4; ++coin) {
            painter.drawEllipse(QPoint(700 + coin % 2 * 1100, 900 + coin / 2 * 1600), 450, 450);
        }
    }
    page.convertToFormat(QImage::Format_Mono, Qt::DiffuseDither).save(path, "PNG");
}

// Six cards, each with its own picture written by `write`, shown with the
// cache emptied each time.
void benchCardPage(const char* figure, const QString& suffix,
                   void (*write)(const QString& path, int seed)) {
    BenchFolder folder;
    bench::writeDatabase(
        store::itemDatabasePath(), HomePage::kCards, [&](QRandomGenerator&, int n) {
            const QString name =
                QStringLiteral("_data\\_userImages\\2024031514300%1").arg(n) + suffix;
            write(app::nativePath(app::programPath(name)), n);
            return std::vector<store::IniEntry>{
                {QStringLiteral("txtDescription"), QStringLiteral("Picture %1").arg(n)},
                {QStringLiteral("txtCurrentValue"), QStringLiteral("100")},
                {QStringLiteral("g_sListOfImagesForItem(1)"), name}};
        });
    store::Collection collection(store::itemDatabasePath());
    collection.load();

    QWidget scroll;
    HomePage home(&scroll, collection);
    home.fillFilterList();
    print(figure, bench::medianMs(7, [&] {
              QPixmapCache::clear();
              home.loadPropertiesOnMainPage(1, home.filterRow());
          }));
}

} // namespace

void runHomePageBenchmarks() {
    benchManyItems();
    benchCardPage("photo_page_ms", QStringLiteral(".jpg"), writePhoto);
    benchCardPage("scan_page_ms", QStringLiteral(".png"), writeScan);
}
