#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "store/Collection.h"

#include <QtTest>

using store::CoinRecord;
using store::Collection;

namespace {

const QString kBackup = kDatabase + "backup";

// An empty program folder, its database written when given, and the collection loaded.
struct Folder : ProgramFolderFixture {
    explicit Folder(const QByteArray& database = {}) : ProgramFolderFixture(false) {
        QDir().mkpath(path("_data"));
        if (!database.isNull()) {
            write(kDatabase, database);
        }
        collection.load();
    }
    Collection collection{store::itemDatabasePath()};
};

const auto item = [](const QString& text) { return TestItem{{"txtDescription", text}}; };

QStringList flat(const std::vector<store::IniEntry>& fields) {
    QStringList list;
    for (const store::IniEntry& e : fields) {
        list << e.key << e.value;
    }
    return list;
}

} // namespace

// The store takes records and never a window.
class CollectionTest : public QObject {
    Q_OBJECT
private slots:
    // The first save makes one section and no backup; a rewrite, or a removal
    // renumbering the rest, keeps the old file as backup.
    void saveRewriteAndRemove() {
        Folder f;
        TestItem morgan{{"txtDescription", "1921 Morgan Dollar"}, {"txtYear", "  "}};
        QCOMPARE(f.collection.save(CoinRecord(morgan), std::nullopt), 0);
        const QByteArray first = f.read(kDatabase);
        QCOMPARE(first, "[ITEMNUMB000001]\r\ntxtDescription=1921 Morgan Dollar\r\n");
        QVERIFY(!f.exists(kBackup));
        morgan[1].value = "1921";
        QCOMPARE(f.collection.save(CoinRecord(morgan), 0), 0);
        QCOMPARE(f.read(kDatabase), databaseText({morgan}));
        QCOMPARE(f.read(kBackup), first);

        f.collection.save(CoinRecord(item("second")), std::nullopt);
        f.collection.save(CoinRecord(item("third")), std::nullopt);
        const QByteArray before = f.read(kDatabase);
        f.collection.remove(1);
        QCOMPARE(f.read(kDatabase), databaseText({morgan, item("third")}));
        QCOMPARE(f.read(kBackup), before);
        f.collection.remove(std::nullopt);
        QCOMPARE(f.collection.count(), 2);
    }

    // Unknown keys and key order of the other items survive every rewrite; a
    // stored item keeps an empty first picture key, a new one writes none.
    void rewriteKeepsWhatItDoesNotKnow() {
        const QByteArray other = "[ITEMNUMB000002]\r\nzzUnknown=kept\r\ntxtYear=1880\r\n"
                                 "g_sListOfImagesForItem(1)=\r\ntxtDescription=other\r\n"
                                 "G_SLISTOFIMAGESFORITEM(3)=c.jpg\r\n";
        Folder f("[ITEMNUMB000001]\r\ntxtDescription=first\r\n\r\n" + other);
        QCOMPARE(f.collection.record(1).pictures(), (QStringList{"", "c.jpg"}));
        QCOMPARE(f.collection.record(1).value(u"TXTYEAR"), "1880");
        const TestItem first{{"txtDescription", "first"}, {store::kFirstPictureKey, ""}};
        f.collection.save(CoinRecord(first), 0);
        const TestItem added{{"txtDescription", "new"}, {store::kFirstPictureKey, ""}};
        QCOMPARE(f.collection.save(CoinRecord(added), std::nullopt), 2);
        QCOMPARE(f.read(kDatabase),
                 "[ITEMNUMB000001]\r\ntxtDescription=first\r\ng_sListOfImagesForItem(1)=\r\n\r\n" +
                     other + "\r\n[ITEMNUMB000003]\r\ntxtDescription=new\r\n");
    }

    // Thousands of key names, some repeated in another letter case: a rewrite
    // writes the bytes the INI layer writes for the same sections.
    void manyKeyNamesAreWrittenAsTheIniLayerWritesThem() {
        std::vector<TestItem> items(40);
        for (int i = 0; i < 4000; ++i) {
            const QString key = "key" + QString::number(i);
            items[std::size_t(i % 40)].push_back({i % 3 ? key : key.toUpper(), "v" + key});
            items[std::size_t((i + 7) % 40)].push_back({key, QString::number(i)});
            if (i % 5 == 0) {
                items[std::size_t(i % 40)].push_back({key, "again"});
            }
        }
        Folder f(databaseText(items));
        items[0].push_back({"txtDescription", "saved"});
        f.collection.save(CoinRecord(items[0]), 0);
        QCOMPARE(f.read(kDatabase), databaseText(items));
    }

    void findsTheLastOfEqualDescriptions() {
        Folder f(databaseText(
            {item("Morgan"), item("Peace"), {{"txtYear", "1921"}, {"TXTDESCRIPTION", "MORGAN"}}}));
        QCOMPARE(f.collection.findByDescription("  morgan "), 2);
        QCOMPARE(f.collection.findByDescription("Peace"), 1);
        QCOMPARE(f.collection.findByDescription("Trade"), std::nullopt);
    }

