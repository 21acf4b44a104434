#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "store/IniFile.h"
#include "store/ItemDatabase.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using store::FieldBox;
using store::g_lCurrentItem;
using store::g_lNumberOfItems;
using store::g_sAllItems;
using store::g_sListOfImagesForItem;

namespace {

const QString kDatabase = QStringLiteral("_data\\991106EB51");
const QString kBackup = QStringLiteral("_data\\991106EB51backup");

// Hands the store its boxes and records what the store asked of the window.
class FakeItemWindow : public store::ItemWindow {
public:
    FakeItemWindow() { store::setItemWindow(this); }
    ~FakeItemWindow() override { store::setItemWindow(nullptr); }

    void setBusy(bool busy) override { busyCalls << busy; }
    void stampRecordLastUpdated(const QString& when) override {
        stamps << when;
        setText(QStringLiteral("txtRecordLastUpdated"), when);
    }
    std::vector<FieldBox> fieldBoxes() const override { return boxes; }
    void takeCleanSnapshot() override { ++snapshots; }

    FakeItemWindow& text(const QString& name, const QString& text, bool enabled = true) {
        boxes.push_back({name, enabled, FieldBox::Kind::Text, text, -1});
        return *this;
    }
    FakeItemWindow& choice(const QString& name, int row, const QString& shown) {
        boxes.push_back({name, true, FieldBox::Kind::Choice, shown, row});
        return *this;
    }
    void setText(const QString& name, const QString& text) {
        for (FieldBox& box : boxes) {
            if (box.name == name) {
                box.text = text;
            }
        }
    }

    std::vector<FieldBox> boxes;
    QList<bool> busyCalls;
    QStringList stamps;
    int snapshots = 0;
};

struct Folder : ProgramFolderFixture {
    Folder() : ProgramFolderFixture(false) { QDir().mkpath(path(QStringLiteral("_data"))); }
    store::IniDocument database() const { return store::IniDocument::parse(read(kDatabase)); }
    // The section names, or the keys of one section.
    QStringList names(const QString& section = {}) const {
        QStringList names;
        const store::IniDocument doc = database();
        for (const store::IniSection& s : doc.sections()) {
            if (section.isNull()) {
                names << s.name;
            } else if (s.name == section) {
                for (const store::IniEntry& e : s.entries) {
                    names << e.key;
                }
            }
        }
        return names;
    }
    QString value(const QString& section, const QString& key) const {
        return database().value(section, key).value_or(QStringLiteral("<missing>"));
    }
};

// Saves a new item described by its description alone and returns its row.
qint32 addItem(FakeItemWindow& window, const QString& description) {
    window.boxes.clear();
    window.text(QStringLiteral("txtDescription"), description);
    g_lCurrentItem = 0;
    g_sListOfImagesForItem = QStringList(QString());
    store::saveAllItems(-1);
    return g_lCurrentItem;
}

QStringList pictureKeysOf(qint32 item) {
    QStringList keys;
    for (const store::IniEntry& e : g_sAllItems.ownSlots(item)) {
        if (e.key.contains(QStringLiteral("g_sListOfImagesForItem"), Qt::CaseInsensitive)) {
            keys << e.key + u'=' + e.value;
        }
    }
    return keys;
}

// Every key and value of every row, with the item count and the slot bound.
QList<QStringList> table() {
    QList<QStringList> rows{
        {QString::number(g_lNumberOfItems), QString::number(g_sAllItems.slotBound())}};
    for (qint32 i = 0; i <= g_sAllItems.itemBound(); ++i) {
        QStringList row;
        for (qint32 s = 1; s <= g_sAllItems.slotBound(); ++s) {
            row << g_sAllItems.key(i, s) << g_sAllItems.value(i, s);
        }
        rows << row;
    }
    return rows;
}

// The table after a save is what loading the file gives.
bool tableIsTheFiles() {
    const QList<QStringList> saved = table();
    store::loadAllItems();
    return saved == table();
}

} // namespace

