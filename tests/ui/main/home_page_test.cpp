// The home page: its scan over a collection without widgets, then the page
// itself with its cards, paging links and filter box.
#include "TestSupport.h"
#include "app/ProgramFolder.h"
#include "store/AttributeLists.h"
#include "store/Collection.h"
#include "ui/common/Controls.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/PictureLoading.h"
#include "ui/main/HomePage.h"

#include <QComboBox>
#include <QFrame>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A collection and the page on it, alone.
struct Page {
    ProgramFolderFixture folder;
    store::Collection collection{store::itemDatabasePath()};
    QWidget scroll;
    HomePage home{&scroll, collection};

    Page() {
        home.fillFilterList();
        scroll.resize(760, 570);
        scroll.show();
    }
    void setItems(const std::vector<TestItem>& items) {
        folder.write("_data\\991106EB51", databaseText(items));
        collection.load();
    }
    // "Coin 1".."Coin count", odd ones of coin type 0, even ones of type 4.
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
    // The scan alone.
    ui::HomePageContent fill(qsizetype first, const QString& filter = "Show All Coins") const {
        const int row = int(ui::homeFilterList().indexOf(filter));
        return ui::loadPropertiesOnMainPage(collection, first, filter, row, {}, 0);
    }
    void load(qsizetype first = 1) {
        home.loadPropertiesOnMainPage(first, home.filterBox()->currentText());
    }
    template <class W = QLabel> W* find(const char* name, int index = 0) const {
        for (W* w : scroll.findChildren<W*>(QLatin1StringView(name))) {
            if (index == 0 || w->property("index").toInt() == index) {
                return w;
            }
        }
        return nullptr;
    }
    QByteArray log() const { return folder.read("corvantheil.Err"); }
};

// The item numbers of the cards shown, between "<" and ">" for the links.
QString shown(const ui::HomePageContent& page) {
    QStringList parts(page.previousPage ? 1 : 0, "<");
    for (const ui::CardContent& card : page.cards) {
        if (card.visible) {
            parts << card.tag;
        }
    }
    return (parts << QStringList(page.nextPage ? 1 : 0, ">")).join(' ');
}

} // namespace

