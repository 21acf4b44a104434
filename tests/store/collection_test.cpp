#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "store/Collection.h"
#include "store/IniDocument.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using store::CoinRecord;
using store::Collection;

namespace {

const QString kDatabase = QStringLiteral("_data\\991106EB51");
const QString kBackup = QStringLiteral("_data\\991106EB51backup");

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

CoinRecord record(const QList<std::pair<QString, QString>>& fields) {
    CoinRecord r;
    for (const auto& [key, value] : fields) {
        r.append(key, value);
    }
    return r;
}

CoinRecord described(const QString& description) {
    return record({{"txtDescription", description}});
}

QStringList flat(const CoinRecord& r) {
    QStringList list;
    for (const store::IniEntry& e : r.fields()) {
        list << e.key << e.value;
    }
    return list;
}

// Every key and value of every record.
QList<QStringList> contents(const Collection& collection) {
    QList<QStringList> records;
    for (qsizetype i = 0; i < collection.count(); ++i) {
        records << flat(collection.record(i));
    }
    return records;
}

// The collection after a save is what loading the file gives.
bool isTheFiles(const Collection& collection) {
    Collection reloaded(collection.databasePath());
    reloaded.load();
    return contents(collection) == contents(reloaded);
}

} // namespace

class CollectionTest : public QObject {
    Q_OBJECT
private slots:
    void firstSaveCreatesOneSectionAndNoBackup() {
        Folder folder;
        Collection collection(store::itemDatabasePath());
        collection.load();
        QCOMPARE(collection.count(), 0);
        QVERIFY(!folder.exists(QStringLiteral("corvantheil.Err")));
        QCOMPARE(collection.save(record({{"txtDescription", "1921 Morgan Dollar"},
                                         {"txtCurrentValue", "$1,250.00"},
                                         {"txtYear", "  "}}),
                                 std::nullopt),
                 0);
        QCOMPARE(folder.names(), QStringList{"ITEMNUMB000001"});
        QCOMPARE(folder.names("ITEMNUMB000001"),
                 (QStringList{"txtDescription", "txtCurrentValue"}));
        QVERIFY(!folder.exists(kBackup));
        QCOMPARE(collection.count(), 1);
        QCOMPARE(collection.record(0).description(), "1921 Morgan Dollar");

        // The saved item is now stored: saving it again rewrites, never appends.
        QCOMPARE(collection.save(record({{"txtDescription", "1921 Morgan Dollar"},
                                         {"txtCurrentValue", "$1,300.00"}}),
                                 0),
                 0);
        QCOMPARE(folder.names(), QStringList{"ITEMNUMB000001"});
        QCOMPARE(folder.value("ITEMNUMB000001", "txtCurrentValue"), "$1,300.00");
        QVERIFY(folder.read(kBackup).contains("\r\ntxtCurrentValue=$1,250.00\r\n"));
    }

    // Unknown keys and key order of the other items survive every rewrite; a
    // stored item keeps an empty first picture key, a new one writes none.
    void rewriteKeepsWhatItDoesNotKnow() {
        Folder folder;
        const QByteArray other = "[ITEMNUMB000002]\r\nzzUnknown=kept\r\ntxtYear=1880\r\n"
                                 "g_sListOfImagesForItem(1)=\r\ntxtDescription=other\r\n";
        folder.write(kDatabase, "[ITEMNUMB000001]\r\ntxtDescription=first\r\n\r\n" + other);
        Collection collection(store::itemDatabasePath());
        collection.load();
        QCOMPARE(collection.record(1).pictures(), QStringList{""});
        collection.save(record({{"txtDescription", "first"}, {store::kFirstPictureKey, ""}}), 0);
        QCOMPARE(collection.save(record({{"txtDescription", "new"}, {store::kFirstPictureKey, ""}}),
                                 std::nullopt),
                 2);
        QCOMPARE(folder.read(kDatabase),
                 "[ITEMNUMB000001]\r\ntxtDescription=first\r\ng_sListOfImagesForItem(1)=\r\n\r\n" +
                     other + "\r\n[ITEMNUMB000003]\r\ntxtDescription=new\r\n");
    }

