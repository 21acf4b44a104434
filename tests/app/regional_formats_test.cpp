#include "app/ErrorLog.h"
#include "app/RegionalFormats.h"

#include <QtTest>

class RegionalFormatsTest : public QObject {
    Q_OBJECT
private slots:
    void numbersAreRead_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "100" << true << 100.0;
        QTest::newRow("blanks around") << "  42.5 " << true << 42.5;
        QTest::newRow("grouping") << "1,000" << true << 1000.0;
        QTest::newRow("currency") << "$1,250.00" << true << 1250.0;
        QTest::newRow("parenthesised negative") << "($5.00)" << true << -5.0;
        QTest::newRow("minus") << "-7" << true << -7.0;
        QTest::newRow("letters after digits") << "12abc" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "   " << false << 0.0;
        QTest::newRow("dollar alone") << "$" << false << 0.0;
        QTest::newRow("comma without digits after") << "1," << false << 0.0;
    }
    void numbersAreRead() {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, value);
        const std::optional<double> v = app::parseNumber(text);
        QCOMPARE(v.has_value(), isNumber);
        if (isNumber) {
            QCOMPARE(*v, value);
        }
    }

    void wholeNumbersRoundHalfToEven_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("100.5") << "100.5" << 100;
        QTest::newRow("101.5") << "101.5" << 102;
        QTest::newRow("100.49") << "100.49" << 100;
        QTest::newRow("100.51") << "100.51" << 101;
        QTest::newRow("-2.5") << "-2.5" << -2;
        QTest::newRow("$1,000") << "$1,000" << 1000;
    }
    void wholeNumbersRoundHalfToEven() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(app::toLong(text).value_or(-999999), expected);
    }

    void conversionsRaiseLikeTheRuntime() {
        QVERIFY(!app::toLong("3000000000").has_value());
        try {
            app::cLng("abc");
            QFAIL("no error raised");
        } catch (const app::RuntimeError& e) {
            QCOMPARE(e.number(), 13);
        }
        try {
            app::cLng("3000000000");
            QFAIL("no error raised");
        } catch (const app::RuntimeError& e) {
            QCOMPARE(e.number(), 6);
        }
    }

    void formats() {
        QCOMPARE(app::formatCurrency(1234.5), QString("$1,234.50"));
        QCOMPARE(app::formatCurrency(-1234.5), QString("($1,234.50)"));
        QCOMPARE(app::formatCurrency(0), QString("$0.00"));
        QCOMPARE(app::formatCurrency(1234567.891), QString("$1,234,567.89"));
        QCOMPARE(app::formatPercent(0.2), QString("20.00%"));
        QCOMPARE(app::formatPercent(-0.25), QString("-25.00%"));
        QCOMPARE(app::formatPercent(-0.0000001), QString("0.00%"));
        QCOMPARE(app::formatPercent(12.5), QString("1,250.00%"));
        QCOMPARE(app::formatGeneralNumber(0.2), QString("0.2"));
        QCOMPARE(app::formatGeneralNumber(-0.25), QString("-0.25"));
        QCOMPARE(app::formatGeneralDate(QDateTime(QDate(2024, 3, 15), QTime(14, 30, 5))),
                 QString("3/15/2024 2:30:05 PM"));
        QCOMPARE(app::formatGeneralDate(QDateTime(QDate(2024, 3, 15), QTime(0, 0, 0))),
                 QString("3/15/2024"));
        QCOMPARE(app::formatGeneralDate(QDateTime(QDate(2025, 1, 1), QTime(0, 5, 0))),
                 QString("1/1/2025 12:05:00 AM"));
        QCOMPARE(app::formatGeneralDate(QDateTime(QDate(2025, 12, 31), QTime(12, 0, 9))),
                 QString("12/31/2025 12:00:09 PM"));
    }
};

QTEST_GUILESS_MAIN(RegionalFormatsTest)
#include "regional_formats_test.moc"
