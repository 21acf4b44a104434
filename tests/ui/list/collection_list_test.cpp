// The collection list in the real window: from the menu to a coin and back,
// the item commands on the selected row, and what the window remembers.
#include "TestSupport.h"
#include "store/Collection.h"
#include "ui/edit/ItemEditor.h"
#include "ui/list/CollectionList.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>
#include <QtTest>

namespace {

using platform::Answer;
using ui::ListColumn;

TestItem coin(const char* description, const char* current, const char* purchase) {
    return {{"txtDescription", description},
            {"txtCurrentValue", current},
            {"txtPurchasePrice", purchase},
            {"cmbCoinType", "3"}};
}

const std::vector<TestItem> kCoins = {coin("Peace Dollar", "$10.00", "$8.00"),
                                      coin("Buffalo Nickel", "$1.00", "$1.00"),
                                      coin("Morgan Dollar", "$20.00", "$15.00")};

struct ListRun : RunningProgram {
    ListRun() : RunningProgram(kCoins) {
        trigger("mnuViewCollectionList");
        list = window().collectionList();
    }
    QTreeView* view() const { return list->view(); }
    QRect rowRect(int row) const { return view()->visualRect(list->model().index(row, 0)); }
    void clickHeader(ListColumn column) const {
        QHeaderView* header = view()->header();
        const int x = header->sectionViewportPosition(static_cast<int>(column)) + 4;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    QStringList descriptions() const {
        const std::optional<std::vector<qsizetype>> shown = window().shownItems();
        QStringList descriptions;
        for (const qsizetype p : shown.value_or(std::vector<qsizetype>{})) {
            descriptions << program.collection->record(p).description();
        }
        return descriptions;
    }
    bool enabled(const QString& action) const {
        return window().menus().action(action)->isEnabled();
    }
    QString cell(int row, ListColumn column) const {
        return list->model().index(row, static_cast<int>(column)).data().toString();
    }

    CollectionList* list = nullptr;
};

} // namespace

class CollectionListTest : public QObject {
    Q_OBJECT
private slots:
    // Open a coin from the list, edit and save it, and come back to the same
    // search, order and selection, with the change in the row and the totals.
    void opensEditsSavesAndComesBack() {
        ListRun run;
        QVERIFY(run.window().isCollectionListShown() && !run.window().isHomePageShown());
        QTest::keyClicks(run.list->searchBox(), "DOLLAR");
        run.clickHeader(ListColumn::CurrentValue);
        QCOMPARE(run.descriptions(), QStringList({"Peace Dollar", "Morgan Dollar"}));
        QVERIFY(run.list->totalsLabel()->text().contains("Current value $30.00"));

        QTest::mouseClick(run.view()->viewport(), Qt::LeftButton, {}, run.rowRect(0).center());
        run.window().menus().fileEnablingRule();
        QVERIFY(run.enabled("mnuFileOpen") && run.enabled("mnuFileRemoveSelectedProperty"));
        QVERIFY(!run.enabled("mnuFileClose") && !run.enabled("mnuFileSave"));
        run.window().menus().toolsEnablingRule();
        QVERIFY(run.enabled("mnuToolsmnuPrintAnalysis"));

        QTest::mouseDClick(run.view()->viewport(), Qt::LeftButton, {}, run.rowRect(0).center());
        QVERIFY(!run.window().isCollectionListShown() && !run.window().isHomePageShown());
        QCOMPARE(run.window().editor().text("txtDescription"), QStringLiteral("Peace Dollar"));
        QCOMPARE(run.window().shownItems(), std::nullopt);
        // The list is not reached while an item is open: its edits would be lost.
        run.trigger("mnuViewCollectionList");
        QVERIFY(!run.window().isCollectionListShown());

        run.window().editor().setText("txtCurrentValue", "$25.00");
        run.trigger("mnuFileSave");
        run.trigger("mnuFileClose");
        QVERIFY(run.folder.fakes.boxes.shown.isEmpty());
        QVERIFY(run.window().isCollectionListShown());
        QCOMPARE(run.list->searchBox()->text(), QStringLiteral("DOLLAR"));
        QCOMPARE(run.descriptions(), QStringList({"Morgan Dollar", "Peace Dollar"}));
        QCOMPARE(run.window().chosenItem()->description, QStringLiteral("Peace Dollar"));
        QCOMPARE(run.view()->currentIndex().row(), 1);
        QCOMPARE(run.cell(1, ListColumn::CurrentValue), QStringLiteral("$25.00"));
        QVERIFY(run.list->totalsLabel()->text().contains("Current value $45.00"));
        QVERIFY(run.database().contains("txtCurrentValue=$25.00"));

        // Enter opens the selected row too; Close without changes comes back.
        QTest::keyClick(run.view(), Qt::Key_Return);
        QCOMPARE(run.window().editor().text("txtDescription"), QStringLiteral("Peace Dollar"));
        run.trigger("mnuFileClose");
        QVERIFY(run.window().isCollectionListShown());
        run.trigger("mnuViewHomePage");
        QVERIFY(run.window().isHomePageShown());
        QCOMPARE(run.window().shownItems(), std::nullopt);
    }