class ItemDatabaseTest : public QObject {
    Q_OBJECT
private slots:
    void firstSaveCreatesOneSectionAndNoBackup() {
        Folder folder;
        FakeItemWindow window;
        window.text("txtDescription", "  1921 Morgan Dollar ")
            .text("txtCurrentValue", "$1,250.00")
            .text("txtRecordLastUpdated", "");
        store::loadAllItems();
        QCOMPARE(table(), (QList<QStringList>{{"0", "1"}, {"", ""}}));
        QVERIFY(!folder.exists(QStringLiteral("corvantheil.Err")));
        store::saveAllItems(-1);

        QCOMPARE(folder.names(), QStringList{"ITEMNUMB000001"});
        QVERIFY(!folder.exists(kBackup));
        QCOMPARE(QList({g_lCurrentItem, g_lNumberOfItems, window.snapshots}), QList({1, 1, 1}));
        QCOMPARE(folder.value("ITEMNUMB000001", "txtDescription"), "1921 Morgan Dollar");
        QCOMPARE(window.stamps.size(), 1);
        QVERIFY(QRegularExpression(R"(^\d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d\d:\d\d [AP]M)?$)")
                    .match(window.stamps.first())
                    .hasMatch());
        QCOMPARE(folder.value("ITEMNUMB000001", "txtRecordLastUpdated"), window.stamps.first());
        QCOMPARE(window.busyCalls, (QList<bool>{true, false}));
        QCOMPARE(g_sAllItems.key(1, 1), "txtDescription");

        // The saved item is now stored: saving it again rewrites, never appends.
        window.setText("txtCurrentValue", "$1,300.00");
        store::saveAllItems(-1);
        QCOMPARE(folder.names(), QStringList{"ITEMNUMB000001"});
        QCOMPARE(folder.value("ITEMNUMB000001", "txtCurrentValue"), "$1,300.00");
        QCOMPARE(g_lCurrentItem, 1);
        QVERIFY(folder.read(kBackup).contains("\r\ntxtCurrentValue=$1,250.00\r\n"));
        QCOMPARE(window.stamps.size(), 2);
    }

    void storingRulesForBoxes() {
        Folder folder;
        FakeItemWindow window;
        window.text("txtDescription", "   ")
            .text("txtYear", "1921")
            .text("txtCountry", "Canada", false)
            .choice("cmbGrade", 2, "AU-50")
            .choice("cmbMintMark", 0, "P")
            .text("txtMiscNotes", "a\nb")
            .text("txtMiscNotes2", " x\r\ny ");
        store::saveAllItems(-1);

        QCOMPARE(folder.names("ITEMNUMB000001"), (QStringList{"txtYear", "cmbGrade", "cmbMintMark",
                                                              "txtMiscNotes", "txtMiscNotes2"}));
        QCOMPARE(folder.value("ITEMNUMB000001", "cmbGrade"), "2");
        QCOMPARE(folder.value("ITEMNUMB000001", "cmbMintMark"), "0");
        QVERIFY(folder.read(kDatabase).contains("\r\ntxtMiscNotes=a~|b\r\n"));
        QCOMPARE(folder.value("ITEMNUMB000001", "txtMiscNotes2"), "x~|y");

        store::loadAllItems();
        QCOMPARE(g_sAllItems.value(1, 4), "a~|b");
        QCOMPARE(store::decodeText(g_sAllItems.value(1, 4)).split(u'\n'), (QStringList{"a", "b"}));
    }

