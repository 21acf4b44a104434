// Sheets written and read: the writer's quoting, the reader's separators,
// byte-order marks and encodings, bad files, header names, amounts in other
// forms and list texts no entry has.
#include "exchange/CoinImport.h"
#include "exchange/CsvWriter.h"

#include <QStringEncoder>
#include <QtTest>

using namespace exchange;
using store::Field;

namespace {

ImportPlan planOf(const QByteArray& bytes) {
    return ImportPlan(CsvSheet::read(bytes), QStringLiteral("/nonexistent"));
}

QString stored(const ImportedCoin& coin, Field f) {
    return coin.values[static_cast<std::size_t>(f)];
}

// The remarks of a plan as "line:kind" texts.
QStringList remarksOf(const ImportPlan& plan) {
    QStringList out;
    for (const RowRemark& r : plan.remarks()) {
        out << QStringLiteral("%1:%2").arg(r.line).arg(static_cast<int>(r.kind));
    }
    return out;
}

} // namespace

class SheetTest : public QObject {
    Q_OBJECT
private slots:
    void writerQuotesWhatWouldBreakARow() {
        CsvWriter writer;
        writer.addRow(
            {"plain", "a,b", "say \"hi\"", "two\nlines", "1995 Poland 1 Złoty", "硬币 🪙", ""});
        writer.addRow({"", ""});
        QCOMPARE(writer.take(), QByteArray("\xEF\xBB\xBF"
                                           "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\","
                                           "1995 Poland 1 Z\xC5\x82oty,"
                                           "\xE7\xA1\xAC\xE5\xB8\x81 \xF0\x9F\xAA\x99,\r\n"
                                           ",\r\n"));
    }