class HomePageTest : public QObject {
    Q_OBJECT
private slots:
    void firstItemAndLinks_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0 counts as 1") << 0 << 7 << "1 2 3 4 5 6 >";
        QTest::newRow("-1 counts as 1") << -1 << 7 << "1 2 3 4 5 6 >";
        QTest::newRow("last page of 7") << 5 << 7 << "< 5 6 7";
        QTest::newRow("5 items") << 1 << 5 << "1 2 3 4 5";
        QTest::newRow("6 items") << 1 << 6 << "1 2 3 4 5 6 >";
        QTest::newRow("past the end of 6") << 7 << 6 << "<";
        QTest::newRow("no items") << 1 << 0 << "";
    }
    void firstItemAndLinks() {
        QFETCH(int, first);
        QFETCH(int, items);
        Page page;
        page.setCoins(items);
        QTEST(shown(page.fill(first)), "shown");
    }

    // Under a filter, Previous steps back six item numbers, not six shown items.
    void pagingUnderAFilterMovesByItemNumbers() {
        Page page;
        page.setCoins(15, [](int n) { return QString(n >= 4 && n <= 6 ? "500" : "10"); });
        const QString filter = "Current Value < $100";
        ui::HomePageContent content = page.fill(1, filter);
        QCOMPARE(shown(content), "1 2 3 7 8 9 >");
        content = page.fill(content.cards[5].tag.toInt() + 1, filter);
        QCOMPARE(shown(content), "< 10 11 12 13 14 15 >");
        content = page.fill(content.cards[0].tag.toInt() - 6, filter);
        QCOMPARE(shown(content), "< 7 8 9 10 11 12 >");
        QCOMPARE(shown(page.fill(1, "ONLY " + store::coinTypeList().at(0))), "1 3 5 7 9 11 >");
    }

    // One item; key "-" leaves the field out of it.
    void filtersOneItem_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("logged");
        // Each value is shown or hidden; "logged" counts entries in the error log.
        const auto rows = [](const QString& f, const char* key,
                             std::initializer_list<std::pair<const char*, bool>> values,
                             int logged = 0) {
            for (const auto& [value, shown] : values) {
                QTest::addRow("%s: %s=%s", qPrintable(f), key, value)
                    << f << key << value << shown << logged;
            }
        };
        const QString lt100 = "Current Value < $100", lt1000 = "Current Value < $1,000";
        const QString with = "Show Coins With Images", without = "Show Coins Without Images";
        const QString only = "ONLY " + store::coinTypeList().at(2);
        const char *cv = "txtCurrentValue", *pic = "g_sListOfImagesForItem(1)";
        // 100.5 rounds half to even.
        rows(lt100, cv, {{"100", true}, {"100.49", true}, {"100.5", true}, {"100.51", false}});
        rows(lt100, cv, {{"", false}, {"lots", false}}, 1);
        rows(lt100, "TXTCURRENTVALUE", {{"150", false}});
        rows(lt1000, cv, {{"$1,000.00", true}, {"1,001", false}});
        rows(only, "cmbCoinType", {{"2", true}, {"3", false}});
        rows(with, pic, {{" ", false}, {"x.jpg", true}});
        rows(without, pic, {{"x.jpg", false}, {"", true}});
        for (const QString& f : {lt100, only, with}) {
            rows(f, "-", {{"", true}});
        }
    }
    void filtersOneItem() {
        QFETCH(QString, filter);
        QFETCH(QString, key);
        QFETCH(QString, value);
        Page page;
        TestItem item = {{"txtDescription", "Coin 1"}};
        if (key != "-") {
            item.push_back({key, value});
        }
        page.setItems({item});
        QTEST(page.fill(1, filter).cards[0].visible, "shown");
        QTEST(int(page.log().count('\n')), "logged");
    }

    void cardShowsWhatItsFieldsGive() {
        Page page;
        page.setItems({{{"txtMiscNotes", "notes only"}},
                       {{"cmbGrade", "3"}},
                       {{"txtDescription", "Dime"}, {"txtCurrentValue", "12abc"}},
                       {{"txtDescription", "Cent"},
                        {"txtCurrentValue", "(1234.5)"},
                        {"g_sListOfImagesForItem(1)", "a.jpg"}}});
        const ui::HomePageContent content = page.fill(1);
        QVERIFY(content.cards[0].visible);
        // An item without shown fields keeps its card position, hidden.
        QVERIFY(!content.cards[1].visible);
        QCOMPARE(content.cards[2].tag, QStringLiteral("3"));
        QCOMPARE(content.cards[2].line2, QString());
        QCOMPARE(content.cards[3].line2, QStringLiteral("Current Value = ($1,234.50)"));
        QCOMPARE(content.cards[3].pictureTag, QStringLiteral("a.jpg"));
        QCOMPARE(content.cards[2].pictureTag, QStringLiteral("noImageAvailable.jpg"));
        QCOMPARE(page.log().count('\n'), 1);
        QVERIFY(page.log().contains("\"13\",\"Type mismatch\""));
    }

    void pagesForwardAndBackByTheLinks() {
        Page page;
        page.setCoins(7);
        page.load();
        auto* next = page.find<LinkLabel>("lblNextPage");
        auto* previous = page.find<LinkLabel>("lblPreviousPage");
        QVERIFY(!previous->isVisible());
        // Hover look, and a release outside the link does nothing.
        emit next->pointerEntered();
        QCOMPARE(next->palette().color(QPalette::WindowText), ui::kLinkHover);
        QVERIFY(next->font().underline());
        emit next->pointerLeft();
        QCOMPARE(next->palette().color(QPalette::WindowText), ui::kNavy);
        QTest::mouseRelease(next, Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(page.home.cardTag(1), QStringLiteral("1"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(page.home.cardLine1(1), QStringLiteral("Coin 7"));
        QVERIFY(!page.home.cardVisible(2) && !next->isVisible());
        QTest::mouseClick(previous, Qt::LeftButton);
        QCOMPARE(page.home.cardLine2(6), QStringLiteral("Current Value = $60.00"));
        QVERIFY(page.home.cardVisible(6) && !previous->isVisible());
    }

    // "own" copies a program picture in as the item's; "gone" first shows a
    // missing picture, then deletes the program's no-image picture.
    void loadsTheCardPicture_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // a program picture
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QByteArray>("logged");
        const QString name = "_data\\_userImages\\20240315143005.jpg";
        const QString bad = "invalidPictureFormat.jpg", none = "noImageAvailable.jpg";
        QTest::newRow("own") << name << QByteArray("own") << "corvantheil5.jpg" << name
                             << QByteArray();
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
        if (file == "own") {
            page.folder.write(stored, page.folder.read("_images\\corvantheil5.jpg"));
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
        const QLabel* picture = page.find("picSelectProperty", 1);
        const QString path = app::nativePath(ui::programImagePath(expected));
        QCOMPARE(picture->pixmap().toImage(),
                 ui::loadPictureScaled(path, picture->contentsRect().size(), 1).pixmap.toImage());
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
        QCOMPARE(QList<QVariantList>(opened), (QList<QVariantList>{{3}, {4}, {6}}));
        // A border on a hidden card is no highlight; filling keeps borders.
        page.home.selectCard(6);
        page.setCoins(5);
        page.load();
        QVERIFY(page.home.cardHasBorder(6));
        QCOMPARE(page.home.highlightedCard(), 0);
    }

    void choosingAFilterReloadsAndClearsTheHighlight() {
        Page page;
        QCOMPARE(page.home.filterBox()->count(), 121);
        page.setCoins(8);
        page.load(3);
        page.home.selectCard(1);
        // Down chooses the next row, "ONLY " + coin type 0, as a user does.
        QTest::keyClick(page.home.filterBox(), Qt::Key_Down);
        QCOMPARE(page.home.filterBox()->currentIndex(), 1);
        QCOMPARE(page.home.cardLine1(1), QStringLiteral("Coin 1"));
        QCOMPARE(page.home.cardLine1(4), QStringLiteral("Coin 7"));
        QVERIFY(!page.home.cardVisible(5));
        QCOMPARE(page.home.highlightedCard(), 0);
        QVERIFY(!page.find<LinkLabel>("lblPreviousPage")->isVisible());
    }
};

QTEST_MAIN(HomePageTest)
#include "home_page_test.moc"
