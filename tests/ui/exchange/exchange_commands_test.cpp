// File > Export Collection..., Import Coins... and Print Collection
// Inventory on the running program: the round trip, what the import dialog
// shows before anything is written, bad files, failures and the menu.
#include "FakeDisk.h"
#include "TestSupport.h"
#include "store/Collection.h"
#include "ui/collection/CollectionCommands.h"
#include "ui/edit/CommandWindow.h"
#include "ui/edit/ItemEditor.h"
#include "ui/main/HomePage.h"

#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QtTest>

namespace {

QByteArray png(QRgb colour) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Every field filled, a key no field owns, a list row no list has, an amount
// that is no number, letters Windows-1252 lacks, notes over lines, pictures.
std::vector<TestItem> fixtureCoins() {
    return {
        {{"txtMiscNotes3", "third"},
         {"txtMiscNotes2", "second, with \"quotes\""},
         {"txtMiscNotes", "Bought at the show~|Light toning"},
         {"cmbGrade", "8"},
         {"cmbMintMark", "3"},
         {"cmbCoinType", "66"},
         {"txtCountry", "United States"},
         {"txtItemNumber", "007"},
         {"txtYear", "1921"},
         {"txtDescription", "1921 Morgan, the \"Lucky\" one"},
         {"txtFinancialChangeInValue", "28.00%"},
         {"txtLastAppraisal", "$1,300.00"},
         {"txtDateAcquired", "3/15/2024"},
         {"txtValuationSource", "Dealer; price guide"},
         {"txtCurrentValue", "$1,250.00"},
         {"txtPurchasePrice", "$900.00"},
         {"txtDetail4", "d4"},
         {"txtDetail5", "d5"},
         {"txtMiscDetail4", "m4"},
         {"txtMiscDetail5", "m5"},
         {"txtDetail1", "90% silver"},
         {"txtDetail2", "d2"},
         {"txtDetail3", "d3"},
         {"txtMiscDetail1", "m1"},
         {"txtMiscDetail2", "m2"},
         {"txtMiscDetail3", "m3"},
         {"txtCategory", "Silver dollars"},
         {"txtPackagingType", "Slab"},
         {"txtBoxNumber", "12"},
         {"txtCatalogNumber", "KM-110"},
         {"txtRecordLastUpdated", "3/15/2024 2:30:05 PM"},
         {"txtPackagingCondition", "Good"},
         {"txtRelatedItems", "none"},
         {"txtWeight", "26.73 g"},
         {"g_sListOfImagesForItem(1)", "_data\\_userImages\\20240315143005.png"},
         {"g_sListOfImagesForItem(2)", "_data\\_userImages\\20240315143006.png"}},
        {{"txtDescription", "1995 Poland 1 Złoty"},
         {"cmbGrade", "99"},
         {"txtCurrentValue", "about 50"},
         {"g_sListOfImagesForItem(1)", ""}},
        {{"txtDescription", "Buffalo Nickel"}},
    };
}

// A coin's keys and values, pictures apart, by key.
QMap<QString, QString> fieldsOf(const store::CoinRecord& record) {
    QMap<QString, QString> fields;
    for (qsizetype k = 0; k < record.size(); ++k) {
        if (!store::isPictureKey(record.key(k))) {
            fields.insert(record.key(k), record.value(k));
        }
    }
    return fields;
}

QStringList picturesOf(const store::CoinRecord& record) {
    QStringList pictures = record.pictures();
    pictures.removeAll(QString());
    return pictures;
}

// The import dialog's Import button pressed, after `look` has seen it.
void acceptImport(FakeModalDialogs& dialogs, std::function<void(QDialog&)> look = {}) {
    dialogs.handler = [look](QDialog& dialog) {
        if (look) {
            look(dialog);
        }
        dialog.accept();
    };
}

// A window whose collection list shows `listed`.
struct ListingWindow : CommandWindow {
    std::optional<std::vector<qsizetype>> listed;
    bool isHomePageShown() const override { return true; }
    bool isCollectionListShown() const override { return listed.has_value(); }
    std::optional<ChosenItem> chosenItem() const override { return std::nullopt; }
    bool isCoinImagesShown() const override { return false; }
    bool isThumbnailSelected() const override { return false; }
    std::optional<std::vector<qsizetype>> shownItems() const override { return listed; }
    void openItem(qsizetype) override {}
    void showHomePage() override {}
    void showCollectionList() override {}
    void leaveItem() override {}
    void showNewItem() override {}
    void refillHomePageFromFirstItem() override {}
    void collectionReadAgain() override {}
    void deleteSelectedPicture() override {}
    void pastePicture() override {}
    void viewSelectedPictureFullSize() override {}
};

} // namespace

