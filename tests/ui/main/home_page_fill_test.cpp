// The home page's scan over a collection, without widgets.
#include "TestSupport.h"
#include "store/AttributeLists.h"
#include "store/Collection.h"
#include "ui/main/HomePageFill.h"

#include <QtTest>

namespace {

struct Scan {
    ProgramFolderFixture folder;
    store::Collection collection{store::itemDatabasePath()};

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
    ui::HomePageContent fill(qsizetype first, const QString& filter = "Show All Coins") const {
        return ui::loadPropertiesOnMainPage(collection, first, filter,
                                            static_cast<int>(ui::homeFilterList().indexOf(filter)),
                                            {}, 0);
    }
    QByteArray log() const { return folder.read(QStringLiteral("corvantheil.Err")); }
};

// Line 1 of the visible cards, in card order.
QStringList shown(const ui::HomePageContent& page) {
    QStringList lines;
    for (const ui::CardContent& card : page.cards) {
        if (card.visible) {
            lines << card.line1;
        }
    }
    return lines;
}

QStringList coins(std::initializer_list<int> numbers) {
    QStringList lines;
    for (int n : numbers) {
        lines << QStringLiteral("Coin %1").arg(n);
    }
    return lines;
}

} // namespace

class HomePageFillTest : public QObject {
    Q_OBJECT
private slots:
    void firstItemAndLinks_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("card1"); // empty: hidden
        QTest::addColumn<bool>("previous");
        QTest::addColumn<bool>("next");
        QTest::newRow("0 counts as 1") << 0 << 7 << "Coin 1" << false << true;
        QTest::newRow("-1 counts as 1") << -1 << 7 << "Coin 1" << false << true;
        QTest::newRow("last page of 7") << 5 << 7 << "Coin 5" << true << false;
        QTest::newRow("5 items") << 1 << 5 << "Coin 1" << false << false;
        QTest::newRow("6 items") << 1 << 6 << "Coin 1" << false << true;
        QTest::newRow("past the end of 6") << 7 << 6 << "" << true << false;
        QTest::newRow("no items") << 1 << 0 << "" << false << false;
    }
    void firstItemAndLinks() {
        QFETCH(int, first);
        QFETCH(int, items);
        QFETCH(QString, card1);
        Scan scan;
        scan.setCoins(items);
        const ui::HomePageContent page = scan.fill(first);
        QTEST(page.previousPage, "previous");
        QTEST(page.nextPage, "next");
        QCOMPARE(page.cards[0].visible ? page.cards[0].line1 : QString(), card1);
    }

    // Under a filter, Previous steps back six item numbers, not six shown items.
    void pagingUnderAFilterMovesByItemNumbers() {
        Scan scan;
        scan.setCoins(15, [](int n) { return QString(n >= 4 && n <= 6 ? "500" : "10"); });
        const QString filter = "Current Value < $100";
        ui::HomePageContent page = scan.fill(1, filter);
        QCOMPARE(shown(page), coins({1, 2, 3, 7, 8, 9}));
        page = scan.fill(page.cards[5].tag.toInt() + 1, filter);
        QCOMPARE(shown(page), coins({10, 11, 12, 13, 14, 15}));
        page = scan.fill(page.cards[0].tag.toInt() - 6, filter);
        QCOMPARE(shown(page), coins({7, 8, 9, 10, 11, 12}));
        QCOMPARE(shown(scan.fill(1, "ONLY " + store::coinTypeList().at(0))),
                 coins({1, 3, 5, 7, 9, 11}));
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
        Scan scan;
        TestItem item = {{"txtDescription", "Coin 1"}};
        if (key != "-") {
            item.push_back({key, value});
        }
        scan.setItems({item});
        QTEST(scan.fill(1, filter).cards[0].visible, "shown");
        QTEST(int(scan.log().count('\n')), "logged");
    }

    void cardShowsWhatItsFieldsGive() {
        Scan scan;
        scan.setItems({{{"txtMiscNotes", "notes only"}},
                       {{"cmbGrade", "3"}},
                       {{"txtDescription", "Dime"}, {"txtCurrentValue", "12abc"}},
                       {{"txtDescription", "Cent"},
                        {"txtCurrentValue", "(1234.5)"},
                        {"g_sListOfImagesForItem(1)", "a.jpg"}}});
        const ui::HomePageContent page = scan.fill(1);
        QVERIFY(page.cards[0].visible);
        // An item without shown fields keeps its card position, hidden.
        QVERIFY(!page.cards[1].visible);
        QCOMPARE(page.cards[2].tag, QStringLiteral("3"));
        QCOMPARE(page.cards[2].line2, QString());
        QCOMPARE(page.cards[3].line2, QStringLiteral("Current Value = ($1,234.50)"));
        QCOMPARE(page.cards[3].pictureTag, QStringLiteral("a.jpg"));
        QCOMPARE(page.cards[2].pictureTag, QStringLiteral("noImageAvailable.jpg"));
        QCOMPARE(scan.log().count('\n'), 1);
        QVERIFY(scan.log().contains("\"13\",\"Type mismatch\""));
    }
};

QTEST_GUILESS_MAIN(HomePageFillTest)
#include "home_page_fill_test.moc"
