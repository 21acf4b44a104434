// The File menu's item commands, driven through the menu on the real window.
#include "TestSupport.h"
#include "store/Collection.h"
#include "ui/edit/InputDialog.h"
#include "ui/edit/ItemEditor.h"
#include "ui/edit/MainMenus.h"
#include "ui/main/HomePage.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

std::vector<TestItem> coins(std::initializer_list<const char*> descriptions) {
    std::vector<TestItem> items;
    for (const char* d : descriptions) {
        items.push_back({{"txtDescription", d}, {"txtYear", "1921"}});
    }
    return items;
}

// The item sections of the database, as "description" lines.
QStringList descriptions(const QByteArray& database) {
    QStringList found;
    for (const QByteArray& line : database.split('\n')) {
        if (line.startsWith("txtDescription=")) {
            found << QString::fromLatin1(line.mid(15).trimmed());
        }
    }
    return found;
}

QString title(const RunningProgram& p, int element) {
    return p.control<QLabel>(QStringLiteral("lblBigDescription"), element)->text();
}

} // namespace

class ItemCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void addNewItemThenClose_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("nothing typed")
            << QString() << platform::Answer::Cancel << QStringList{"Morgan"};
        QTest::newRow("typed, No") << "Peace" << platform::Answer::No << QStringList{"Morgan"};
        QTest::newRow("typed, Yes")
            << "Peace" << platform::Answer::Yes << QStringList{"Morgan", "Peace"};
    }
    void addNewItemThenClose() {
        QFETCH(QString, typed);
        QFETCH(platform::Answer, answer);
        RunningProgram p(coins({"Morgan"}));
        p.trigger("mnuFileAddNewProperty");
        QVERIFY(p.window().isPanelShown(Panel::DetailedInfo));
        QVERIFY(p.window().editor().isNewItem());
        QCOMPARE(title(p, 0), QStringLiteral("Add New Item"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtDescription"));
        if (!typed.isEmpty()) {
            QTest::keyClicks(QApplication::focusWidget(), typed);
            QCOMPARE(title(p, 0), typed);
            QCOMPARE(title(p, 3), typed);
        }
        p.folder.fakes.boxes.answers = {answer};
        p.trigger("mnuFileClose");
        QCOMPARE(p.folder.fakes.boxes.shown.size(), typed.isEmpty() ? 0 : 1);
        QVERIFY(p.window().isHomePageShown());
        QTEST(descriptions(p.database()), "stored");
    }

    // The first save appends the new item, the second rewrites the same record.
    void savingANewItemTwiceStoresOneRecord() {
        RunningProgram p(coins({"Morgan"}));
        p.trigger("mnuFileAddNewProperty");
        QTest::keyClicks(QApplication::focusWidget(), "Peace");
        p.trigger("mnuFileSave");
        QCOMPARE(p.window().editor().position(), 1);
        p.window().editor().setText("txtYear", "1922");
        p.trigger("mnuFileSave");
        QCOMPARE(descriptions(p.database()), (QStringList{"Morgan", "Peace"}));
        QVERIFY(p.database().contains("txtYear=1922"));
        QVERIFY(!p.window().editor().hasUnsavedChanges());
        QVERIFY(p.folder.fakes.boxes.shown.isEmpty());
    }

    // The bytes a save writes, pinned: the edited item rebuilt from its boxes
    // (its unknown key gone, pictures renumbered), every other item as stored.
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
                            "txtRecordLastUpdated=<stamp>\r\n"
                            "g_sListOfImagesForItem(1)=_data\\_userImages\\a.jpg\r\n"
                            "g_sListOfImagesForItem(2)=_data\\_userImages\\c.jpg\r\n"
                            "\r\n[ITEMNUMB000003]\r\ntxtDescription=Third\r\n"
                            "zzOther=also kept\r\ng_sListOfImagesForItem(1)=\r\n"));
    }

    // A save that cannot be written keeps the edits: closing asks, and the
    // next save after the cause is gone writes them.
    void aFailedSaveKeepsTheEdits() {
        RunningProgram p(coins({"Morgan"}));
        const QByteArray before = p.database();
        p.doubleClickCard(1);
        p.window().editor().setText("txtYear", "1878");
        QVERIFY(QDir().mkpath(p.folder.path("_data\\991106EB51.tmp")));
        p.trigger("mnuFileSave");
        QCOMPARE(p.database(), before);
        QVERIFY(p.window().editor().hasUnsavedChanges());
        QVERIFY(QDir(p.folder.path("_data\\991106EB51.tmp")).removeRecursively());
        p.folder.fakes.boxes.answers = {platform::Answer::Yes};
        p.trigger("mnuFileClose");
        QCOMPARE(p.folder.fakes.boxes.shown.size(), 1);
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
        QString shownPrompt;
        QString selected;
        p.folder.fakes.modalDialogs.handler = [&](QDialog& dialog) {
            auto& input = static_cast<InputDialog&>(dialog);
            dialog.show();
            dialog.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            shownPrompt = dialog.findChild<QLabel*>("lblLabel")->text();
            selected = input.textBox()->selectedText();
            if (!typed.isEmpty()) {
                QTest::keyClicks(input.textBox(), typed);
            }
            QTest::keyClick(input.textBox(), static_cast<Qt::Key>(key));
            QVERIFY(!dialog.isVisible());
        };
        p.trigger("mnuFileSaveAs");
        QCOMPARE(p.folder.fakes.modalDialogs.titles, QStringList{"Save Item As..."});
        QCOMPARE(shownPrompt, QStringLiteral("What is the New Item Name?"));
        QCOMPARE(selected, QStringLiteral("Copy of Morgan"));
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
        QTest::newRow("Cancel") << platform::Answer::Cancel << QStringList{"Twin", "Other", "TWIN"};
        // The card shows the first "Twin"; the later of equal descriptions goes.
        QTest::newRow("OK") << platform::Answer::Ok << QStringList{"Twin", "Other"};
    }
    void removeSelectedItem() {
        QFETCH(platform::Answer, answer);
        RunningProgram p(coins({"Twin", "Other", "TWIN "}));
        p.window().homePage().filterBox()->setCurrentIndex(
            p.window().homePage().filterBox()->count() - 1);
        QTest::mouseClick(p.control<QLabel>("lblSelectPropertyLine1", 1), Qt::LeftButton);
        p.folder.fakes.boxes.answers = {answer};
        p.trigger("mnuFileRemoveSelectedProperty");
        const platform::MessageRequest& asked = p.folder.fakes.boxes.shown.front();
        QCOMPARE(asked.text, QStringLiteral("Are you sure you want to permanently remove:\r\n\r\n"
                                            "   \"Twin\" ?"));
        QCOMPARE(asked.title, QStringLiteral("Delete Property"));
        QCOMPARE(asked.buttons, platform::Buttons::OkCancel);
        QCOMPARE(asked.icon, platform::Icon::Warning);
        QCOMPARE(asked.defaultButton, 2);
        QTEST(descriptions(p.database()), "stored");
        if (answer == platform::Answer::Ok) {
            QCOMPARE(p.folder.fakes.boxes.shown.size(), 1);
            // The home page starts again from the first item; the filter box keeps its row.
            QCOMPARE(p.window().homePage().cardLine1(2), QStringLiteral("Other"));
            QCOMPARE(p.window().homePage().filterBox()->currentIndex(),
                     p.window().homePage().filterBox()->count() - 1);
        } else {
            QCOMPARE(p.folder.fakes.boxes.shown.size(), 2);
            QCOMPARE(p.folder.fakes.boxes.shown.back().text,
                     QStringLiteral("Removal of item Aborted.  The item has not been deleted"));
            QCOMPARE(p.folder.fakes.boxes.shown.back().title, QStringLiteral("Command Aborted"));
        }
    }

    // File and Tools menus in the four states of the window.
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
};

QTEST_MAIN(ItemCommandsTest)
#include "item_commands_test.moc"
