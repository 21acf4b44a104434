// The File and Edit menus through the real window, and the Change in Value.
#include "TestSupport.h"
#include "ui/common/Controls.h"
#include "ui/edit/ChangeTracking.h"
#include "ui/edit/EditCommands.h"
#include "ui/edit/InputDialog.h"
#include "ui/edit/ItemEditor.h"
#include "ui/main/HomePage.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

namespace {

std::vector<TestItem> coins(std::initializer_list<const char*> descriptions) {
    std::vector<TestItem> items;
    for (const char* d : descriptions) {
        items.push_back({{"txtDescription", d}, {"txtYear", "1921"}});
    }
    return items;
}

QStringList descriptions(const QByteArray& database) {
    QStringList found;
    for (const QByteArray& line : database.split('\n')) {
        if (line.startsWith("txtDescription=")) {
            found << QString::fromLatin1(line.mid(15).trimmed());
        }
    }
    return found;
}

using platform::Answer;

} // namespace

class ItemCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void addNewItemThenClose_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("saves");
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("nothing typed") << QString() << 0 << Answer::Cancel << QStringList{"Morgan"};
        QTest::newRow("No") << "Peace" << 0 << Answer::No << QStringList{"Morgan"};
        QTest::newRow("Yes") << "Peace" << 0 << Answer::Yes << QStringList{"Morgan", "Peace"};
        // The first save appends the new item, the second rewrites the same record.
        QTest::newRow("typed, saved twice")
            << "Peace" << 2 << Answer::Cancel << QStringList{"Morgan", "Peace"};
    }
    void addNewItemThenClose() {
        QFETCH(QString, typed);
        QFETCH(int, saves);
        QFETCH(platform::Answer, answer);
        RunningProgram p(coins({"Morgan"}));
        p.trigger("mnuFileAddNewProperty");
        QTest::keyClicks(p.control<QLineEdit>("txtDescription"), typed);
        for (int save = 1; save <= saves; ++save) {
            p.window().editor().setText("txtYear", QString::number(1900 + save));
            p.trigger("mnuFileSave");
        }
        p.folder.fakes.boxes.answers = {answer};
        p.trigger("mnuFileClose");
        QCOMPARE(p.folder.fakes.boxes.shown.size(), typed.isEmpty() || saves ? 0 : 1);
        QVERIFY(p.window().isHomePageShown());
        QTEST(descriptions(p.database()), "stored");
    }

    // The bytes a save writes, pinned: the edited item rebuilt from its boxes
    // (its unknown key kept before the pictures, pictures renumbered), every
    // other item as stored.
    void saveWritesTheKnownBytes() {
        RunningProgram p({{{"txtDescription", "First"}, {"txtCurrentValue", "10"}},
                          {{"zzLegacy", "kept"},
                           {"txtMiscNotes", "line a~|line b"},
                           {"cmbGrade", "3"},
                           {"txtYear", "1880"},
                           {"txtDescription", "Morgan"},
                           {"g_sListOfImagesForItem(1)", "_data\\_userImages\\a.jpg"},
                           {"g_sListOfImagesForItem(3)", "_data\\_userImages\\c.jpg"}},
                          {{"txtDescription", "Third"},
                           {"zzOther", "also kept"},
                           {"g_sListOfImagesForItem(1)", ""}}});
        p.doubleClickCard(2);
        p.window().editor().setText("txtYear", "1881");
        p.window().editor().setText("txtMiscNotes", "line a\nline b\nline c");
        p.trigger("mnuFileSave");
        QByteArray bytes = p.database();
        const QByteArray stamp =
            "txtRecordLastUpdated=" + p.window().editor().text("txtRecordLastUpdated").toLatin1();
        QVERIFY(bytes.contains(stamp));
        bytes.replace(stamp, "txtRecordLastUpdated=<stamp>");
        QCOMPARE(bytes,
                 QByteArray("[ITEMNUMB000001]\r\ntxtDescription=First\r\ntxtCurrentValue=10\r\n"
                            "\r\n[ITEMNUMB000002]\r\ntxtMiscNotes=line a~|line b~|line c\r\n"
                            "cmbGrade=3\r\ntxtYear=1881\r\ntxtDescription=Morgan\r\n"
                            "txtRecordLastUpdated=<stamp>\r\nzzLegacy=kept\r\n"
                            "g_sListOfImagesForItem(1)=_data\\_userImages\\a.jpg\r\n"
                            "g_sListOfImagesForItem(2)=_data\\_userImages\\c.jpg\r\n"
                            "\r\n[ITEMNUMB000003]\r\ntxtDescription=Third\r\n"
                            "zzOther=also kept\r\ng_sListOfImagesForItem(1)=\r\n"));
    }

    // A failed save says why and keeps the edits: Close and the window's
    // close answered Yes stay on the item; once the cause is gone Yes saves.
    void aFailedSaveKeepsTheEdits() {
        RunningProgram p(coins({"Morgan"}));
        const QByteArray before = p.database();
        p.doubleClickCard(1);
        p.window().editor().setText("txtYear", "1878");
        QVERIFY(QDir().mkpath(p.folder.path(kDatabase + ".tmp")));
        p.trigger("mnuFileSave");
        QCOMPARE(p.database(), before);
        const QList<platform::MessageRequest>& shown = p.folder.fakes.boxes.shown;
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().text,
                 QStringLiteral("The collection could not be saved: a folder stands where the "
                                "file should be.\n\nYour changes are still in the window. Move "
                                "that folder out of the way, then try again."));
        QCOMPARE(shown.front().icon, platform::Icon::Critical);
        p.folder.fakes.boxes.answers = {Answer::Yes, Answer::Ok, Answer::Yes, Answer::Ok};
        p.trigger("mnuFileClose");
        QVERIFY(!p.window().close());
        QCOMPARE(shown.size(), 5);
        QVERIFY(!p.window().isHomePageShown());
        QCOMPARE(p.window().editor().text("txtYear"), QStringLiteral("1878"));

        QVERIFY(QDir(p.folder.path(kDatabase + ".tmp")).removeRecursively());
        p.folder.fakes.boxes.answers = {Answer::Yes};
        p.trigger("mnuFileClose");
        QCOMPARE(shown.size(), 6);
        QVERIFY(p.window().isHomePageShown());
        QVERIFY(p.database().contains("txtYear=1878"));
        QCOMPARE(descriptions(p.database()), QStringList{"Morgan"});
    }

    void saveACopy_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("Enter") << int(Qt::Key_Return) << QString()
                               << QStringList{"Morgan", "Peace", "Copy of Morgan"};
        QTest::newRow("typed, Enter")
            << int(Qt::Key_Enter) << "Morgan 2" << QStringList{"Morgan", "Peace", "Morgan 2"};
        QTest::newRow("Escape") << int(Qt::Key_Escape) << QString()
                                << QStringList{"Morgan", "Peace"};
    }
    void saveACopy() {
        QFETCH(int, key);
        QFETCH(QString, typed);
        RunningProgram p(coins({"Morgan", "Peace"}));
        p.doubleClickCard(1);
        p.window().editor().setText("txtYear", "1879"); // goes only into the copy
        p.folder.fakes.modalDialogs.handler = [&](QDialog& dialog) {
            QLineEdit* box = static_cast<InputDialog&>(dialog).textBox();
            dialog.show();
            dialog.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QCOMPARE(dialog.findChild<QLabel*>("lblLabel")->text(),
                     QStringLiteral("What is the New Item Name?"));
            QCOMPARE(box->selectedText(), QStringLiteral("Copy of Morgan"));
            QTest::keyClicks(box, typed);
            QTest::keyClick(box, static_cast<Qt::Key>(key));
            QVERIFY(!dialog.isVisible());
        };
        p.trigger("mnuFileSaveAs");
        QCOMPARE(p.folder.fakes.modalDialogs.titles, QStringList{"Save Item As..."});
        QTEST(descriptions(p.database()), "stored");
        // The item that was open keeps what it last stored.
        QVERIFY(
            p.database().startsWith("[ITEMNUMB000001]\r\ntxtDescription=Morgan\r\ntxtYear=1921"));
        if (key == Qt::Key_Escape) {
            QCOMPARE(p.folder.fakes.boxes.shown.size(), 1);
            const platform::MessageRequest& aborted = p.folder.fakes.boxes.shown.front();
            QCOMPARE(aborted.text,
                     QStringLiteral("Copy of Item Aborted.  The Item has not been copied"));
            QCOMPARE(aborted.title, QStringLiteral("Command Aborted"));
            QCOMPARE(aborted.icon, platform::Icon::None);
            QCOMPARE(p.window().editor().position(), 0);
        } else {
            // The copy is the open item now, with the edit made before copying.
            QCOMPARE(p.window().editor().position(), 2);
            QVERIFY(p.database().contains("[ITEMNUMB000003]\r\ntxtYear=1879\r\n"));
            QVERIFY(!p.window().editor().hasUnsavedChanges());
        }
    }

    void removeSelectedItem_data() {
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("Cancel") << Answer::Cancel << QStringList{"Twin", "Other", "TWIN"};
        // The card shows the first of two twins, and that one goes.
        QTest::newRow("OK") << Answer::Ok << QStringList{"Other", "TWIN"};
    }
    void removeSelectedItem() {
        QFETCH(platform::Answer, answer);
        RunningProgram p(coins({"Twin", "Other", "TWIN"}));
        QComboBox* filter = p.window().homePage().filterBox();
        filter->setCurrentIndex(filter->count() - 1);
        QTest::mouseClick(p.control<QLabel>("lblSelectPropertyLine1", 1), Qt::LeftButton);
        p.folder.fakes.boxes.answers = {answer};
        p.trigger("mnuFileRemoveSelectedProperty");
        const QList<platform::MessageRequest>& shown = p.folder.fakes.boxes.shown;
        QCOMPARE(shown.front().text, QStringLiteral("Are you sure you want to permanently remove:"
                                                    "\r\n\r\n   \"Twin\" ?"));
        QCOMPARE(shown.front().title, QStringLiteral("Delete Property"));
        QCOMPARE(shown.front().buttons, platform::Buttons::OkCancel);
        QCOMPARE(shown.front().icon, platform::Icon::Warning);
        QCOMPARE(shown.front().defaultButton, 2);
        QTEST(descriptions(p.database()), "stored");
        if (answer == Answer::Ok) {
            QCOMPARE(shown.size(), 1);
            // The home page starts again from the first item; the filter box keeps its row.
            QCOMPARE(p.window().homePage().cardLine1(1), QStringLiteral("Other"));
            QCOMPARE(filter->currentIndex(), filter->count() - 1);
        } else {
            QCOMPARE(shown.size(), 2);
            QCOMPARE(shown.back().text,
                     QStringLiteral("Removal of item Aborted.  The item has not been deleted"));
            QCOMPARE(shown.back().title, QStringLiteral("Command Aborted"));
        }
    }

    void menusFollowTheWindowState() {
        RunningProgram p(coins({"Morgan", "Peace"}));
        const auto states = [&p] {
            p.window().menus().fileEnablingRule();
            p.window().menus().toolsEnablingRule();
            QString on;
            for (const char* name :
                 {"mnuFileOpen", "mnuFileClose", "mnuFileAddNewProperty",
                  "mnuFileRemoveSelectedProperty", "mnuFileSave", "mnuFileSaveAs", "mnuFileExit",
                  "mnuToolsViewImageDetails", "mnuToolsmnuPrintAnalysis"}) {
                on += p.window().menus().action(name)->isEnabled() ? '1' : '0';
            }
            return on;
        };
        QCOMPARE(states(), QStringLiteral("001000100"));
        QTest::mouseClick(p.control<QLabel>("picSelectProperty", 2), Qt::LeftButton);
        QCOMPARE(states(), QStringLiteral("101100110"));
        p.trigger("mnuFileOpen");
        QCOMPARE(p.window().editor().text("txtDescription"), QStringLiteral("Peace"));
        QCOMPARE(states(), QStringLiteral("010011101"));
        p.trigger("mnuFileClose");
        p.trigger("mnuFileAddNewProperty");
        QCOMPARE(states(), QStringLiteral("010010101"));
    }

    // A letter typed in the open menu runs the one available entry it names,
    // though a disabled entry shares the letter.
    void aMenuLetterRunsTheAvailableEntry() {
        RunningProgram p(coins({"Morgan"}));
        QMenu* file = p.window().menus().menu("mnuFile");
        file->popup(QPoint());
        QTest::keyClick(file, Qt::Key_A);
        QVERIFY(file->isHidden());
        QVERIFY(!p.window().isHomePageShown() && p.window().editor().isNewItem());
    }

    // Gain, loss and zero; a failed division keeps the old text, unlogged; a
    // non-number keeps it too, logged.
    void changeInValue() {
        ProgramFolderFixture folder;
        const auto change = [](const char* current, const char* purchase, const char* shown) {
            const ChangeInValue c = updateChangeInValue(current, purchase, shown);
            return c.text + (c.loss ? ", loss" : "");
        };
        QCOMPARE(change("1,250", "$1,000", ""), "20.00%");
        QCOMPARE(change("80", "100", ""), "-25.00%, loss");
        QCOMPARE(change("$5.00", "5", "-25.00%"), "0.00%");
        QCOMPARE(change("", "100", "20.00%"), "20.00%");
        QVERIFY(!folder.exists("corvantheil.Err"));
        QCOMPARE(change("12abc", "100", "7"), "700.00%");
        QCOMPARE(folder.log().count('\n'), 1);
    }

    // Typing follows at once, in the loss and gain colours.
    void changeInValueFollowsInTheWindow() {
        RunningProgram p(std::vector<TestItem>{{{"txtDescription", "Morgan"},
                                                {"txtFinancialChangeInValue", "stale"},
                                                {"txtCurrentValue", "80"},
                                                {"txtPurchasePrice", "100"}}});
        p.doubleClickCard(1);
        auto* change = p.control<QLineEdit>("txtFinancialChangeInValue");
        QCOMPARE(change->text(), QStringLiteral("-25.00%"));
        QCOMPARE(ui::textColour(change), QColor(255, 0, 0));
        QVERIFY(!p.window().editor().hasUnsavedChanges());
        auto* current = p.control<QLineEdit>("txtCurrentValue");
        current->selectAll();
        QTest::keyClicks(current, "125");
        QCOMPARE(change->text(), QStringLiteral("20.00%"));
        QCOMPARE(ui::textColour(change), QColor(0, 128, 0));
        QVERIFY(p.window().editor().hasUnsavedChanges());
    }

    void editMenuFollowsTheFocusedBox() {
        RunningProgram p(coins({"Morgan"}));
        p.doubleClickCard(1);
        const auto states = [&p] {
            const EditCommands::States s = p.window().menus().editCommands().enablingRule();
            QString on;
            for (const bool b : {s.undo, s.cut, s.copy, s.paste, s.deleteSelection, s.selectAll}) {
                on += b ? '1' : '0';
            }
            return on;
        };
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText("kept");
        auto* year = p.control<QLineEdit>("txtYear");
        year->setFocus();
        year->setCursorPosition(0);
        QCOMPARE(states(), QStringLiteral("000101"));
        year->setSelection(0, 2);
        QCOMPARE(states(), QStringLiteral("011111"));
        // The shortcut copies once, through the box.
        QSignalSpy copied(clipboard, &QClipboard::dataChanged);
        QTest::keyClick(year, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("19"));
        QCOMPARE(copied.count(), 1);
        // Del is Delete Selection: the selection goes, and nothing without one.
        QTest::keyClick(year, Qt::Key_Delete);
        QTest::keyClick(year, Qt::Key_Delete);
        QCOMPARE(year->text(), QStringLiteral("21"));
        QCOMPARE(states(), QStringLiteral("100101"));
        p.trigger("mnuEditSelectAll");
        p.trigger("mnuEditCut");
        QCOMPARE(clipboard->text(), QStringLiteral("21"));
        QCOMPARE(states(), QStringLiteral("100100"));
        clipboard->clear();
        QCOMPARE(states(), QStringLiteral("100000"));
        p.control<QComboBox>("cmbGrade")->setFocus();
        QCOMPARE(states(), QStringLiteral("000000"));
    }
};

QTEST_MAIN(ItemCommandsTest)
#include "item_commands_test.moc"