    void picturesAreReadInKeyOrder() {
        const CoinRecord r = record({{"g_sListOfImagesForItem(1)", "a.jpg"},
                                     {"txtDescription", "Buffalo Nickel"},
                                     {"g_sListOfImagesForItem(3)", "c.jpg"},
                                     {"G_SLISTOFIMAGESFORITEM(4)", ""}});
        QCOMPARE(r.pictures(), (QStringList{"a.jpg", "c.jpg", ""}));
        QCOMPARE(r.value(u"TXTDESCRIPTION"), "Buffalo Nickel");
        QVERIFY(!r.value(u"txtYear"));
    }

    void findsTheLastOfEqualDescriptions() {
        Folder folder;
        folder.write(kDatabase, "[ITEMNUMB000001]\r\ntxtDescription=Morgan\r\n"
                                "[ITEMNUMB000002]\r\ntxtDescription=Peace\r\n"
                                "[ITEMNUMB000003]\r\ntxtYear=1921\r\ntxtDescription=MORGAN\r\n");
        Collection collection(store::itemDatabasePath());
        collection.load();
        QCOMPARE(collection.findByDescription("  morgan "), 2);
        QCOMPARE(collection.findByDescription("Peace"), 1);
        QCOMPARE(collection.findByDescription("Trade"), std::nullopt);
    }

    void removingAnItemRenumbersAndBacksUp() {
        Folder folder;
        Collection collection(store::itemDatabasePath());
        for (const char* d : {"first", "second", "third"}) {
            collection.save(described(d), std::nullopt);
        }
        const QByteArray before = folder.read(kDatabase);
        QCOMPARE(folder.names(),
                 (QStringList{"ITEMNUMB000001", "ITEMNUMB000002", "ITEMNUMB000003"}));
        collection.remove(1);
        QCOMPARE(folder.names(), (QStringList{"ITEMNUMB000001", "ITEMNUMB000002"}));
        QCOMPARE(folder.value("ITEMNUMB000001", "txtDescription"), "first");
        QCOMPARE(folder.value("ITEMNUMB000002", "txtDescription"), "third");
        QCOMPARE(folder.read(kBackup), before);
        QCOMPARE(collection.count(), 2);
        collection.remove(std::nullopt);
        QCOMPARE(collection.count(), 2);
    }

    // After a save the collection is what loading the file gives, whatever
    // the records held: values the reader trims or maps, a key written twice,
    // a record with nothing to store; with an item left out, one appended, a
    // failed write.
    void collectionAfterSaveIsTheFiles_data() {
        QTest::addColumn<int>("change"); // 0 save item 1, 1 remove item 2, 2 append
        QTest::addColumn<bool>("fails");
        QTest::addColumn<int>("items");
        QTest::newRow("rewritten") << 0 << false << 2;
        QTest::newRow("one left out") << 1 << false << 1;
        QTest::newRow("one appended") << 2 << false << 3;
        QTest::newRow("failed write") << 0 << true << 3;
    }
    void collectionAfterSaveIsTheFiles() {
        QFETCH(int, change);
        QFETCH(bool, fails);
        QFETCH(int, items);
        Folder folder;
        folder.write(kDatabase, "[ITEMNUMB000001]\r\ntxtDescription=one\r\n\r\n"
                                "[ITEMNUMB000002]\r\ntxtDescription=two\r\ntxtYear=1921\r\n"
                                "TXTYEAR=1922\r\ntxtCountry=   \r\n\r\n"
                                "[ITEMNUMB000003]\r\ntxtDescription=  \r\n");
        const QByteArray before = folder.read(kDatabase);
        Collection collection(store::itemDatabasePath());
        collection.load();
        const CoinRecord edited =
            record({{"txtDescription", "one"},
                    {"txtCountry", " \tCanada  "},
                    {"txtMiscNotes", QStringLiteral("a\r\nb \u2192 \u20ac\u0081")},
                    {"txtMiscNotes2", QString("x") + QChar(u'\0') + "y"},
                    {"g_sListOfImagesForItem(1)", "p1.jpg "}});
        // A temporary file that cannot be written stops the save before the rename.
        QVERIFY(!fails || QDir().mkpath(folder.path("_data\\991106EB51.tmp")));
        std::optional<qsizetype> stored;
        if (change == 0) {
            stored = collection.save(edited, 0);
        } else if (change == 1) {
            collection.remove(1);
        } else {
            stored = collection.save(edited, std::nullopt);
        }
        QVERIFY(isTheFiles(collection));
        QCOMPARE(collection.count(), items);
        if (fails) {
            QCOMPARE(stored, std::nullopt);
            QCOMPARE(folder.read(kDatabase), before);
            return;
        }
        const CoinRecord& saved = collection.record(stored.value_or(0));
        QCOMPARE(flat(saved),
                 change == 1
                     ? flat(described("one"))
                     : (QStringList{"txtDescription", "one", "txtCountry", "Canada", "txtMiscNotes",
                                    QStringLiteral("a  b ? \u20ac\u0081"), "txtMiscNotes2", "xy",
                                    "g_sListOfImagesForItem(1)", "p1.jpg"}));
        if (change != 1) {
            QCOMPARE(flat(collection.record(1)),
                     (QStringList{"txtDescription", "two", "txtYear", "1922"}));
        }
    }