    // Remove asks as on the home page, about the selected row's coin; the list
    // then shows the collection without it.
    void removesTheSelectedRow_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("OK") << Answer::Ok;
        QTest::newRow("Cancel") << Answer::Cancel;
    }
    void removesTheSelectedRow() {
        QFETCH(Answer, answer);
        ListRun run;
        run.list->selectPosition(1);
        run.folder.fakes.boxes.answers = {answer};
        run.trigger("mnuFileRemoveSelectedProperty");
        const QList<platform::MessageRequest>& shown = run.folder.fakes.boxes.shown;
        QCOMPARE(shown.front().text, QStringLiteral("Are you sure you want to permanently remove:"
                                                    "\r\n\r\n   \"Buffalo Nickel\" ?"));
        QCOMPARE(shown.front().title, QStringLiteral("Delete Property"));
        QVERIFY(run.window().isCollectionListShown());
        const bool removed = answer == Answer::Ok;
        QCOMPARE(shown.size(), removed ? 1 : 2);
        QCOMPARE(run.database().contains("Buffalo Nickel"), !removed);
        QCOMPARE(run.descriptions().contains("Buffalo Nickel"), !removed);
        QCOMPARE(run.list->model().totals().coins, removed ? 2 : 3);
    }

    // The report of the selected row is the coin as stored; the full-size view
    // shows its first picture, as a card would.
    void printsAndViewsTheSelectedCoin() {
        ListRun run;
        run.list->selectPosition(2);
        run.trigger("mnuToolsmnuPrintAnalysis");
        QCOMPARE(run.folder.fakes.shell.opened.size(), 1);
        const QByteArray report = run.folder.read("\\_reports\\SummaryDetail.html");
        QVERIFY(report.contains("Morgan Dollar") && report.contains("$20.00"));
        QVERIFY(!report.contains("Peace Dollar"));
        run.window().menus().toolsEnablingRule();
        QVERIFY(run.enabled("mnuToolsViewImageDetails"));
    }

    // Columns, widths and order are kept with the window's placement; Ctrl+F
    // finds the search box and Escape clears it.
    void remembersColumnsAndTakesTheKeys() {
        ListRun run;
        run.clickHeader(ListColumn::PurchasePrice);
        run.clickHeader(ListColumn::PurchasePrice);
        run.view()->header()->setSectionHidden(static_cast<int>(ListColumn::Grade), true);
        run.view()->header()->resizeSection(0, 321);
        QCOMPARE(run.descriptions(),
                 QStringList({"Morgan Dollar", "Peace Dollar", "Buffalo Nickel"}));

        run.window().activateWindow();
        run.view()->setFocus();
        QTest::keyClick(run.view(), Qt::Key_F, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), run.list->searchBox());
        QTest::keyClicks(run.list->searchBox(), "nickel");
        QCOMPARE(run.list->model().totals().coins, 1);
        QTest::keyClick(run.list->searchBox(), Qt::Key_Escape);
        QCOMPARE(run.list->model().totals().coins, 3);

        QVERIFY(run.window().close());
        const QMap<QString, QString>& stored = run.folder.fakes.settings.values;
        QCOMPARE(stored.value("ListSort"), QStringLiteral("7 D"));
        QCOMPARE(stored.value("ListHiddenColumns"), QStringLiteral("5"));
        QVERIFY(stored.value("ListColumnWidths").startsWith("321,"));

        CollectionList again(*run.program.collection, nullptr);
        again.restoreSettings();
        again.refresh();
        QVERIFY(again.view()->header()->isSectionHidden(static_cast<int>(ListColumn::Grade)));
        QCOMPARE(again.view()->header()->sectionSize(0), 321);
        QCOMPARE(again.model().sortColumn(), static_cast<int>(ListColumn::PurchasePrice));
        QCOMPARE(again.model().sortOrder(), Qt::DescendingOrder);
    }
};

QTEST_MAIN(CollectionListTest)
#include "collection_list_test.moc"
