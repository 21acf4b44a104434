// The real main window on the offscreen platform, its panels, and the layout
// it follows.
#include "TestSupport.h"
#include "app/Constants.h"
#include "store/AttributeLists.h"
#include "store/CoinRecord.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/main/HomePage.h"
#include "ui/main/Layout.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// An item from "key=value" texts.
TestItem item(std::initializer_list<QString> fields) {
    TestItem out;
    for (const QString& field : fields) {
        out.push_back({field.section('=', 0, 0), field.section('=', 1)});
    }
    return out;
}

std::vector<TestItem> numberedItems(int count) {
    std::vector<TestItem> items;
    for (int i = 1; i <= count; ++i) {
        items.push_back({{"txtDescription", QStringLiteral("Coin %1").arg(i)},
                         {"txtCurrentValue", QString::number(i * 10)}});
    }
    return items;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpPreparesFoldersAndShowsTheFirstPage() {
        RunningProgram p;
        QVERIFY(p.folder.exists("_reports"));
        QVERIFY(p.folder.exists("_data\\_userImages"));
        QCOMPARE(p.window().windowTitle(), QStringLiteral("Corvantheil v2.29.8"));
        QCOMPARE(p.window().pos(), QPoint(ui::px(1000), ui::px(1000)));
        QCOMPARE(p.window().outerWidthTwips(), 11650.0f);
        QCOMPARE(p.window().outerHeightTwips(), 9555.0f);
        QCOMPARE(p.window().homePage().filterBox()->currentText(),
                 QStringLiteral("Show All Coins"));
        QCOMPARE(QApplication::focusWidget(), p.window().homePage().filterBox());
        // Nothing was written: no database, no log.
        QVERIFY(!p.folder.exists("_data\\991106EB51"));
        QVERIFY(!p.folder.exists("corvantheil.Err"));
    }

    void storedPlacementIsUsedButNotItsSize() {
        ProgramFolderFixture folder;
        folder.fakes.settings.values = {
            {"MainLeft", "3000"}, {"MainTop", "x"}, {"MainWidth", "5000"}, {"MainHeight", "4000"}};
        const app::Program program = app::main();
        QCOMPARE(program.window->pos(), QPoint(ui::px(3000), ui::px(1000)));
        QCOMPARE(program.window->outerWidthTwips(), 11650.0f);
        QVERIFY(folder.exists("corvantheil.Err")); // "x" is not a number
    }

    // The later of two equal descriptions opens; a stored choice that is no
    // row leaves its box empty and is logged; every stored field is shown.
    void openingShowsWhatIsStored() {
        RunningProgram p(
            {item({"txtDescription=Twin", "txtYear=1901"}),
             item({"txtDescription=TWIN ", "cmbGrade=", "cmbMintMark=999", "txtYear=1902"}),
             item({"txtDescription=Morgan", "txtYear=1921", "cmbGrade=2", "cmbMintMark=6",
                   "txtMiscNotes=first~|second", "g_sListOfImagesForItem(1)="})});
        const auto combo = [&p](const char* name) { return p.control<QComboBox>(name); };
        p.doubleClickCard(1);
        QCOMPARE(p.window().editor().position(), 1);
        QCOMPARE(p.control<QLineEdit>("txtYear")->text(), QStringLiteral("1902"));
        QCOMPARE(combo("cmbGrade")->currentIndex(), -1);
        QCOMPARE(combo("cmbMintMark")->currentIndex(), -1);
        QVERIFY(p.folder.read("corvantheil.Err").count('\n') >= 2);

        p.trigger("mnuFileClose");
        p.doubleClickCard(3);
        QCOMPARE(p.control<QLineEdit>("txtYear")->text(), QStringLiteral("1921"));
        QCOMPARE(combo("cmbGrade")->currentText(), QStringLiteral("Proof (PF-60)"));
        QCOMPARE(combo("cmbMintMark")->currentIndex(), 6);
        QCOMPARE(p.control<QPlainTextEdit>("txtMiscNotes")->toPlainText(),
                 QStringLiteral("first\nsecond"));
        QCOMPARE(p.window().editor().pictures(), QStringList({""}));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtDescription"));
        QVERIFY(!p.window().editor().hasUnsavedChanges());
        QVERIFY(p.folder.fakes.boxes.shown.isEmpty());
    }

    void closingReturnsToThePageTheItemWasOpenedFrom() {
        RunningProgram p(numberedItems(14));
        QTest::mouseClick(p.control<LinkLabel>("lblNextPage"), Qt::LeftButton);
        p.doubleClickCard(5);
        QCOMPARE(p.window().editor().text("txtDescription"), QStringLiteral("Coin 11"));
        p.trigger("mnuFileClose");
        QVERIFY(p.window().isHomePageShown());
        QCOMPARE(p.window().homePage().cardTag(1), QStringLiteral("7"));
        QCOMPARE(p.window().homePage().cardLine1(1), QStringLiteral("Coin 7"));
    }

    void closeAsksOnlyAboutRealChanges_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("stored");
        QTest::newRow("letter case only") << "coin 2" << platform::Answer::Yes << false << false;
        QTest::newRow("blanks around") << "  Coin 2  " << platform::Answer::Yes << false << false;
        QTest::newRow("Cancel") << "Coin Two" << platform::Answer::Cancel << true << false;
        QTest::newRow("No") << "Coin Two" << platform::Answer::No << true << false;
        QTest::newRow("Yes") << "Coin Two" << platform::Answer::Yes << true << true;
    }
    void closeAsksOnlyAboutRealChanges() {
        QFETCH(QString, typed);
        QFETCH(platform::Answer, answer);
        QFETCH(bool, asks);
        QFETCH(bool, stored);
        RunningProgram p(numberedItems(2));
        const QByteArray before = p.database();
        p.doubleClickCard(2);
        p.control<QLineEdit>("txtDescription")->setText(typed);
        p.folder.fakes.boxes.answers = {answer};
        p.trigger("mnuFileClose");
        QCOMPARE(p.folder.fakes.boxes.shown.size(), asks ? 1 : 0);
        if (asks) {
            const platform::MessageRequest& asked = p.folder.fakes.boxes.shown.front();
            QCOMPARE(asked.title, QStringLiteral("Unsaved Changes"));
            QCOMPARE(asked.text,
                     QStringLiteral("You have made changes that have not been saved.\r\n\r\n"
                                    "Do you want to save the changes before closing?"));
            QCOMPARE(asked.buttons, platform::Buttons::YesNoCancel);
            QCOMPARE(asked.icon, platform::Icon::Warning);
        }
        // Cancel keeps the item open with its edits.
        QCOMPARE(p.window().isHomePageShown(), answer != platform::Answer::Cancel);
        if (answer == platform::Answer::Cancel) {
            QCOMPARE(p.control<QLineEdit>("txtDescription")->text(), typed);
        }
        QCOMPARE(p.database().contains("Coin Two"), stored);
        QCOMPARE(p.folder.read("_data\\991106EB51backup"), stored ? before : QByteArray());
    }

    void closingTheWindowAsksAndStoresThePlacement() {
        {
            RunningProgram p(numberedItems(1));
            QVERIFY(p.window().close());
            QVERIFY(p.folder.fakes.boxes.shown.isEmpty());
            QCOMPARE(p.folder.fakes.settings.writes, 4);
        }
        RunningProgram p(numberedItems(1));
        p.doubleClickCard(1);
        p.control<QLineEdit>("txtCountry")->setText("Peru");
        p.folder.fakes.boxes.answers = {platform::Answer::Cancel};
        QVERIFY(!p.window().close());
        QVERIFY(p.window().isVisible());
        QVERIFY(!p.window().isHomePageShown());
        QCOMPARE(p.folder.fakes.settings.values.value("MainLeft"), QStringLiteral("1005"));
        QCOMPARE(p.folder.fakes.settings.values.value("MainHeight"), QStringLiteral("9555"));
        p.folder.fakes.boxes.answers = {platform::Answer::No};
        QVERIFY(p.window().close());
        QCOMPARE(p.folder.fakes.boxes.shown.size(), 2);
    }

    void panelLinksChooseOnReleaseOverThemOnly() {
        RunningProgram p(numberedItems(1));
        p.doubleClickCard(1);
        auto* notes = p.control<LinkLabel>("lblComments");
        QTest::mousePress(notes, Qt::LeftButton);
        QTest::mouseRelease(notes, Qt::LeftButton, {}, QPoint(-20, -20));
        QVERIFY(p.window().isPanelShown(Panel::DetailedInfo));
        QTest::mouseClick(notes, Qt::LeftButton);
        QVERIFY(p.window().isPanelShown(Panel::Comments));
        QVERIFY(!p.window().isPanelShown(Panel::DetailedInfo));
        // The Detailed Information click area works like its link.
        QTest::mouseClick(p.control<QLabel>("imgDetailedInfo"), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(p.window().isPanelShown(Panel::DetailedInfo));
    }

    void webLookUpOfTheWorkedExample() {
        RunningProgram p({item({"txtDescription=Indian", "txtYear=1909", "txtCountry=USA",
                                "cmbCoinType=12", "cmbMintMark=6", "cmbGrade=24"})});
        p.doubleClickCard(1);
        QTest::mouseClick(p.control<LinkLabel>("lblOnlineStuff"), Qt::LeftButton);
        QTest::mouseClick(p.control<QPushButton>("cmdWebSearchEbay"), Qt::LeftButton);
        QCOMPARE(p.folder.fakes.shell.opened,
                 QStringList{app::SiteAddress +
                             "/clientlink.php?linktype=ebaysearch&year=1909&country=USA&cointype="
                             "1%20Cent%20%28small%29%20%3A%20Indian%20Head%20%281859%2D1909%29"
                             "&mintmark=S%20%3A%20San%20Francisco%2C%20CA%20%281854%20to%20date%29"
                             "&grade=Good%20%28G%2D4%29"});
    }

    // On a new item: each field box once, on its panel with a caption; the
    // attribute boxes hold their lists with nothing chosen.
    void panelsHoldEveryFieldBox() {
        RunningProgram p;
        p.trigger("mnuFileAddNewProperty");
        for (const QString& name : store::fieldKeys()) {
            const bool notes = name.startsWith("txtMiscNotes");
            auto* panel = p.control<QFrame>(notes ? "frameComments" : "frameDetailedInfo");
            const QList<QWidget*> boxes = p.window().findChildren<QWidget*>(name);
            QCOMPARE(boxes.size(), 1);
            int captions = 0;
            for (const QLabel* label : panel->findChildren<QLabel*>()) {
                captions += label->buddy() == boxes[0] ? 1 : 0;
            }
            QVERIFY2(panel->isAncestorOf(boxes[0]) && captions == 1, qPrintable(name));
            const bool computed =
                name == "txtFinancialChangeInValue" || name == "txtRecordLastUpdated";
            if (auto* line = qobject_cast<QLineEdit*>(boxes[0])) {
                QCOMPARE(line->isReadOnly(), computed);
            } else if (auto* combo = qobject_cast<QComboBox*>(boxes[0])) {
                QVERIFY(!combo->isEditable());
            }
        }
        const std::pair<const char*, const QStringList*> lists[] = {
            {"cmbCoinType", &store::coinTypeList()},
            {"cmbMintMark", &store::mintMarkList()},
            {"cmbGrade", &store::gradeList()}};
        for (const auto& [name, rows] : lists) {
            auto* combo = p.control<QComboBox>(name);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) {
                shown << combo->itemText(i);
            }
            QCOMPARE(shown, *rows);
            QCOMPARE(combo->currentIndex(), -1);
        }
    }

    void layoutBarsCentringAndScrolling() {
        const auto layout = [](float width, float height, float content, bool vBar = false,
                               int hPosition = 0, int vPosition = 0) {
            ui::LayoutInput in{width, height, width - 130, height - 765};
            in.scrollableHeight = content;
            in.vScrollVisible = vBar;
            in.hScrollPosition = hPosition;
            in.vScrollPosition = vPosition;
            return ui::computeLayout(in);
        };
        // The bars shown, as "hv", after a layout with or without the vertical one.
        const auto bars = [&](float width, float height, float content, bool vBarWasVisible) {
            const ui::LayoutResult r = layout(width, height, content, vBarWasVisible);
            return QString(r.hScrollVisible ? "h" : "-") + (r.vScrollVisible ? "v" : "-");
        };
        QCOMPARE(bars(11394, 9555, 7830, false), "h-");
        QCOMPARE(bars(11395, 9555, 7830, false), "--");
        QCOMPARE(bars(11649, 9555, 7830, true), "h-");
        QCOMPARE(bars(11650, 9555, 7830, true), "--");
        // 8600 + 700 = 9300: the vertical bar only when the horizontal adds its 255.
        QCOMPARE(bars(11000, 9400, 8600, false), "hv");
        QCOMPARE(bars(12000, 9400, 8600, false), "--");
        QCOMPARE(layout(11440, 9555, 7830).scrollableLeft, 0.0f);
        QCOMPARE(layout(11441, 9555, 7830).scrollableLeft, 73.0f);
        // The horizontal position never survives a resize; a hidden bar goes back to 0.
        QCOMPARE(layout(9000, 9555, 7830, false, 2).scrollableLeft, 0.0f);
        QCOMPARE(layout(11650, 9555, 7000, false, 0, 3).vScrollPosition, 0);
        QCOMPARE(layout(11650, 9555, 7000, false, 0, 3).scrollableTop, 0.0f);
        // Content 9330 high in a window 9555 high: overflow 9555 - 920 - 9330 = -695.
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 0), 0.0f);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 1), -695.0f / 3);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 2), -695.0f / 2);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 3) + 9330, 9555.0f - 920);
        QCOMPARE(ui::scrolledTop(9555, 9330, false, 3), 0.0f);
        QCOMPARE(ui::scrolledLeft(9000, 11295, true, 3), 9000.0f - 11295);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
