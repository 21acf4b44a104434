#include "FakeDisk.h"
#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "store/Backups.h"
#include "store/Collection.h"
#include "store/Recovery.h"

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
    QStringList datedBackups() const {
        return QDir(path("_data\\backups")).entryList(QDir::Files, QDir::Name);
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

// A section's entries as a reader that takes the first of repeated keys gives them.
std::vector<store::IniEntry> firstOfEachKey(const std::vector<store::IniEntry>& entries) {
    std::vector<store::IniEntry> out;
    for (const store::IniEntry& e : entries) {
        if (std::none_of(out.begin(), out.end(), [&e](const store::IniEntry& o) {
                return o.key.compare(e.key, Qt::CaseInsensitive) == 0;
            })) {
            out.push_back(e);
        }
    }
    return out;
}

} // namespace

// The store takes records and never a window.
class CollectionTest : public QObject {
    Q_OBJECT
private slots:
    // The first save makes one section and no backup; a rewrite, or a removal
    // renumbering the rest, keeps the old file as backup and as a dated backup.
    void saveRewriteAndRemove() {
        Folder f;
        TestItem morgan{{"txtDescription", "1921 Morgan Dollar"}, {"txtYear", "  "}};
        QCOMPARE(f.collection.save(CoinRecord(morgan), std::nullopt), 0);
        const QByteArray first = f.read(kDatabase);
        QCOMPARE(first, "[ITEMNUMB000001]\r\ntxtDescription=1921 Morgan Dollar\r\n");
        QVERIFY(!f.exists(kBackup));
        QVERIFY(f.datedBackups().isEmpty());
        morgan[1].value = "1921";
        QCOMPARE(f.collection.save(CoinRecord(morgan), 0), 0);
        QCOMPARE(f.read(kDatabase), databaseText({morgan}));
        QCOMPARE(f.read(kBackup), first);
        QCOMPARE(f.datedBackups().size(), 1);
        QVERIFY(f.datedBackups().front().endsWith("_1-coin"));

        f.collection.save(CoinRecord(item("second")), std::nullopt);
        QTest::qWait(20); // file times are only so fine, and they order the backups
        f.collection.save(CoinRecord(item("third")), std::nullopt);
        const QByteArray before = f.read(kDatabase);
        QVERIFY(f.collection.remove(1));
        QCOMPARE(f.read(kDatabase), databaseText({morgan, item("third")}));
        QCOMPARE(f.read(kBackup), before);
        QCOMPARE(f.collection.count(), 2);
        const std::vector<store::DatedBackup> dated = store::datedBackups(f.path(kDatabase));
        QCOMPARE(dated.size(), std::size_t(4));
        QCOMPARE(dated.front().coins, 3); // newest first: the file before the removal
        QCOMPARE(f.read(QDir(f.path("_data\\backups"))
                            .relativeFilePath(dated.front().path)
                            .prepend("_data\\backups\\")),
                 before);
    }