    // One sheet in every form the reader takes gives the same values back.
    void readerTakesSeparatorsMarksAndEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<char>("separator");
        const QString text = QStringLiteral("Description;Notes\r\n\"Gr\u00fc\u00dfe; \"\"1\"\"\";"
                                            "\"a\r\nb\"\r\n");
        QString commas = text;
        commas.replace(u';', u',');
        QString tabs = text;
        tabs.replace(u';', u'\t');
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        QTest::newRow("UTF-8 with BOM, semicolons")
            << QByteArray("\xEF\xBB\xBF" + text.toUtf8()) << ';';
        QTest::newRow("UTF-8, commas, LF") << commas.toUtf8().replace("\r\n", "\n") << ',';
        QTest::newRow("Windows-1252, tabs") << tabs.toLatin1() << '\t';
        QTest::newRow("UTF-16 with BOM")
            << QByteArray("\xFF\xFE" + QByteArray(utf16.encode(text))) << ';';
        QTest::newRow("sep= line") << QByteArray("sep=;\r\n" + text.toUtf8()) << ';';
    }
    void readerTakesSeparatorsMarksAndEncodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(char, separator);
        const CsvSheet sheet = CsvSheet::read(bytes);
        QCOMPARE(sheet.refusal(), CsvSheet::Refusal::None);
        QCOMPARE(sheet.separator(), separator);
        QCOMPARE(sheet.header(), QStringList({"Description", "Notes"}));
        QCOMPARE(sheet.rows().size(), std::size_t(1));
        QString value = QStringLiteral("Gr\u00fc\u00dfe; \"1\"");
        if (separator != ';') {
            value.replace(u';', QChar::fromLatin1(separator));
        }
        QCOMPARE(sheet.values(sheet.rows()[0]), QStringList({value, "a\nb"}));
    }

    void badFilesAreRefusedOrListed_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<int>("coins");
        QTest::addColumn<QStringList>("remarks"); // line:kind
        QTest::newRow("empty") << QByteArray() << int(CsvSheet::Refusal::Empty) << 0
                               << QStringList();
        QTest::newRow("blank lines")
            << QByteArray(" \r\n\r\n,,\r\n") << int(CsvSheet::Refusal::Empty) << 0 << QStringList();
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                << int(CsvSheet::Refusal::NotText) << 0 << QStringList();
        QTest::newRow("only a header") << QByteArray("Description,Year\r\n")
                                       << int(CsvSheet::Refusal::None) << 0 << QStringList();
        // Line 2 has a value in a quote over two lines; line 4 too many, 5 too few, 6 none kept.
        QTest::newRow("rows that do not fit")
            << QByteArray("Description,Year,Weight\r\n\"Morgan\r\nDollar\",1921,26.7\r\n"
                          "Peace,1922,26.7,extra\r\nBuffalo,1913\r\n,,5 g\r\nTrade,1875,\r\n"
                          "Eagle,\"1907")
            << int(CsvSheet::Refusal::None) << 3 << QStringList{"4:1", "5:3", "6:2", "8:0"};
    }
    void badFilesAreRefusedOrListed() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, refusal);
        QFETCH(int, coins);
        QFETCH(QStringList, remarks);
        const ImportPlan plan = planOf(bytes);
        QCOMPARE(int(plan.sheet().refusal()), refusal);
        QCOMPARE(plan.rowsToImport().size(), std::size_t(coins));
        QCOMPARE(remarksOf(plan), remarks);
        if (coins > 0) {
            const ImportedCoin first = plan.coin(plan.rowsToImport()[0]);
            QCOMPARE(first.line, 2);
            QCOMPARE(stored(first, Field::Description), "Morgan\nDollar");
            QCOMPARE(stored(plan.coin(plan.rowsToImport()[2]), Field::Year), "1875");
        }
    }

    void headersAreMatchedByName_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("field");
        const auto field = [](const char* h, Field f) {
            QTest::newRow(h) << QString::fromUtf8(h) << int(ColumnTarget::Kind::Field) << int(f);
        };
        field("Description", Field::Description);
        field(" TITLE ", Field::Description);
        field("Name", Field::Description);
        field("Item #", Field::ItemNumber);
        field("item_number", Field::ItemNumber);
        field("txtItemNumber", Field::ItemNumber);
        field("Value", Field::CurrentValue);
        field("Price", Field::PurchasePrice);
        field("Purchase Date", Field::DateAcquired);
        field("Mint", Field::MintMark);
        field("Condition", Field::Grade);
        field("Comments", Field::MiscNotes);
        field("Notes", Field::MiscNotes);
        field("Misc. Detail 3", Field::MiscDetail3);
        field("Package Condition", Field::PackagingCondition);
        QTest::newRow("Image") << "Image" << int(ColumnTarget::Kind::Pictures) << 0;
        QTest::newRow("Obverse Photo") << "Obverse Photo" << int(ColumnTarget::Kind::Pictures) << 0;
        QTest::newRow("Other Fields")
            << "Other Fields" << int(ColumnTarget::Kind::OtherFields) << 0;
        QTest::newRow("Weight") << "Weight" << int(ColumnTarget::Kind::Skip) << 0;
    }
    void headersAreMatchedByName() {
        QFETCH(QString, header);
        QFETCH(int, kind);
        QFETCH(int, field);
        const ColumnTarget t = targetOfHeader(header);
        QCOMPARE(int(t.kind), kind);
        if (t.kind == ColumnTarget::Kind::Field) {
            QCOMPARE(int(t.field), field);
        }
    }

    // A second column naming a field is skipped; choosing a field for a
    // column takes it from the column that had it.
    void aFieldComesFromOneColumn() {
        ImportPlan plan = planOf("Title,Name,Weight\r\na,b,5 g\r\n");
        QCOMPARE(plan.target(0), ColumnTarget::of(Field::Description));
        QCOMPARE(plan.target(1).kind, ColumnTarget::Kind::Skip);
        plan.setTarget(1, ColumnTarget::of(Field::Description));
        plan.setTarget(2, {ColumnTarget::Kind::NoteLine});
        QCOMPARE(plan.target(0).kind, ColumnTarget::Kind::Skip);
        const ImportedCoin coin = plan.coin(0);
        QCOMPARE(stored(coin, Field::Description), "b");
        QCOMPARE(stored(coin, Field::MiscNotes), "Weight: 5 g");
    }

    void amountsInOtherFormsAreStoredInTheProgramsForm_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QString>("result"); // empty: no amount
        QTest::newRow("$1,250.00") << "$1,250.00" << false << "$1,250.00";
        QTest::newRow("1250") << "1250" << false << "$1,250.00";
        QTest::newRow("1.250,00 €") << "1.250,00 €" << true << "$1,250.00";
        QTest::newRow("EUR 1 250,5") << "EUR 1 250,5" << true << "$1,250.50";
        QTest::newRow("CHF 1'250.125") << "CHF 1'250.125" << false << "$1,250.125";
        QTest::newRow("(5.00)") << "(5.00)" << false << "($5.00)";
        QTest::newRow("-$5") << "-$5" << false << "($5.00)";
        QTest::newRow("USD 1,250") << "USD 1,250" << false << "$1,250.00";
        QTest::newRow("5 kr.") << "5 kr." << false << "$5.00";
        QTest::newRow("12abc") << "12abc" << false << "";
        QTest::newRow("about 50") << "about 50" << false << "";
        QTest::newRow("1,5 read with a point") << "1,5" << false << "";
        QTest::newRow("3/15/2024") << "3/15/2024" << false << "";
    }
    void amountsInOtherFormsAreStoredInTheProgramsForm() {
        QFETCH(QString, text);
        QFETCH(bool, comma);
        QFETCH(QString, result);
        QCOMPARE(amountForStore(text, comma ? DecimalMark::Comma : DecimalMark::Point)
                     .value_or(QString()),
                 result);
    }

    void storedAmountsGoOutAsPlainNumbers_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("currency") << "$1,250.00"
                                  << "1250.00";
        QTest::newRow("no decimals") << "1250"
                                     << "1250.00";
        QTest::newRow("three decimals") << "0.125"
                                        << "0.125";
        QTest::newRow("negative") << "($5.00)"
                                  << "-5.00";
        QTest::newRow("long") << "12345678901234567890.5"
                              << "12345678901234567890.50";
        QTest::newRow("not a number") << "about 50"
                                      << "about 50";
        QTest::newRow("minus, zeros") << " -$007.5 "
                                      << "-7.50";
        QTest::newRow("negative zero") << "($0.00)"
                                       << "0.00";
        QTest::newRow("two commas") << "1,,250"
                                    << "1,,250";
    }
    void storedAmountsGoOutAsPlainNumbers() {
        QFETCH(QString, stored);
        QFETCH(QString, sheet);
        QCOMPARE(amountForSheet(stored), sheet);
        // The export reads the usual forms straight from the bytes: the same number.
        QByteArray bytes;
        if (appendPlainAmount(bytes, stored.toLatin1())) {
            QCOMPARE(QString::fromLatin1(bytes), sheet);
        }
    }

    // The amount columns' cells decide the decimal mark; other columns do not count.
    void theFileTellsItsDecimalMark() {
        ImportPlan plan = planOf("Description;Value;Price;Detail 1\r\n"
                                 "Morgan;1.250,00 €;1.250;12.5 g\r\nPeace;80,5;40;1.5 mm\r\n");
        QCOMPARE(plan.foundDecimalMark(), DecimalMark::Comma);
        QCOMPARE(stored(plan.coin(0), Field::PurchasePrice), "$1,250.00");
        QCOMPARE(stored(plan.coin(1), Field::CurrentValue), "$80.50");
        plan.setDecimalMark(DecimalMark::Point);
        QCOMPARE(stored(plan.coin(1), Field::CurrentValue), "80,5");
    }

    // A text the list has not goes into a note line; codes name grades and mint marks.
    void listTextsAreMatchedOrNoted() {
        const ImportPlan plan = planOf("Description,Grade,Mint,Type,Comments\r\n"
                                       "a,very nice,D,Morgan,\"bought 1990\"\r\n"
                                       "b,ms-65,cc,1 dollar : morgan dollar (1878-1921),\r\n"
                                       "c,UNCIRCULATED (MS-60),Texas,Commemorative,\r\n");
        const ImportedCoin a = plan.coin(0);
        QVERIFY(stored(a, Field::Grade).isEmpty());
        QCOMPARE(stored(a, Field::MiscNotes),
                 "bought 1990\nGrade: very nice\nMint Mark: D\nCoin Type: Morgan");
        QCOMPARE(a.notedValues, 3);
        const ImportedCoin b = plan.coin(1);
        QCOMPARE(shownValue(Field::Grade, stored(b, Field::Grade)), "Gem Uncirculated (MS-65)");
        QCOMPARE(stored(b, Field::MintMark), "1");
        QCOMPARE(stored(b, Field::CoinType), "66");
        const ImportedCoin c = plan.coin(2);
        QCOMPARE(stored(c, Field::Grade), "13");
        QCOMPARE(shownValue(Field::MintMark, stored(c, Field::MintMark)), "Texas");
        QCOMPARE(stored(c, Field::CoinType), "96");
        QVERIFY(stored(c, Field::MiscNotes).isEmpty());
    }
};

QTEST_GUILESS_MAIN(SheetTest)
#include "sheet_test.moc"
