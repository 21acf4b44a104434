// What the window does for the collection's safety: letters outside
// Windows-1252, a file another program changed, a damaged file at start, and
// File > Restore from Backup.
#include "TestSupport.h"
#include "store/Backups.h"
#include "store/Collection.h"
#include "ui/collection/RestoreDialog.h"
#include "ui/edit/ItemEditor.h"
#include "ui/main/HomePage.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

namespace {

std::vector<TestItem> coins(std::initializer_list<const char*> descriptions) {
    std::vector<TestItem> items;
    for (const char* d : descriptions) {
        items.push_back({{"txtDescription", d}});
    }
    return items;
}

} // namespace

class CollectionSafetyTest : public QObject {
    Q_OBJECT
private slots:
    // A Polish name typed, saved, and opened again as it was typed.
    void anyLetterIsKept() {
        RunningProgram p(coins({"Morgan"}));
        p.trigger("mnuFileAddNewProperty");
        auto* box = p.control<QLineEdit>("txtDescription");
        for (const QChar c : QStringLiteral("1995 Poland 1 Złoty")) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &key);
        }
        p.trigger("mnuFileSave");
        QVERIFY(p.database().contains("txtDescription=1995 Poland 1 Z&#322;oty\r\n"));
        p.trigger("mnuFileClose");
        QCOMPARE(p.window().homePage().cardLine1(2), QStringLiteral("1995 Poland 1 Złoty"));
        p.doubleClickCard(2);
        QCOMPARE(p.control<QLineEdit>("txtDescription")->text(),
                 QStringLiteral("1995 Poland 1 Złoty"));
        QVERIFY(p.folder.fakes.boxes.shown.isEmpty());
    }

    // Another program rewrote the file while an item was open: the user is
    // told, the edit is kept and saved as a coin of its own, and every coin
    // the other program wrote is still whole.
    void aFileChangedElsewhereIsReadAgain() {
        RunningProgram p(coins({"Morgan", "Peace"}));
        p.doubleClickCard(1);
        p.window().editor().setText("txtDescription", "Morgan, cleaned");
        const QByteArray theirs = databaseText(coins({"Trade", "Morgan", "Peace"}));
        QTest::qWait(5);
        p.folder.write(kDatabase, theirs);
        p.trigger("mnuFileSave");
        const QList<platform::MessageRequest>& shown = p.folder.fakes.boxes.shown;
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.front().text.startsWith("Another program changed the collection file"));
        QVERIFY(p.database().startsWith(theirs));
        QVERIFY(p.database().endsWith("[ITEMNUMB000004]\r\ntxtDescription=Morgan, cleaned\r\n"
                                      "txtRecordLastUpdated=" +
                                      p.window().editor().text("txtRecordLastUpdated").toLatin1() +
                                      "\r\n"));
        QVERIFY(!p.window().editor().hasUnsavedChanges());
    }

    // At start a damaged file beside a good backup is told, with the offer to
    // restore; Yes restores it and keeps the damaged file aside, No leaves it.
    void aDamagedFileOffersTheBackup_data() {
        QTest::addColumn<platform::Answer>("answer");
        QTest::newRow("Yes") << platform::Answer::Yes;
        QTest::newRow("No") << platform::Answer::No;
    }
    void aDamagedFileOffersTheBackup() {
        QFETCH(platform::Answer, answer);
        ProgramFolderFixture folder;
        const QByteArray good = databaseText(coins({"a", "b", "c"}));
        const QByteArray cut = good.left(good.size() - 4);
        folder.write(kDatabase + "backup", good);
        folder.write(kDatabase, cut);
        folder.fakes.boxes.answers = {answer};
        const app::Program program = app::main();
        QCOMPARE(folder.fakes.boxes.shown.size(), 1);
        const QString asked = folder.fakes.boxes.shown.front().text;
        QVERIFY(asked.startsWith("The collection file could not be read whole: it ends in the "
                                 "middle of a line"));
        QVERIFY(asked.contains(" holds 3 coins. Do you want to restore it?"));
        const bool yes = answer == platform::Answer::Yes;
        QCOMPARE(folder.read(kDatabase), yes ? good : cut);
        QCOMPARE(program.collection->count(), 3);
        const QStringList aside =
            QDir(folder.path("_data\\backups")).entryList({"*_set-aside"}, QDir::Files);
        QCOMPARE(aside.size(), yes ? 1 : 0);
        QCOMPARE(folder.read(kDatabase + "backup"), good);
    }

    // The dated backups newest first with their coins; restoring one keeps
    // the collection as it was as one more backup.
    void restoreFromBackup() {
        RunningProgram p(coins({"one"}));
        for (const char* added : {"two", "three"}) {
            p.trigger("mnuFileAddNewProperty");
            p.window().editor().setText("txtDescription", added);
            p.trigger("mnuFileSave");
            p.trigger("mnuFileClose");
            QTest::qWait(20); // file times are only so fine
        }
        const QByteArray three = p.database();
        QStringList listed;
        p.folder.fakes.modalDialogs.handler = [&listed](QDialog& dialog) {
            auto* list = static_cast<RestoreDialog&>(dialog).list();
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                listed << list->topLevelItem(row)->text(1);
            }
            list->setCurrentItem(list->topLevelItem(1));
            dialog.accept();
        };
        p.trigger("mnuFileRestoreBackup");
        QCOMPARE(listed, (QStringList{"2", "1"}));
        QCOMPARE(p.database(), databaseText(coins({"one"})));
        QCOMPARE(p.window().homePage().cardLine1(1), QStringLiteral("one"));
        QVERIFY(!p.window().homePage().cardVisible(2));
        QVERIFY(p.folder.fakes.boxes.shown.back().text.startsWith("The collection is now as it"));
        const auto dated = store::datedBackups(p.folder.path(kDatabase));
        QVERIFY(std::any_of(dated.begin(), dated.end(), [&](const store::DatedBackup& b) {
            QFile f(b.path);
            return f.open(QIODevice::ReadOnly) && f.readAll() == three;
        }));
        // Only on the home page.
        p.doubleClickCard(1);
        p.trigger("mnuFileOpen");
        QVERIFY(!p.window().menus().action("mnuFileRestoreBackup")->isEnabled());
    }
};

QTEST_MAIN(CollectionSafetyTest)
#include "collection_safety_test.moc"