    void pictureKeys() {
        Folder folder;
        folder.write(kDatabase, "[ITEMNUMB000001]\r\n"
                                "txtDescription=Buffalo Nickel\r\n"
                                "g_sListOfImagesForItem(1)=_data\\_userImages\\a.jpg\r\n"
                                "g_sListOfImagesForItem(3)=_data\\_userImages\\c.jpg\r\n"
                                "G_SLISTOFIMAGESFORITEM(4)=_data\\_userImages\\d.jpg\r\n");
        store::loadAllItems();
        QCOMPARE(pictureKeysOf(1).join(u' '),
                 "g_sListOfImagesForItem(1)=_data\\_userImages\\a.jpg g_sListOfImagesForItem(3)="
                 "_data\\_userImages\\c.jpg G_SLISTOFIMAGESFORITEM(4)=_data\\_userImages\\d.jpg");

        FakeItemWindow window;
        window.text("txtDescription", "Buffalo Nickel");
        g_lCurrentItem = 1;
        g_sListOfImagesForItem = {"", "p1.jpg", "", "p3.jpg", "p4.jpg"};
        store::saveAllItems(-1);
        QCOMPARE(pictureKeysOf(1).join(u' '), "g_sListOfImagesForItem(1)=p1.jpg "
                                              "g_sListOfImagesForItem(3)=p3.jpg "
                                              "g_sListOfImagesForItem(4)=p4.jpg");

        // A stored item without pictures keeps an empty first key.
        g_sListOfImagesForItem = QStringList(QString());
        store::saveAllItems(-1);
        QCOMPARE(pictureKeysOf(1), QStringList{"g_sListOfImagesForItem(1)="});
        QVERIFY(folder.read(kDatabase).endsWith("\r\ng_sListOfImagesForItem(1)=\r\n"));
        // ...which survives a rewrite that leaves another item out.
        store::saveAllItems(0);
        QCOMPARE(pictureKeysOf(1), QStringList{"g_sListOfImagesForItem(1)="});

        // A new item without pictures gets no picture key at all.
        g_lCurrentItem = 0;
        store::saveAllItems(-1);
        QCOMPARE(g_lCurrentItem, 2);
        QCOMPARE(folder.names("ITEMNUMB000002"), QStringList{"txtDescription"});
    }

    void removingAnItemRenumbersAndBacksUp() {
        Folder folder;
        FakeItemWindow window;
        addItem(window, "first");
        addItem(window, "second");
        QCOMPARE(addItem(window, "third"), 3);
        const QByteArray before = folder.read(kDatabase);
        QCOMPARE(folder.names(),
                 (QStringList{"ITEMNUMB000001", "ITEMNUMB000002", "ITEMNUMB000003"}));

        window.setText("txtDescription", "window text must not be read");
        const qsizetype stampsBefore = window.stamps.size();
        store::saveAllItems(2);

        QCOMPARE(folder.names(), (QStringList{"ITEMNUMB000001", "ITEMNUMB000002"}));
        QCOMPARE(folder.value("ITEMNUMB000001", "txtDescription"), "first");
        QCOMPARE(folder.value("ITEMNUMB000002", "txtDescription"), "third");
        QCOMPARE(folder.read(kBackup), before);
        QCOMPARE(window.stamps.size(), stampsBefore);
        QCOMPARE(g_lNumberOfItems, 2);
    }

