#include "TestSupport.h"
#include "app/ProgramFolder.h"
#include "store/AttributeLists.h"
#include "store/Collection.h"
#include "ui/common/Controls.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/PictureLoading.h"
#include "ui/main/HomePage.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {

QStringList coins(std::initializer_list<int> numbers) {
    QStringList lines;
    for (int n : numbers) {
        lines << QStringLiteral("Coin %1").arg(n);
    }
    return lines;
}

struct Page {
    ProgramFolderFixture folder;
    store::Collection collection{store::itemDatabasePath()};
    QWidget scroll;
    HomePage home{&scroll, collection};

    void setItems(const std::vector<TestItem>& items) {
        folder.write(QStringLiteral("_data\\991106EB51"), databaseText(items));
        collection.load();
    }
    // Items "Coin 1".."Coin count"; value(n) gives each its current value.
    void setCoins(
        int count, QString (*value)(int) = [](int n) { return QString::number(n * 10); }) {
        std::vector<TestItem> items;
        for (int n = 1; n <= count; ++n) {
            items.push_back({{"txtDescription", QStringLiteral("Coin %1").arg(n)},
                             {"txtCurrentValue", value(n)},
                             {"cmbCoinType", QString::number(n % 2 ? 0 : 4)}});
        }
        setItems(items);
    }

    Page() {
        home.fillFilterList();
        scroll.resize(760, 570);
        scroll.show();
    }
    template <class W = QLabel> W* find(const char* name, int index = 0) const {
        for (W* w : scroll.findChildren<W*>(QLatin1StringView(name))) {
            if (index == 0 || w->property("index").toInt() == index) {
                return w;
            }
        }
        return nullptr;
    }
    LinkLabel* link(const char* name) const { return find<LinkLabel>(name); }
    void load(qsizetype first = 1) {
        home.loadPropertiesOnMainPage(first, home.filterBox()->currentText());
    }
    void choose(const QString& filter) {
        home.filterBox()->setCurrentIndex(home.filterBox()->findText(filter));
        load();
    }
    // Line 1 of the visible cards, in card order.
    QStringList shown() const {
        QStringList lines;
        for (int n = 1; n <= HomePage::kCards; ++n) {
            if (home.cardVisible(n)) {
                lines << home.cardLine1(n);
            }
        }
        return lines;
    }
    QImage picture(int n) const { return find("picSelectProperty", n)->pixmap().toImage(); }
    QImage programImage(const QString& name) const {
        const QLabel* p = find("picSelectProperty", 1);
        return ui::loadPictureScaled(app::nativePath(ui::programImagePath(name)),
                                     p->contentsRect().size(), p->devicePixelRatioF())
            .pixmap.toImage();
    }
    QByteArray log() const { return folder.read(QStringLiteral("corvantheil.Err")); }
};

} // namespace

class HomePageTest : public QObject {
    Q_OBJECT
private slots:
    void pagesForwardAndBackByTheLinks() {
        Page page;
        page.setCoins(7);
        page.load();
        QCOMPARE(page.shown(), coins({1, 2, 3, 4, 5, 6}));
        QCOMPARE(page.home.cardLine2(3), QStringLiteral("Current Value = $30.00"));
        QVERIFY(page.link("lblNextPage")->isVisible());
        QVERIFY(!page.link("lblPreviousPage")->isVisible());

        // Hover look, and a release outside the link does nothing.
        LinkLabel* next = page.link("lblNextPage");
        emit next->pointerEntered();
        QCOMPARE(next->palette().color(QPalette::WindowText), ui::kLinkHover);
        QVERIFY(next->font().underline());
        emit next->pointerLeft();
        QCOMPARE(next->palette().color(QPalette::WindowText), ui::kNavy);
        QTest::mouseRelease(next, Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(page.home.cardTag(1), QStringLiteral("1"));

        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(page.shown(), coins({7}));
        QCOMPARE(page.home.cardTag(1), QStringLiteral("7"));
        QVERIFY(!next->isVisible());
        QVERIFY(page.link("lblPreviousPage")->isVisible());
        // Hidden cards keep what they showed last.
        QCOMPARE(page.home.cardLine1(2), QStringLiteral("Coin 2"));
        QCOMPARE(page.home.cardLine2(6), QStringLiteral("Current Value = $60.00"));

        QTest::mouseClick(page.link("lblPreviousPage"), Qt::LeftButton);
        QCOMPARE(page.shown(), coins({1, 2, 3, 4, 5, 6}));
    }

    // File "png" writes a picture, other content is written as is; "gone" first
    // shows a missing picture, then deletes the program's no-image picture.
    void loadsTheCardPicture_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // a program picture, or empty for the item's own
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QByteArray>("logged");
        const QString name = "_data\\_userImages\\20240315143005.png",
                      bad = "invalidPictureFormat.jpg";
        const QString none = "noImageAvailable.jpg";
        QTest::newRow("own") << name << QByteArray("png") << QString() << name << QByteArray();
        QTest::newRow("missing") << name << QByteArray() << bad << name << QByteArray();
        QTest::newRow("not a picture") << name << QByteArray("text") << bad << name << QByteArray();
        QTest::newRow("blank name") << "   " << QByteArray() << none << none << QByteArray();
        QTest::newRow("no-image picture missing keeps the last")
            << "   " << QByteArray("gone") << bad << none
            << QByteArray("\"53\",\"File not found\"");
    }
    void loadsTheCardPicture() {
        QFETCH(QString, stored);
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QFETCH(QByteArray, logged);
        Page page;
        if (file == "png") {
            QImage own(40, 30, QImage::Format_RGB32);
            own.fill(Qt::darkGreen);
            QDir().mkpath(page.folder.path("_data\\_userImages"));
            QVERIFY(own.save(page.folder.path(stored), "PNG"));
        } else if (file == "gone") {
            page.setItems(
                {{{"txtDescription", "Coin 0"}, {"g_sListOfImagesForItem(1)", "gone.jpg"}}});
            page.load();
            QVERIFY(QFile::remove(page.folder.path("_images\\noImageAvailable.jpg")));
        } else if (!file.isEmpty()) {
            page.folder.write(stored, file);
        }
        page.setItems({{{"txtDescription", "Coin 1"}, {"g_sListOfImagesForItem(1)", stored}}});
        page.load();
        QTEST(page.home.cardPictureTag(1), "tag");
        const QImage shown = page.picture(1);
        if (expected.isEmpty()) {
            QCOMPARE(shown.pixelColor(shown.rect().center()), QColor(Qt::darkGreen));
        } else {
            QCOMPARE(shown, page.programImage(expected));
        }
        QCOMPARE(page.log().count('\n'), logged.isEmpty() ? 0 : 1);
        QVERIFY(page.log().contains(logged));
    }