    // A file as this program writes it is written back byte for byte but for
    // the saved coin. Items nobody edited keep every line (keys written twice,
    // comments, stray lines, quotes, LF ends); the saved coin keeps the keys
    // the window does not know after its fields, before its pictures.
    void sectionsNobodyEditedStayByteForByte() {
        std::vector<TestItem> items(40);
        for (int i = 0; i < 4000; ++i) {
            items[std::size_t(i % 40)].push_back(
                {"key" + QString::number(i), "value " + QString::number(i)});
        }
        Folder plain(databaseText(items));
        items[0].push_back({"txtDescription", "saved"});
        plain.collection.save(CoinRecord(items[0]), 0);
        QCOMPARE(plain.read(kDatabase), databaseText(items));

        const QByteArray other = "zzUnknown=kept\ntxtYear=1880\n"
                                 "; a comment\nno equals sign\ntxtDescription=\"Quoted\"\n"
                                 "TXTYEAR=1881\ng_sListOfImagesForItem(1)=\r\n"
                                 "G_SLISTOFIMAGESFORITEM(3)=c.jpg\r\n";
        Folder f("; made by hand\r\n[ITEMNUMB000001]\r\ntxtDescription=first\r\nzzTool=x\r\n"
                 "txtYear=1900\r\ng_sListOfImagesForItem(1)=a.jpg\r\nzzLater=y\r\n\r\n\r\n"
                 "[ITEMNUMB000002]\n" +
                 other);
        const CoinRecord& second = f.collection.record(1);
        QCOMPARE(second.value(store::Field::Year), "1880"); // the first of a key written twice
        QCOMPARE(second.description(), "Quoted");
        QCOMPARE(second.pictures(), (QStringList{"", "c.jpg"}));
        const TestItem first{{"txtDescription", "first!"}, {"g_sListOfImagesForItem(1)", "a.jpg"}};
        QCOMPARE(f.collection.save(CoinRecord(first), 0), 0);
        QCOMPARE(f.read(kDatabase),
                 "; made by hand\r\n[ITEMNUMB000001]\r\ntxtDescription=first!\r\nzzTool=x\r\n"
                 "zzLater=y\r\ng_sListOfImagesForItem(1)=a.jpg\r\n\r\n[ITEMNUMB000002]\r\n" +
                     other);
        QCOMPARE(f.collection.record(0).value(u"zzLater"), "y");
    }

    // Files saved by other programs: every coin and every letter is read, and
    // a save writes Windows-1252 with CR LF and no byte-order mark.
    void filesFromOtherProgramsReadWhole_data() {
        QTest::addColumn<QByteArray>("file");
        const QString text =
            QStringLiteral("[ITEMNUMB000001]\r\ntxtDescription=1995 Poland 1 Złoty\r\n"
                           "txtCountry=Österreich\r\n\r\n"
                           "[ITEMNUMB000002]\r\ntxtDescription=Ελλάδα 🪙\r\n");
        QTest::newRow("UTF-8 with a BOM") << "\xEF\xBB\xBF" + text.toUtf8();
        QByteArray le("\xFF\xFE", 2), be("\xFE\xFF", 2);
        for (QChar c : text) {
            le += char(c.unicode() & 0xFF);
            le += char(c.unicode() >> 8);
            be += char(c.unicode() >> 8);
            be += char(c.unicode() & 0xFF);
        }
        QTest::newRow("UTF-16 LE") << le;
        QTest::newRow("UTF-16 BE") << be;
        QTest::newRow("lone CR") << QByteArray(
            "[ITEMNUMB000001]\rtxtDescription=1995 Poland 1 Z&#322;oty\rtxtCountry=\xd6sterreich"
            "\r\r[ITEMNUMB000002]\rtxtDescription=&#917;&#955;&#955;&#940;&#948;&#945; &#129689;"
            "\r");
    }
    void filesFromOtherProgramsReadWhole() {
        QFETCH(QByteArray, file);
        Folder f(file);
        QCOMPARE(f.collection.count(), 2);
        QCOMPARE(f.collection.record(0).description(), QStringLiteral("1995 Poland 1 Złoty"));
        QCOMPARE(f.collection.record(0).value(store::Field::Country), QStringLiteral("Österreich"));
        QCOMPARE(f.collection.record(1).description(), QStringLiteral("Ελλάδα 🪙"));
        QCOMPARE(f.collection.save(CoinRecord(item("Москва 東京")), std::nullopt), 2);
        QCOMPARE(f.read(kDatabase),
                 "[ITEMNUMB000001]\r\ntxtDescription=1995 Poland 1 Z&#322;oty\r\n"
                 "txtCountry=\xd6sterreich\r\n\r\n"
                 "[ITEMNUMB000002]\r\ntxtDescription=&#917;&#955;&#955;&#940;&#948;&#945; "
                 "&#129689;\r\n\r\n"
                 "[ITEMNUMB000003]\r\ntxtDescription=&#1052;&#1086;&#1089;&#1082;&#1074;&#1072; "
                 "&#26481;&#20140;\r\n");
        Collection reloaded(f.collection.databasePath());
        reloaded.load();
        QCOMPARE(reloaded.record(2).description(), QStringLiteral("Москва 東京"));
        QCOMPARE(reloaded.record(0).description(), QStringLiteral("1995 Poland 1 Złoty"));
    }