class ExchangeCommandsTest : public QObject {
    Q_OBJECT
private slots:
    // Export, then import into an empty collection: every coin comes back
    // with every field, its pictures as copies.
    void exportThenImportGivesEveryCoinBack() {
        QTemporaryDir elsewhere;
        const QString sheet = elsewhere.filePath("coins.csv");
        std::vector<store::CoinRecord> exported;
        QMap<QString, QByteArray> pictureBytes;
        // The exporting program stays, so that the paths the sheet names are there.
        RunningProgram p(fixtureCoins());
        {
            p.folder.write("_data\\_userImages\\20240315143005.png", png(qRgb(200, 0, 0)));
            p.folder.write("_data\\_userImages\\20240315143006.png", png(qRgb(0, 0, 200)));
            p.folder.fakes.dialogs.saveAnswers << sheet;
            p.trigger("mnuFileExport");
            QCOMPARE(p.folder.fakes.dialogs.titles, QStringList{"Export Collection"});
            QCOMPARE(p.folder.fakes.boxes.shown.size(), 1);
            QCOMPARE(p.folder.fakes.boxes.shown[0].text,
                     "3 coins were written to\n\n" + QDir::toNativeSeparators(sheet));
            for (qsizetype i = 0; i < p.program.collection->count(); ++i) {
                exported.push_back(p.program.collection->record(i));
                for (const QString& name : picturesOf(exported.back())) {
                    pictureBytes.insert(name, p.folder.read(name));
                }
            }
        }
        QFile file(sheet);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"
                                 "Description,Year,Country,Coin Type,Mint Mark,Grade,Item #,"
                                 "Current Value,Purchase Price,Change in Value,"));
        QVERIFY(bytes.contains(",Notes,More Notes,Further Notes,Pictures,Other Fields\r\n"
                               "\"1921 Morgan, the \"\"Lucky\"\" one\",1921,United States,"
                               "1 Dollar : Morgan Dollar (1878-1921),\"D : Denver, CO (1906 to "
                               "date)\",Gem Uncirculated (MS-65),007,1250.00,900.00,28.00%,"
                               "1300.00,3/15/2024,"));
        QVERIFY(bytes.contains(",\"Bought at the show\nLight toning\","));
        QVERIFY(bytes.contains("1995 Poland 1 Z\xC5\x82oty"));

        RunningProgram q;
        q.folder.fakes.dialogs.answers << sheet;
        acceptImport(q.folder.fakes.modalDialogs);
        q.trigger("mnuFileImport");
        QCOMPARE(q.folder.fakes.modalDialogs.titles, QStringList{"Import Coins"});
        QCOMPARE(q.folder.fakes.boxes.shown.size(), 1);
        QCOMPARE(q.folder.fakes.boxes.shown[0].text, "3 coins were added to the collection.");
        const store::Collection& imported = *q.program.collection;
        QCOMPARE(imported.count(), qsizetype(exported.size()));
        for (qsizetype i = 0; i < imported.count(); ++i) {
            QCOMPARE(fieldsOf(imported.record(i)), fieldsOf(exported[std::size_t(i)]));
            const QStringList before = picturesOf(exported[std::size_t(i)]);
            const QStringList after = picturesOf(imported.record(i));
            QCOMPARE(after.size(), before.size());
            for (qsizetype k = 0; k < after.size(); ++k) {
                QVERIFY(after[k].startsWith("_data\\_userImages\\"));
                QCOMPARE(q.folder.read(after[k]), pictureBytes.value(before[k]));
            }
        }
        QCOMPARE(q.window().homePage().cardLine1(1), "1921 Morgan, the \"Lucky\" one");
    }

    // Nothing is written until Import is pressed; the dialog shows the
    // mapping, the coins as stored and what is skipped, and takes a new target.
    void theDialogShowsTheImportBeforeItIsWritten() {
        QTemporaryDir elsewhere;
        const QString sheet = elsewhere.filePath("mine.csv");
        QFile file(sheet);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Title;Condition;Weight;Price\r\n"
                   "Morgan;Very Nice;26,7 g;\"1.250,00 \xE2\x82\xAC\"\r\n"
                   "Peace;VF-20;26,7 g;80;extra\r\n");
        file.close();
        RunningProgram p(std::vector<TestItem>{{{"txtDescription", "Trade"}}});
        const QByteArray before = p.database();
        p.folder.fakes.dialogs.answers << sheet;
        acceptImport(p.folder.fakes.modalDialogs, [&](QDialog& dialog) {
            QCOMPARE(p.database(), before);
            QCOMPARE(child<QLabel>(dialog, "lblImportSummary")->text(),
                     "mine.csv is read as UTF-8, its values parted by semicolons. 1 coin will be "
                     "added after the 1 coin in the collection; nothing in the collection "
                     "changes. 1 row is skipped.");
            QCOMPARE(child<QComboBox>(dialog, "cmbImportTarget", 2)->currentText(), "Grade");
            QCOMPARE(child<QComboBox>(dialog, "cmbImportTarget", 3)->currentText(),
                     "(skip this column)");
            QCOMPARE(child<QComboBox>(dialog, "cmbDecimalMark")->currentIndex(), 1);
            const QString remarks =
                child<QPlainTextEdit>(dialog, "txtImportRemarks")->toPlainText();
            QVERIFY(remarks.contains("Column \"Weight\" is not imported"));
            QVERIFY(remarks.contains("Line 3: 5 values where the first row names 4 columns"));
            auto* preview = child<QTableWidget>(dialog, "tblImportPreview");
            QCOMPARE(preview->item(0, 1)->text(), "Morgan");
            QCOMPARE(preview->item(0, 2)->text(), "$1,250.00");
            QCOMPARE(preview->item(0, 3)->text(), "Grade: Very Nice");
            auto* weight = child<QComboBox>(dialog, "cmbImportTarget", 3);
            weight->setCurrentIndex(1);
            emit weight->activated(1);
            QCOMPARE(preview->item(0, 3)->text(), "Grade: Very Nice / Weight: 26,7 g");
        });
        p.trigger("mnuFileImport");
        QCOMPARE(p.program.collection->count(), 2);
        const store::CoinRecord& coin = p.program.collection->record(1);
        QCOMPARE(coin.description(), "Morgan");
        QCOMPARE(coin.value(store::Field::PurchasePrice), "$1,250.00");
        QCOMPARE(coin.value(store::Field::MiscNotes), "Grade: Very Nice~|Weight: 26,7 g");
        QVERIFY(p.database().startsWith(before));
    }

    // Cancelled, refused or failed half way: the collection is as it was and
    // no picture is left behind; the user is told why.
    void aFailedImportLeavesTheCollection_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("told"); // the start of the message; empty: none
        const QByteArray good = "Description,Picture\r\nMorgan,@PICTURE@\r\n";
        QTest::newRow("cancelled") << good << false << false << "";
        QTest::newRow("disk full")
            << good << true << true
            << "The coins could not be added: the disk is full.\n\nThe collection is as it was.";
        QTest::newRow("empty") << QByteArray() << true << false << "The file is empty";
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << true << false
                                << "This file is not a sheet saved as text (CSV)";
        QTest::newRow("only a header") << QByteArray("Description,Year\r\n") << true << false
                                       << "The file names its columns but holds no coins";
        QTest::newRow("unclosed first row") << QByteArray("\"Description,Year\r\n") << true << false
                                            << "The first row of the file could not be read";
    }
    void aFailedImportLeavesTheCollection() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accept);
        QFETCH(bool, diskFull);
        QFETCH(QString, told);
        QTemporaryDir elsewhere;
        const QString picture = elsewhere.filePath("obverse.png");
        {
            QFile f(picture);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(png(qRgb(1, 2, 3)));
        }
        const QString sheet = elsewhere.filePath("sheet.csv");
        {
            QFile f(sheet);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(bytes).replace("@PICTURE@", picture.toUtf8()));
        }
        RunningProgram p(std::vector<TestItem>{{{"txtDescription", "Trade"}}});
        const QByteArray before = p.database();
        FakeDisk disk;
        if (diskFull) {
            disk.failNext(FakeDisk::Call::Write, ENOSPC);
        }
        p.folder.fakes.dialogs.answers << sheet;
        if (accept) {
            acceptImport(p.folder.fakes.modalDialogs);
        }
        p.trigger("mnuFileImport");
        QCOMPARE(p.database(), before);
        QCOMPARE(p.program.collection->count(), 1);
        QCOMPARE(QDir(p.folder.path("_data\\_userImages")).entryList(QDir::Files), QStringList());
        const auto& shown = p.folder.fakes.boxes.shown;
        QCOMPARE(shown.size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            QVERIFY2(shown[0].text.startsWith(told), qPrintable(shown[0].text));
        }
    }

    // Export and the inventory whenever there are coins and no edit waits;
    // import on the home page.
    void theMenuOffersWhatCanBeDone() {
        const auto offered = [](const RunningProgram& p) {
            p.window().menus().fileEnablingRule();
            QString on;
            for (const char* name : {"mnuFileImport", "mnuFileExport", "mnuFilePrintInventory"}) {
                on += p.window().menus().action(name)->isEnabled() ? '1' : '0';
            }
            return on;
        };
        {
            RunningProgram empty;
            QCOMPARE(offered(empty), "100");
        }
        RunningProgram p(std::vector<TestItem>{{{"txtDescription", "Trade"}}});
        QCOMPARE(offered(p), "111");
        p.doubleClickCard(1);
        QCOMPARE(offered(p), "011");
        p.window().editor().setText("txtDescription", "Trade dollar");
        QCOMPARE(offered(p), "000");
    }

    // With the collection list shown, the user chooses the coins it shows
    // (in its order), every coin, or nothing.
    void theCoinsTheListShows_data() {
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("Yes") << platform::Answer::Yes << QStringList{"c", "a"};
        QTest::newRow("No") << platform::Answer::No << QStringList{"a", "b", "c"};
        QTest::newRow("Cancel") << platform::Answer::Cancel << QStringList();
    }
    void theCoinsTheListShows() {
        QFETCH(platform::Answer, answer);
        QFETCH(QStringList, rows);
        ProgramFolderFixture folder;
        folder.write(kDatabase, databaseText({{{"txtDescription", "a"}},
                                              {{"txtDescription", "b"}},
                                              {{"txtDescription", "c"}}}));
        store::Collection collection(store::itemDatabasePath());
        collection.load();
        ListingWindow window;
        window.listed = std::vector<qsizetype>{2, 0};
        CollectionCommands commands(collection, window, nullptr);
        QTemporaryDir elsewhere;
        folder.fakes.boxes.answers << answer;
        folder.fakes.dialogs.saveAnswers << elsewhere.filePath("shown.csv");
        commands.exportCollection();
        QCOMPARE(folder.fakes.boxes.shown[0].text,
                 "The collection list shows 2 coins of 3.\n\nExport only the coins shown? "
                 "Choose No for every coin.");
        QFile file(elsewhere.filePath("shown.csv"));
        QCOMPARE(file.open(QIODevice::ReadOnly), !rows.isEmpty());
        QStringList descriptions;
        const QByteArray written = file.isOpen() ? file.readAll() : QByteArray();
        for (const QByteArray& line : written.split('\n').mid(1)) {
            if (!line.isEmpty()) {
                descriptions << line.left(line.indexOf(','));
            }
        }
        QCOMPARE(descriptions, rows);
    }
};

QTEST_MAIN(ExchangeCommandsTest)
#include "exchange_commands_test.moc"