    void mouseAndKeysSelectAndOpenCards() {
        Page page;
        page.setCoins(8);
        page.load();
        QSignalSpy opened(&page.home, &HomePage::openCardRequested);
        QFrame* frame1 = page.find<QFrame>("frameSelectProperty", 1);
        QTest::mouseClick(page.find("picSelectProperty", 2), Qt::LeftButton);
        QCOMPARE(page.home.highlightedCard(), 2);
        QCOMPARE(page.find<QFrame>("frameSelectProperty", 2)->frameShape(), QFrame::Box);
        QTest::mouseClick(page.find("lblSelectPropertyLine1", 3), Qt::LeftButton);
        QTest::mouseClick(page.find("lblSelectPropertyLine2", 5), Qt::RightButton);
        QCOMPARE(page.home.highlightedCard(), 3);
        QVERIFY(!page.home.cardHasBorder(2));
        // The card's own frame neither reacts nor passes the click to the page.
        QTest::mouseClick(frame1, Qt::LeftButton, {}, QPoint(3, 100));
        QTest::mouseDClick(frame1, Qt::LeftButton, {}, QPoint(3, 100));
        QCOMPARE(page.home.highlightedCard(), 3);
        QTest::keyClick(page.home.filterBox(), Qt::Key_Enter);
        QTest::mouseClick(page.home.frame(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(page.home.highlightedCard(), 0);
        QTest::keyClick(page.home.filterBox(), Qt::Key_Return);
        QTest::mouseDClick(page.find("picSelectProperty", 4), Qt::LeftButton);
        QTest::mouseDClick(page.find("lblSelectPropertyLine2", 6), Qt::LeftButton);
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened.at(0).at(0).toInt(), 3);
        QCOMPARE(opened.at(1).at(0).toInt(), 4);
        QCOMPARE(opened.at(2).at(0).toInt(), 6);

        // A border on a hidden card is no highlight; filling keeps borders.
        page.home.selectCard(6);
        page.setCoins(5);
        page.load();
        QVERIFY(page.home.cardHasBorder(6));
        QCOMPARE(page.home.highlightedCard(), 0);
    }

    void choosingAFilterReloadsAndClearsTheHighlight() {
        Page page;
        const QComboBox* box = page.home.filterBox();
        QCOMPARE(box->count(), 121);
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(box->itemText(97), QStringLiteral("ONLY ") + store::coinTypeList().last());
        QCOMPARE(box->itemText(109), QStringLiteral("Current Value < $1,000"));
        page.setCoins(8);
        page.load(3);
        page.home.selectCard(1);
        // Down chooses the next row, "ONLY " + coin type 0, as a user does.
        QTest::keyClick(page.home.filterBox(), Qt::Key_Down);
        QCOMPARE(page.home.filterBox()->currentIndex(), 1);
        QCOMPARE(page.shown(), coins({1, 3, 5, 7}));
        QCOMPARE(page.home.highlightedCard(), 0);
        QVERIFY(!page.link("lblPreviousPage")->isVisible());
    }
};

QTEST_MAIN(HomePageTest)
#include "home_page_test.moc"