    // With no database to back up, an older backup stays and the failed step
    // is logged; a later save backs up through a temporary name it cleans up.
    void olderBackupStaysWithoutADatabase() {
        Folder folder;
        const QByteArray older("[ITEMNUMB000001]\r\ntxtDescription=older\r\n");
        folder.write(kBackup, older);
        folder.write(kBackup + ".tmp", "left by a killed save");
        Collection collection(store::itemDatabasePath());
        collection.save(described("first"), std::nullopt);
        QCOMPARE(folder.read(kBackup), older);
        QVERIFY(folder.read("corvantheil.Err").contains("\"53\",\"File not found\""));

        const QByteArray first = folder.read(kDatabase);
        collection.save(described("second"), std::nullopt);
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
        Collection collection(store::itemDatabasePath());
        collection.load();
        QCOMPARE(collection.count(), 3000);
        // Out of order first: the last record, then one in the middle.
        QCOMPARE(collection.record(2999).description(), QStringLiteral("Coin [3000]"));
        QCOMPARE(collection.record(1499).fields().size(), std::size_t(1 + 1500 % 7));
        qsizetype item = 0;
        for (const store::IniSection& section : whole.sections()) {
            if (!section.name.isEmpty()) {
                QCOMPARE(flat(collection.record(item++)), flat(CoinRecord(section.entries)));
            }
        }
        QCOMPARE(item, collection.count());
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, collection.record(3000));
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, collection.record(-1));
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
        Collection collection(store::itemDatabasePath());
        collection.load();
        QCOMPARE(collection.record(0).fields().front().value, QStringLiteral("1"));
        folder.write(kDatabase, file.left(100));
        QCOMPARE(collection.count(), 2000);
        QVERIFY(collection.record(1999).isEmpty());
        QCOMPARE(collection.record(0).fields().front().value, QStringLiteral("1"));
    }

    void failedSaveKeepsTheDatabaseAndLogs() {
        Folder folder;
        Collection collection(store::itemDatabasePath());
        collection.save(described("kept"), std::nullopt);
        const QByteArray before = folder.read(kDatabase);
        // The first save logged the missing database it could not back up.
        QVERIFY(QFile::remove(folder.path("corvantheil.Err")));
        // A directory in the temporary file's place blocks the write, even for root.
        QVERIFY(QDir().mkpath(folder.path("_data\\991106EB51.tmp")));

        QCOMPARE(collection.save(described("lost"), std::nullopt), std::nullopt);
        QCOMPARE(collection.save(described("changed"), 0), std::nullopt);
        QCOMPARE(folder.read(kDatabase), before);
        const QByteArray log = folder.read("corvantheil.Err");
        QVERIFY(log.contains(",\"" + folder.folder().toLocal8Bit() + "\", \r\n"));
        QCOMPARE(contents(collection), QList<QStringList>{flat(described("kept"))});

        QVERIFY(QDir(folder.path("_data\\991106EB51.tmp")).removeRecursively());
        QCOMPARE(collection.save(described("lost"), std::nullopt), 1);
        QCOMPARE(folder.names(), (QStringList{"ITEMNUMB000001", "ITEMNUMB000002"}));
        QCOMPARE(folder.value("ITEMNUMB000002", "txtDescription"), "lost");
    }
};

QTEST_GUILESS_MAIN(CollectionTest)
#include "collection_test.moc"