    // After a save the collection is what loading the file gives, whatever the
    // records held: values the reader trims or maps, a key written twice, a
    // record with nothing to store. A failed write leaves the file, logs, and a
    // new item stays new; the next save after the cause is gone writes.
    void collectionAfterSaveIsTheFiles_data() {
        QTest::addColumn<int>("change"); // 0 save item 1, 1 remove item 2, 2 append
        QTest::addColumn<bool>("fails");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position"); // returned by the save, -1 for none
        QTest::newRow("rewritten") << 0 << false << 2 << 0;
        QTest::newRow("one left out") << 1 << false << 1 << -1;
        QTest::newRow("one appended after a blank one") << 2 << false << 3 << 2;
        QTest::newRow("failed rewrite") << 0 << true << 3 << -1;
        QTest::newRow("failed append") << 2 << true << 3 << -1;
    }
    void collectionAfterSaveIsTheFiles() {
        QFETCH(int, change);
        QFETCH(bool, fails);
        QFETCH(int, count);
        QFETCH(int, position);
        Folder f("[ITEMNUMB000001]\r\ntxtDescription=one\r\n\r\n"
                 "[ITEMNUMB000002]\r\ntxtDescription=two\r\ntxtYear=1921\r\n"
                 "TXTYEAR=1922\r\ntxtCountry=   \r\n\r\n"
                 "[ITEMNUMB000003]\r\ntxtDescription=  \r\n");
        const QByteArray before = f.read(kDatabase);
        const TestItem edited{{"txtDescription", "one"},
                              {"txtCountry", " \tCanada  "},
                              {"txtMiscNotes", QStringLiteral("a\r\nb \u2192 \u20ac\u0081")},
                              {"txtMiscNotes2", QString("x") + QChar(u'\0') + "y"},
                              {"g_sListOfImagesForItem(1)", "p1.jpg "}};
        // A directory in the temporary file's place stops the save before the rename.
        QVERIFY(!fails || QDir().mkpath(f.path(kDatabase + ".tmp")));
        std::optional<qsizetype> saved;
        if (change == 1) {
            f.collection.remove(1);
        } else {
            saved = f.collection.save(CoinRecord(edited), change == 0 ? 0 : std::optional<int>());
        }
        Collection reloaded(f.collection.databasePath());
        reloaded.load();
        QCOMPARE(f.collection.count(), count);
        QCOMPARE(reloaded.count(), count);
        for (qsizetype i = 0; i < count; ++i) {
            QCOMPARE(flat(f.collection.record(i).entries()), flat(reloaded.record(i).entries()));
        }
        QCOMPARE(saved.value_or(-1), position);
        QCOMPARE(f.read(kDatabase) == before, fails);
        if (fails) {
            QVERIFY(f.log().contains(",\"" + f.folder().toLocal8Bit() + "\", \r\n"));
            QVERIFY(QDir(f.path(kDatabase + ".tmp")).removeRecursively());
            QCOMPARE(f.collection.save(CoinRecord(edited), std::nullopt), 2);
        }
    }

    // With no database to back up, an older backup stays and the failed step
    // is logged; a later save backs up through a temporary name it cleans up.
    void olderBackupStaysWithoutADatabase() {
        Folder f;
        f.write(kBackup, "older");
        f.write(kBackup + ".tmp", "left by a killed save");
        f.collection.save(CoinRecord(item("first")), std::nullopt);
        QCOMPARE(f.read(kBackup), "older");
        QVERIFY(f.log().contains("\"53\",\"File not found\""));

        const QByteArray first = f.read(kDatabase);
        f.collection.save(CoinRecord(item("second")), std::nullopt);
        QCOMPARE(f.read(kBackup), first);
        QVERIFY(!f.exists(kBackup + ".tmp"));
        QVERIFY(!f.exists(kDatabase + ".tmp"));
    }

    // Records are read from the file when first asked for, in any order, and
    // must come out as reading the whole file gives them.
    void recordsReadOnDemandMatchTheWholeFile() {
        QByteArray file = "; a comment\r\nstray=line before any section\r\n";
        for (int i = 1; i <= 3000; ++i) {
            const QByteArray n = QByteArray::number(i);
            file += (i % 500 ? "  [ITEMNUMB" + n + "]\r\n" : "[no end " + n + '\n') +
                    "txtDescription= Coin [" + n + "] \r\n \xe9t\xe9 \t= \xff" + n + '\n' +
                    QByteArray("txtDetail=v\0\n", 13).repeated(i % 7) +
                    (i % 1000 ? "" : "[]\r\nlost=with its nameless section\r\n");
        }
        Folder f(file);
        f.collection.record(2999); // out of order first: the last, then one in the middle
        f.collection.record(1499);
        qsizetype position = 0;
        const store::IniDocument whole = store::IniDocument::parse(file);
        for (const store::IniSection& section : whole.sections()) {
            if (!section.name.isEmpty()) {
                QCOMPARE(flat(f.collection.record(position++).entries()), flat(section.entries));
            }
        }
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, f.collection.record(3000));
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, f.collection.record(-1));
    }

    // The file changing under a loaded collection must not crash or lose what was read.
    void aFileCutShortAfterLoadingReadsWhatIsLeft() {
        const QByteArray file = databaseText(
            std::vector<TestItem>(2000, {{"txtYear", "1"}, {"txtMiscNotes", QString(400, u'n')}}));
        Folder f(file);
        QCOMPARE(f.collection.record(0).value(u"txtYear"), "1");
        f.write(kDatabase, file.left(100));
        QCOMPARE(f.collection.count(), 2000);
        QVERIFY(f.collection.record(1999).isEmpty());
        QCOMPARE(f.collection.record(0).value(u"txtYear"), "1");
    }
};

QTEST_GUILESS_MAIN(CollectionTest)
#include "collection_test.moc"
