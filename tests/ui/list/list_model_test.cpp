// The collection list's model without its view: order, search, filters,
// totals and groups over a collection read from a file.
#include "TestSupport.h"
#include "store/Collection.h"
#include "ui/common/FilterList.h"
#include "ui/list/CollectionListModel.h"

#include <QtTest>

namespace {

using ui::ListColumn;

// A coin of a few fields; an empty value is stored blank, a null one not at all.
TestItem coin(const QString& description, std::initializer_list<store::IniEntry> fields = {}) {
    TestItem item{{"txtDescription", description}};
    item.insert(item.end(), fields);
    return item;
}

struct Fixture {
    explicit Fixture(const std::vector<TestItem>& items) {
        folder.write(kDatabase, databaseText(items));
        collection.load();
        model.refresh();
    }
    // The descriptions of the rows shown, in order.
    QStringList rows() const {
        QStringList shown;
        for (const qsizetype p : model.shownPositions()) {
            shown << collection.record(p).description();
        }
        return shown;
    }
    QStringList sortedBy(ListColumn column, Qt::SortOrder order) {
        model.sort(static_cast<int>(column), order);
        return rows();
    }

    ProgramFolderFixture folder;
    store::Collection collection{store::itemDatabasePath()};
    CollectionListModel model{collection};
};

int filterRow(const QString& text) {
    return static_cast<int>(ui::homeFilterList().indexOf(text));
}

} // namespace

class ListModelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Money as money, dates as dates, numbers before text; what is missing or
    // no number comes last whichever way, in file order.
    void sortsByKindMissingLast() {
        Fixture f({coin("A", {{"txtCurrentValue", "$1,250.00"},
                              {"txtDateAcquired", "3/15/2024"},
                              {"txtYear", "1921"},
                              {"txtItemNumber", "INV-10"}}),
                   coin("B", {{"txtCurrentValue", "abc"},
                              {"txtDateAcquired", "someday"},
                              {"txtYear", "c. 1850"},
                              {"txtItemNumber", "7"}}),
                   coin("C", {{"txtCurrentValue", "99.5"},
                              {"txtDateAcquired", "12/1/1999 2:30:05 PM"},
                              {"txtYear", "800"},
                              {"txtItemNumber", "INV-9"}}),
                   coin("D", {{"txtCurrentValue", ""}, {"txtYear", "Undated"}}),
                   coin("E", {{"txtCurrentValue", "($5.00)"},
                              {"txtDateAcquired", "2024-01-02"},
                              {"txtItemNumber", "12"}})});
        QCOMPARE(f.sortedBy(ListColumn::CurrentValue, Qt::AscendingOrder),
                 QStringList({"E", "C", "A", "B", "D"}));
        QCOMPARE(f.sortedBy(ListColumn::CurrentValue, Qt::DescendingOrder),
                 QStringList({"A", "C", "E", "B", "D"}));
        QCOMPARE(f.sortedBy(ListColumn::DateAcquired, Qt::AscendingOrder),
                 QStringList({"C", "E", "A", "B", "D"}));
        QCOMPARE(f.sortedBy(ListColumn::DateAcquired, Qt::DescendingOrder),
                 QStringList({"A", "E", "C", "B", "D"}));
        QCOMPARE(f.sortedBy(ListColumn::Year, Qt::AscendingOrder),
                 QStringList({"C", "A", "B", "D", "E"}));
        QCOMPARE(f.sortedBy(ListColumn::Year, Qt::DescendingOrder),
                 QStringList({"A", "C", "D", "B", "E"}));
        // Numbers, then texts with their digits read as numbers.
        QCOMPARE(f.sortedBy(ListColumn::ItemNumber, Qt::AscendingOrder),
                 QStringList({"B", "E", "C", "A", "D"}));
        f.model.sort(-1);
        QCOMPARE(f.rows(), QStringList({"A", "B", "C", "D", "E"}));
    }

    // Text in the locale's order, letter case and accents aside; list fields by their entry.
    void sortsTextInLocaleOrder() {
        Fixture f({coin("zebra", {{"txtCountry", "Éire"}, {"cmbGrade", "25"}}),
                   coin("Apple", {{"txtCountry", "united states"}, {"cmbGrade", "0"}}),
                   coin("Österreich 1", {{"txtCountry", "Canada"}, {"cmbGrade", "99"}}),
                   coin("apple 2", {{"txtCountry", "Zaire"}})});
        QCOMPARE(f.sortedBy(ListColumn::Description, Qt::AscendingOrder),
                 QStringList({"Apple", "apple 2", "Österreich 1", "zebra"}));
        QCOMPARE(f.sortedBy(ListColumn::Country, Qt::AscendingOrder),
                 QStringList({"Österreich 1", "zebra", "Apple", "apple 2"}));
        const QStringList& grades = store::listEntries(store::Field::Grade);
        const QStringList byGrade = f.sortedBy(ListColumn::Grade, Qt::AscendingOrder);
        QCOMPARE(byGrade.mid(2), QStringList({"Österreich 1", "apple 2"}));
        QCOMPARE(byGrade.first(), grades[0].compare(grades[25], Qt::CaseInsensitive) < 0
                                      ? QStringLiteral("Apple")
                                      : QStringLiteral("zebra"));
    }

    void searchesEveryWordCaseAndAccentsAside() {
        store::CoinRecord lodz;
        lodz.append("txtDescription", u"Złoty of Łódź");
        lodz.append("txtMiscNotes2", u"light toning~|rim nick");
        ProgramFolderFixture folder;
        folder.write(kDatabase,
                     databaseText({coin("Peace Dollar", {{"txtYear", "1921"},
                                                         {"cmbCoinType", "0"},
                                                         {"txtCategory", "Silver"}}),
                                   lodz.entries(),
                                   coin("Krone", {{"txtCountry", "Österreich"},
                                                  {"txtMiscDetail3", "Rim nick at 3"}})}));
        // The reference reaches the file as written, and is found.
        QVERIFY(folder.read(kDatabase).contains("Z&#322;oty of &#321;\xF3"
                                                "d&#378;"));
        store::Collection collection(store::itemDatabasePath());
        collection.load();
        CollectionListModel model(collection);
        model.refresh();
        const QString type = store::listEntries(store::Field::CoinType).first();
        const struct {
            const char* typed;
            qsizetype found;
        } searches[] = {{"lodz", 1},     {"LODZ zloty", 1}, {"osterreich", 1},
                        {"rim nick", 2}, {"nick krone", 1}, {"peace 1921", 1},
                        {"silver", 0},   {"xyz", 0},        {"  ", 3}};
        for (const auto& s : searches) {
            model.setSearchText(QString::fromUtf8(s.typed));
            QVERIFY2(model.totals().coins == s.found, s.typed);
        }
        // The lists' entries are searched as the texts they show.
        model.setSearchText(type.section(u' ', 0, 1).toUpper());
        QCOMPARE(model.totals().coins, 1);
        // A narrower search after a wider one finds what a fresh one does.
        model.setSearchText("l");
        model.setSearchText("lo");
        model.setSearchText("lod");
        QCOMPARE(model.shownPositions(), std::vector<qsizetype>{1});
        model.setSearchText("xyz");
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.totalsText(), QStringLiteral("Showing 0 of 3 coins\n"
                                                    "Purchase price $0.00    Current value $0.00"));
    }

    // Missing and non-numeric amounts are counted apart, never as zero silently.
    void totalsCountMissingAmountsApart() {
        Fixture f({coin("A", {{"txtCurrentValue", "$1,000.00"}, {"txtPurchasePrice", "$800"}}),
                   coin("B", {{"txtCurrentValue", "250.5"}, {"txtPurchasePrice", "about 200"}}),
                   coin("C", {{"txtCurrentValue", "n/a"}, {"txtPurchasePrice", "(10.00)"}}),
                   coin("D", {{"txtPurchasePrice", "$100"}})});
        const ui::ListTotals& t = f.model.totals();
        QCOMPARE(t.coins, 4);
        QCOMPARE(t.current, 125050);
        QCOMPARE(t.purchase, 89000);
        QCOMPARE(t.withoutCurrent, 2);
        QCOMPARE(t.withoutPurchase, 1);
        QCOMPARE(f.model.totalsText(),
                 QStringLiteral("4 coins\nPurchase price $890.00    Current value $1,250.50    "
                                "Change of the 1 coin with both $200.00 (25.00%)\n"
                                "2 coins have no current value; 1 coin has no purchase price."));
        f.model.setSearchText("a");
        QCOMPARE(f.model.totalsText(),
                 QStringLiteral("Showing 1 of 4 coins\nPurchase price $800.00    Current value "
                                "$1,000.00    Change $200.00 (25.00%)"));
    }

    // The home page's filters as a collector means them.
    void filtersAsACollectorMeansThem() {
        const QString morgan =
            QStringLiteral("ONLY ") + store::listEntries(store::Field::CoinType)[3];
        Fixture f({coin("typed", {{"cmbCoinType", "3"},
                                  {"txtCurrentValue", "99.99"},
                                  {"g_sListOfImagesForItem(1)", "_data\\_userImages\\a.jpg"}}),
                   coin("untyped", {{"txtCurrentValue", "100"}}),
                   coin("other", {{"cmbCoinType", "4"},
                                  {"txtCurrentValue", ""},
                                  {"g_sListOfImagesForItem(1)", ""}}),
                   coin("junk", {{"cmbCoinType", "x"},
                                 {"txtCurrentValue", "$5"},
                                 {"g_sListOfImagesForItem(1)", " "},
                                 {"g_sListOfImagesForItem(2)", "b.jpg"}})});
        const struct {
            QString filter;
            QStringList shown;
        } cases[] = {
            {morgan, {"typed"}},
            {"Current Value < $100", {"typed", "junk"}},
            {"Show Coins With Images", {"typed", "junk"}},
            {"Show Coins Without Images", {"untyped", "other"}},
            {"Show All Coins", {"typed", "untyped", "other", "junk"}},
        };
        for (const auto& c : cases) {
            f.model.setFilterRow(filterRow(c.filter));
            QCOMPARE(f.rows(), c.shown);
        }
        // With the search: both apply.
        f.model.setFilterRow(filterRow("Current Value < $100"));
        f.model.setSearchText("junk");
        QCOMPARE(f.rows(), QStringList{"junk"});
    }

    void groupsWithTheirTotals() {
        Fixture f({coin("a", {{"txtCountry", "Canada"}, {"txtCurrentValue", "3"}}),
                   coin("b", {{"txtCountry", "Mexico"}, {"txtCurrentValue", "1"}}),
                   coin("c", {{"txtCountry", "canada "}, {"txtCurrentValue", "5"}}),
                   coin("d", {{"txtCurrentValue", "2"}})});
        f.model.sort(static_cast<int>(ListColumn::CurrentValue), Qt::DescendingOrder);
        f.model.setGrouping(ui::ListGrouping::Country);
        QCOMPARE(f.model.rowCount(), 3);
        const auto heading = [&f](int g, ListColumn c) {
            return f.model.index(g, static_cast<int>(c)).data().toString();
        };
        QCOMPARE(heading(0, ListColumn::Description), QStringLiteral("Canada (2 coins)"));
        QCOMPARE(heading(0, ListColumn::CurrentValue), QStringLiteral("$8.00"));
        QCOMPARE(heading(1, ListColumn::Description), QStringLiteral("Mexico (1 coin)"));
        QCOMPARE(heading(2, ListColumn::Description), QStringLiteral("No country (1 coin)"));
        QCOMPARE(f.rows(), QStringList({"c", "a", "b", "d"}));
        const QModelIndex canada = f.model.index(0, 0);
        QCOMPARE(f.model.rowCount(canada), 2);
        QVERIFY(!f.model.positionAt(canada));
        QCOMPARE(*f.model.positionAt(f.model.index(1, 0, canada)), 0);
        QCOMPARE(f.model.indexOf(3).parent().row(), 2);
    }

    // A large collection is read on a thread of its own; a save meanwhile is
    // safe, and the list then shows what the file holds.
    void readsALargeCollectionInTheBackground() {
        std::vector<TestItem> items;
        for (int i = 0; i < CollectionListModel::kReadAtOnce + 500; ++i) {
            items.push_back(coin(QStringLiteral("Coin %1").arg(i),
                                 {{"txtCurrentValue", QString::number(i % 7)}}));
        }
        Fixture f(items);
        QVERIFY(!f.model.isReady());
        QCOMPARE(f.model.rowCount(), items.size());
        QVERIFY(f.model.totalsText().startsWith("Reading the collection: "));
        store::CoinRecord changed;
        changed.append("txtDescription", u"Changed");
        changed.append("txtCurrentValue", u"100");
        QCOMPARE(f.collection.save(changed, 2).value_or(-1), 2);
        QTRY_VERIFY_WITH_TIMEOUT(f.model.isReady(), 20000);
        f.model.setSearchText("changed");
        QCOMPARE(f.model.shownPositions(), std::vector<qsizetype>{2});
        f.model.setSearchText({});
        f.model.sort(static_cast<int>(ListColumn::CurrentValue), Qt::DescendingOrder);
        QCOMPARE(f.rows().first(), QStringLiteral("Changed"));
    }
};

QTEST_MAIN(ListModelTest)
#include "list_model_test.moc"