    // After a save the table is what loading the file gives, whatever the
    // rows held: values the reader trims or maps, a key written twice, a row
    // with nothing to store; with an item left out, one appended, a failed write.
    void tableAfterSaveIsTheFilesTable_data() {
        QTest::addColumn<qint32>("leaveOut"); // -1: a new item is appended
        QTest::addColumn<bool>("fails");
        QTest::addColumn<qint32>("items");
        QTest::newRow("rewritten") << 0 << false << 2;
        QTest::newRow("one left out") << 2 << false << 1;
        QTest::newRow("one appended") << -1 << false << 3;
        QTest::newRow("failed write") << 0 << true << 3;
    }
    void tableAfterSaveIsTheFilesTable() {
        QFETCH(qint32, leaveOut);
        QFETCH(bool, fails);
        QFETCH(qint32, items);
        Folder folder;
        FakeItemWindow window;
        window.text("txtDescription", QStringLiteral("  new \u2192 item "))
            .text("txtMiscNotes", "l1\nl2");
        folder.write(kDatabase, "[ITEMNUMB000001]\r\ntxtDescription=one\r\n\r\n"
                                "[ITEMNUMB000002]\r\ntxtDescription=two\r\ntxtYear=1921\r\n\r\n"
                                "[ITEMNUMB000003]\r\ntxtDescription=three\r\n");
        const QByteArray before = folder.read(kDatabase);
        store::loadAllItems();
        g_sAllItems.setSlot(1, 2, "txtCountry", " \tCanada  ");
        g_sAllItems.setSlot(1, 3, "txtMiscNotes", QStringLiteral("a\r\nb \u2192 \u20ac\u0081"));
        g_sAllItems.setSlot(1, 4, "txtMiscNotes2", QString("x") + QChar(u'\0') + "y");
        g_sAllItems.setSlot(1, 5, "g_sListOfImagesForItem(1)", "p1.jpg ");
        g_sAllItems.setSlot(2, 3, "TXTYEAR", "1922");
        g_sAllItems.setSlot(2, 4, "txtCountry", "   ");
        g_sAllItems.setSlot(3, 1, "txtDescription", "  ");
        g_lCurrentItem = leaveOut < 0 ? 0 : 1;
        g_sListOfImagesForItem = {QString(), QStringLiteral("pic.jpg ")};
        // A temporary file that cannot be written stops the save before the rename.
        QVERIFY(!fails || QDir().mkpath(folder.path("_data\\991106EB51.tmp")));
        store::saveAllItems(leaveOut);

        QVERIFY(tableIsTheFiles());
        QCOMPARE(g_lNumberOfItems, items);
        if (fails) {
            QCOMPARE(folder.read(kDatabase), before);
            return;
        }
        QCOMPARE(g_sAllItems.value(1, 2), "Canada");
        QCOMPARE(g_sAllItems.value(1, 3), QStringLiteral("a  b ? \u20ac\u0081"));
        QCOMPARE(g_sAllItems.value(1, 4), "xy");
        QCOMPARE(g_sAllItems.value(1, 5), "p1.jpg");
        if (leaveOut != 2) {
            QCOMPARE(g_sAllItems.ownSlots(2).size(), 2u);
            QCOMPARE(g_sAllItems.value(2, 2), "1922");
        }
        if (leaveOut < 0) {
            QCOMPARE(g_lCurrentItem, 4);
            QCOMPARE(g_sAllItems.value(3, 1), "new ? item");
        }
    }

    // With no database to back up, an older backup stays and the failed step
    // is logged; a later save backs up through a temporary name it cleans up.
    void olderBackupStaysWithoutADatabase() {
        Folder folder;
        const QByteArray older("[ITEMNUMB000001]\r\ntxtDescription=older\r\n");
        folder.write(kBackup, older);
        folder.write(kBackup + ".tmp", "left by a killed save");
        FakeItemWindow window;
        addItem(window, "first");
        QCOMPARE(folder.read(kBackup), older);
        QVERIFY(folder.read("corvantheil.Err").contains("\"53\",\"File not found\""));

        const QByteArray first = folder.read(kDatabase);
        addItem(window, "second");
        QCOMPARE(folder.read(kBackup), first);
        QVERIFY(!folder.exists(kBackup + ".tmp"));
        QVERIFY(!folder.exists(kDatabase + ".tmp"));
    }