    // What the program interprets is read through typed accessors.
    void typedAccess() {
        Folder f(databaseText({{{"txtCurrentValue", "$1,250.00"},
                                {"txtPurchasePrice", "lots"},
                                {"cmbGrade", "2"},
                                {"cmbMintMark", "999"},
                                {"txtYear", "1921"}}}));
        const CoinRecord& r = f.collection.record(0);
        QCOMPARE(r.amount(store::Field::CurrentValue), 1250.0);
        QCOMPARE(r.amount(store::Field::PurchasePrice), std::nullopt);
        QCOMPARE(r.amount(store::Field::LastAppraisal), std::nullopt);
        QCOMPARE(r.listText(store::Field::Grade), QStringLiteral("Proof (PF-60)"));
        QCOMPARE(r.listRow(store::Field::MintMark), std::nullopt);
        QCOMPARE(r.year(), QStringLiteral("1921"));
    }

    // No length limit, and "&#65;" or a reference below 256 stays text.
    void longValuesAndLiteralReferencesRoundTrip() {
        Folder f;
        const QString huge = QString(1024 * 1024, u'x') + "&#65; &#255; &#x142; &#";
        QCOMPARE(f.collection.save(CoinRecord(item(huge)), std::nullopt), 0);
        Collection reloaded(f.collection.databasePath());
        reloaded.load();
        QCOMPARE(reloaded.record(0).description(), huge);
    }

    // After a save the collection is what loading the file gives, whatever the
    // records held. A failed write leaves the file, logs, and a new item stays
    // new; the next save after the cause is gone writes.
    void collectionAfterSaveIsTheFiles_data() {
        QTest::addColumn<int>("change"); // 0 save item 1, 1 remove item 2, 2 append
        QTest::addColumn<bool>("fails");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position"); // returned by the save, -1 for none
        QTest::newRow("rewritten") << 0 << false << 3 << 0;
        QTest::newRow("one left out") << 1 << false << 2 << -1;
        QTest::newRow("one appended after a blank one") << 2 << false << 4 << 3;
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
            QVERIFY(f.collection.remove(1));
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
        QCOMPARE(f.collection.lastFailure().has_value(), fails);
        if (fails) {
            QCOMPARE(app::failureCause(*f.collection.lastFailure()),
                     "a folder stands where the file should be");
            QVERIFY(f.log().contains(",\"" + f.folder().toLocal8Bit() + "\", \r\n"));
            QVERIFY(QDir(f.path(kDatabase + ".tmp")).removeRecursively());
            QCOMPARE(f.collection.save(CoinRecord(edited), std::nullopt), 3);
        }
    }

