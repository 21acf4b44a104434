// What follows an edit (Change in Value, panel titles, picture selection) and
// the Edit menu on the focused box.
#include "TestSupport.h"
#include "ui/common/Controls.h"
#include "ui/edit/ChangeTracking.h"
#include "ui/edit/EditCommands.h"
#include "ui/edit/ItemEditor.h"
#include "ui/edit/MainMenus.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>

class ItemEditingTest : public QObject {
    Q_OBJECT
private slots:
    void changeInValue_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("purchase");
        QTest::addColumn<QString>("shown"); // what the box showed before
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("loss");
        QTest::addColumn<int>("logged");
        QTest::newRow("gain, as typed") << "1,250" << "$1,000" << "" << "20.00%" << false << 0;
        QTest::newRow("loss") << "80" << "100" << "" << "-25.00%" << true << 0;
        QTest::newRow("zero") << "$5.00" << "5" << "-25.00%" << "0.00%" << false << 0;
        QTest::newRow("no purchase price") << "50" << "" << "" << "100.00%" << false << 0;
        QTest::newRow("percent and blanks") << " 1 000 %" << "500" << "" << "50.00%" << false << 0;
        // A failed division keeps the old text, unlogged; a non-number is logged.
        QTest::newRow("no current value") << "" << "100" << "20.00%" << "20.00%" << false << 0;
        QTest::newRow("not a number") << "12abc" << "100" << "7" << "700.00%" << false << 1;
        QTest::newRow("old negative number") << "0" << "100" << "-3" << "-300.00%" << true << 0;
    }
    void changeInValue() {
        QFETCH(QString, current);
        QFETCH(QString, purchase);
        QFETCH(QString, shown);
        QFETCH(int, logged);
        ProgramFolderFixture folder;
        const ChangeInValue change = updateChangeInValue(current, purchase, shown);
        QTEST(change.text, "text");
        QTEST(change.loss, "loss");
        QCOMPARE(folder.read("corvantheil.Err").count('\n'), logged);
        QCOMPARE(cleanAmountText(" $1,2 %"), QStringLiteral("12"));
        QCOMPARE(cleanAmountText(" $ "), QStringLiteral("0"));
    }

    // Typing follows at once in the window; an opened item never looks changed.
    void editsFollowInTheWindow() {
        RunningProgram p(std::vector<TestItem>{{{"txtDescription", "Morgan"},
                                                {"txtFinancialChangeInValue", "stale"},
                                                {"txtCurrentValue", "80"},
                                                {"txtPurchasePrice", "100"}}});
        p.doubleClickCard(1);
        ItemEditor& editor = p.window().editor();
        auto* change = p.control<QLineEdit>("txtFinancialChangeInValue");
        QCOMPARE(change->text(), QStringLiteral("-25.00%"));
        QCOMPARE(ui::textColour(change), QColor(255, 0, 0));
        QVERIFY(!editor.hasUnsavedChanges());
        auto* current = p.control<QLineEdit>("txtCurrentValue");
        current->selectAll();
        QTest::keyClicks(current, "125");
        QCOMPARE(change->text(), QStringLiteral("20.00%"));
        QCOMPARE(ui::textColour(change), QColor(0, 128, 0));
        QVERIFY(editor.hasUnsavedChanges());
        editor.setText("txtDescription", QString());
        for (int element = 0; element < 4; ++element) {
            QCOMPARE(p.control<QLabel>("lblBigDescription", element)->text(), QString());
        }
    }

    void editMenuFollowsTheFocusedBox() {
        RunningProgram p(std::vector<TestItem>{{{"txtDescription", "Morgan"}, {"txtYear", "1921"}}});
        p.doubleClickCard(1);
        EditCommands& edit = p.window().menus().editCommands();
        const auto states = [&edit] {
            const EditCommands::States s = edit.enablingRule();
            return QString("%1%2%3%4%5%6")
                .arg(s.undo)
                .arg(s.cut)
                .arg(s.copy)
                .arg(s.paste)
                .arg(s.deleteSelection)
                .arg(s.selectAll);
        };
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText("kept");
        auto* year = p.control<QLineEdit>("txtYear");
        year->setFocus();
        year->setCursorPosition(0);
        QCOMPARE(states(), QStringLiteral("000101"));
        QCOMPARE(clipboard->text(), QStringLiteral("kept"));
        year->setSelection(0, 2);
        QCOMPARE(states(), QStringLiteral("011111"));
        // The shortcut copies once, through the box; the menu entry does the same.
        QSignalSpy copied(clipboard, &QClipboard::dataChanged);
        QTest::keyClick(year, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("19"));
        QCOMPARE(copied.count(), 1);
        // Del is Delete Selection: the selection goes, and nothing without one.
        QTest::keyClick(year, Qt::Key_Delete);
        QCOMPARE(year->text(), QStringLiteral("21"));
        QTest::keyClick(year, Qt::Key_Delete);
        QCOMPARE(year->text(), QStringLiteral("21"));
        QCOMPARE(states(), QStringLiteral("100101"));
        p.trigger("mnuEditUndo");
        QCOMPARE(year->text(), QStringLiteral("1921"));
        p.trigger("mnuEditSelectAll");
        QCOMPARE(year->selectedText(), QStringLiteral("1921"));
        p.trigger("mnuEditCut");
        QCOMPARE(clipboard->text(), QStringLiteral("1921"));
        QCOMPARE(states(), QStringLiteral("100100"));
        clipboard->clear();
        QCOMPARE(states(), QStringLiteral("100000"));
        clipboard->setText("1878");
        p.trigger("mnuEditPaste");
        QCOMPARE(year->text(), QStringLiteral("1878"));

        auto* notes = p.control<QPlainTextEdit>("txtMiscNotes");
        notes->setFocus();
        notes->setPlainText("a\nb");
        notes->selectAll();
        QCOMPARE(states().mid(1), QStringLiteral("11111"));
        p.control<QComboBox>("cmbGrade")->setFocus();
        QCOMPARE(states(), QStringLiteral("000000"));
        // Opening the menu shows the states; closing it leaves the shortcuts to act.
        QMenu* menu = p.window().menus().menu("mnuEdit");
        QMetaObject::invokeMethod(menu, "aboutToShow", Qt::DirectConnection);
        QVERIFY(!p.window().menus().action("mnuEditSelectAll")->isEnabled());
        QMetaObject::invokeMethod(menu, "aboutToHide", Qt::DirectConnection);
        QVERIFY(p.window().menus().action("mnuEditSelectAll")->isEnabled());
    }
};

QTEST_MAIN(ItemEditingTest)
#include "item_editing_test.moc"