    // Rows are read from the file when first asked for, in any order, and must
    // come out as reading the whole file would give them.
    void rowsReadOnDemandMatchTheWholeFile() {
        Folder folder;
        QByteArray file = "; a comment\r\nstray=line before any section\r\n";
        for (int i = 1; i <= 3000; ++i) {
            file += "  [ITEMNUMB" + QByteArray::number(i) + "]\r\n";
            file += "txtDescription= Coin [" + QByteArray::number(i) + "] \r\n";
            for (int k = 0; k < i % 7; ++k) {
                file += "txtDetail" + QByteArray::number(k) + "=v\0" + QByteArray::number(k) + "\n";
            }
            if (i % 1000 == 0) {
                file += "[]\r\nlost=with its nameless section\r\n";
            }
        }
        folder.write(kDatabase, file);
        const store::IniDocument whole = store::IniDocument::parse(file);
        store::loadAllItems();
        QCOMPARE(g_lNumberOfItems, 3000);
        // Out of order first: the last row, then one in the middle.
        QCOMPARE(g_sAllItems.ownSlots(3000).front().value, QStringLiteral("Coin [3000]"));
        QCOMPARE(g_sAllItems.ownSlots(1500).size(), std::size_t(1 + 1500 % 7));
        const auto flat = [](const std::vector<store::IniEntry>& entries) {
            QStringList list;
            for (const store::IniEntry& e : entries) {
                list << e.key << e.value;
            }
            return list;
        };
        qint32 item = 0;
        for (const store::IniSection& section : whole.sections()) {
            if (!section.name.isEmpty()) {
                QCOMPARE(flat(g_sAllItems.ownSlots(++item)), flat(section.entries));
            }
        }
        QCOMPARE(item, g_lNumberOfItems);
        // Every row gets the widest row's slot count; beyond the bounds is an error.
        QCOMPARE(g_sAllItems.slotBound(), 7);
        QCOMPARE(g_sAllItems.key(1, 7), "");
        QCOMPARE(g_sAllItems.key(0, 7), "");
        QCOMPARE(g_sAllItems.key(6, 7), "txtDetail5");
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, g_sAllItems.key(1, 8));
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, g_sAllItems.key(3001, 1));
    }

    // The file changing under a loaded table must not crash or lose what was read.
    void aFileCutShortAfterLoadingReadsWhatIsLeft() {
        Folder folder;
        QByteArray file;
        for (int i = 1; i <= 2000; ++i) {
            file += "[ITEMNUMB" + QByteArray::number(i) + "]\r\ntxtYear=" + QByteArray::number(i) +
                    "\r\ntxtMiscNotes=" + QByteArray(400, 'n') + "\r\n";
        }
        folder.write(kDatabase, file);
        store::loadAllItems();
        QCOMPARE(g_sAllItems.ownSlots(1).front().value, QStringLiteral("1"));
        folder.write(kDatabase, file.left(100));
        QCOMPARE(g_lNumberOfItems, 2000);
        QVERIFY(g_sAllItems.ownSlots(2000).empty());
        QCOMPARE(g_sAllItems.ownSlots(1).front().value, QStringLiteral("1"));
    }

    void failedSaveKeepsTheDatabaseAndLogs() {
        Folder folder;
        FakeItemWindow window;
        addItem(window, "kept");
        const QByteArray before = folder.read(kDatabase);
        // The first save logged the missing database it could not back up.
        QVERIFY(QFile::remove(folder.path("corvantheil.Err")));
        // A directory in the temporary file's place blocks the write, even for root.
        QVERIFY(QDir().mkpath(folder.path("_data\\991106EB51.tmp")));

        QCOMPARE(addItem(window, "lost"), 0);
        QCOMPARE(folder.read(kDatabase), before);
        const QByteArray log = folder.read("corvantheil.Err");
        QVERIFY(!log.isEmpty());
        QVERIFY(log.contains(",\"" + folder.folder().toLocal8Bit() + "\", \r\n"));
        // The new item did not reach the file: it stays new and the table is the file's.
        QCOMPARE(g_lNumberOfItems, 1);
        QCOMPARE(window.snapshots, 2);

        QVERIFY(QDir(folder.path("_data\\991106EB51.tmp")).removeRecursively());
        store::saveAllItems(-1);
        QCOMPARE(folder.names(), (QStringList{"ITEMNUMB000001", "ITEMNUMB000002"}));
        QCOMPARE(folder.value("ITEMNUMB000002", "txtDescription"), "lost");
    }
};

QTEST_GUILESS_MAIN(ItemDatabaseTest)
#include "item_database_test.moc"