    // A full disk, a failing flush or rename, a read-only folder: the save says
    // why and leaves the database and every backup as they were. The folder is
    // flushed after the rename, so that the rename survives a power cut.
    void failedSavesChangeNothing_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("cause");
        QTest::newRow("disk full") << int(FakeDisk::Call::Write) << ENOSPC << "the disk is full";
        QTest::newRow("flush fails")
            << int(FakeDisk::Call::Fsync) << EIO << "the disk reported an error";
        QTest::newRow("rename refused")
            << int(FakeDisk::Call::Rename) << EROFS << "the disk is read-only";
        QTest::newRow("ordinary user, read-only folder") << -1 << 0
                                                         << "the folder or file may not be "
                                                            "written to";
    }
    void failedSavesChangeNothing() {
        QFETCH(int, call);
        QFETCH(int, error);
        if (call < 0 && ::geteuid() == 0) {
            return rerunAsOrdinaryUser();
        }
        Folder f(databaseText({item("one"), item("two")}));
        QVERIFY(f.collection.save(CoinRecord(item("one!")), 0));
        const QByteArray database = f.read(kDatabase), backup = f.read(kBackup);
        const QStringList dated = f.datedBackups();
        FakeDisk disk;
        if (call < 0) {
            QVERIFY(QFile::setPermissions(f.path("_data"), QFile::ReadOwner | QFile::ExeOwner));
        } else {
            disk.failNext(FakeDisk::Call(call), error, "991106EB51");
        }
        QCOMPARE(f.collection.save(CoinRecord(item("two!")), 1), std::nullopt);
        QTEST(app::failureCause(*f.collection.lastFailure()), "cause");
        QCOMPARE(f.read(kDatabase), database);
        QCOMPARE(f.read(kBackup), backup);
        QCOMPARE(f.datedBackups(), dated);
        QVERIFY(!f.exists(kDatabase + ".tmp"));
        QCOMPARE(f.collection.record(1).description(), "two");
        QFile::setPermissions(f.path("_data"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        disk.events.clear();
        QCOMPARE(f.collection.save(CoinRecord(item("two!")), 1), 1);
        const QString dataFolder = "fsync:dir:" + QFileInfo(f.path(kDatabase)).absolutePath();
        const qsizetype renamed = disk.events.indexOf("rename:" + f.path(kDatabase));
        QVERIFY(disk.events.indexOf("fsync:" + f.path(kDatabase + ".tmp")) < renamed);
        QVERIFY2(renamed >= 0 && disk.events.indexOf(dataFolder, renamed) > renamed,
                 qPrintable(disk.events.join("\n")));
    }

    // With no database to back up, an older backup stays and the failed step
    // is logged; a damaged or empty database never replaces the only good copy:
    // the backup is kept as a dated backup before it is replaced.
    void theLastGoodCopyIsNeverReplaced() {
        Folder f;
        const QByteArray good = databaseText({item("a"), item("b"), item("c")});
        f.write(kBackup, good);
        f.write(kBackup + ".tmp", "left by a killed save");
        f.collection.save(CoinRecord(item("first")), std::nullopt);
        QCOMPARE(f.read(kBackup), good);
        QVERIFY(f.log().contains("\"53\",\"File not found\""));

        f.write(kDatabase, QByteArray());
        f.collection.load();
        QCOMPARE(f.collection.damage(), store::FileDamage::Empty);
        f.collection.save(CoinRecord(item("after")), std::nullopt);
        QCOMPARE(f.read(kBackup), good);
        const QByteArray written = f.read(kDatabase);
        f.collection.save(CoinRecord(item("again")), std::nullopt);
        QCOMPARE(f.read(kBackup), written);
        QVERIFY(!f.exists(kBackup + ".tmp"));
        const auto dated = store::datedBackups(f.path(kDatabase));
        QVERIFY(std::any_of(dated.begin(), dated.end(),
                            [](const store::DatedBackup& b) { return b.coins == 3; }));
    }

    // What start-up calls damage, and a restore that keeps the damaged file aside.
    void damageIsFoundAndABackupRestored() {
        Folder f;
        const QByteArray good = databaseText({item("a"), item("b")});
        const QByteArray large = databaseText(std::vector<TestItem>(20000, item("filler")));
        f.collection.load();
        QCOMPARE(f.collection.damage(), store::FileDamage::Missing);
        for (const auto& [bytes, damage] :
             {std::pair{good, store::FileDamage::None},
              std::pair{good.left(good.size() - 3), store::FileDamage::CutShort},
              std::pair{"junk\r\n" + good, store::FileDamage::StrayLines},
              std::pair{good + "no key here\r\n", store::FileDamage::StrayLines},
              std::pair{"; note\r\n" + good + "\r\n", store::FileDamage::None},
              // Read in pieces: a stray line far into a large file, and one
              // that a piece's end cuts in two.
              std::pair{large + good, store::FileDamage::None},
              std::pair{large + "no key here\r\n" + good, store::FileDamage::StrayLines},
              std::pair{large.first(large.lastIndexOf('\n', 256 * 1024) + 1) +
                            QByteArray(200, 's') + "\r\n" + good,
                        store::FileDamage::StrayLines}}) {
            f.write(kDatabase, bytes);
            f.collection.load();
            QCOMPARE(f.collection.damage(), damage);
        }
        f.write(kBackup, good);
        f.write(kDatabase, good.left(30));
        const std::optional<store::GoodBackup> backup = store::newestGoodBackup(f.path(kDatabase));
        QVERIFY(backup && backup->coins == 2);
        const QString aside = store::restoreBackup(f.path(kDatabase), backup->path, 1, true);
        QCOMPARE(f.read(kDatabase), good);
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == good.left(30));
        QVERIFY(aside.endsWith("_set-aside"));
    }

    // The last 20 saves and the newest of each of the last 30 days stay.
    void prunedBackupsKeepRecentSavesAndDays() {
        Folder f;
        const QDateTime now(QDate(2026, 12, 6), QTime(12, 0));
        QDir().mkpath(f.path("_data\\backups"));
        QStringList expected;
        for (int d = 0; d < 40; ++d) {
            for (int s = 0; s < 3; ++s) {
                const QDateTime when = now.addDays(-d).addSecs(-3600 * s);
                const QString name =
                    "991106EB51_" + when.toString("yyyy-MM-dd_HH-mm-ss") + "_5-coins";
                f.write("_data\\backups\\" + name, "x");
                if (d * 3 + s < 20 || (s == 0 && d < 30)) {
                    expected << name;
                }
            }
        }
        f.write("_data\\backups\\991106EB51_2000-01-01_00-00-00_set-aside", "x");
        store::pruneDatedBackups(f.path(kDatabase), now);
        expected << "991106EB51_2000-01-01_00-00-00_set-aside";
        expected.sort();
        QCOMPARE(f.datedBackups(), expected);
    }

    // Another program rewrote the file: nothing is written over it until it is
    // read again, and then no coin is damaged.
    void aFileChangedByAnotherProgramIsReadAgainFirst() {
        std::vector<TestItem> items;
        for (int i = 0; i < 3000; ++i) {
            items.push_back({{"txtDescription", "Coin " + QString::number(i)},
                             {"g_sListOfImagesForItem(1)",
                              "_data\\_userImages\\2024" + QString::number(i) + ".jpg"}});
        }
        Folder f(databaseText(items));
        QCOMPARE(f.collection.record(0).description(), "Coin 0");
        QVERIFY(!f.collection.changedOnDisk());
        items.insert(items.begin(), item("inserted elsewhere"));
        QTest::qWait(5);
        f.write(kDatabase, databaseText(items)); // rewritten in place, as a copy tool does
        QVERIFY(f.collection.changedOnDisk());
        QCOMPARE(f.collection.save(CoinRecord(item("mine")), std::nullopt), std::nullopt);
        QCOMPARE(f.collection.lastFailure()->number(), int(app::kChangedByAnotherProgram));
        QCOMPARE(f.read(kDatabase), databaseText(items));
        f.collection.load();
        QCOMPARE(f.collection.save(CoinRecord(item("mine")), std::nullopt), 3001);
        items.push_back(item("mine"));
        QCOMPARE(f.read(kDatabase), databaseText(items));
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
                QCOMPARE(flat(f.collection.record(position++).entries()),
                         flat(firstOfEachKey(section.entries)));
            }
        }
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, f.collection.record(3000));
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, f.collection.record(-1));
        // A save keeps the nameless sections' lines with the item before them.
        f.collection.save(f.collection.record(5), 5);
        QCOMPARE(f.read(kDatabase).count("lost=with its nameless section"), 3);
    }
};

QTEST_GUILESS_MAIN(CollectionTest)
#include "collection_test.moc"
