#include "app/ErrorLog.h"
#include "app/RegionalFormats.h"

#include <QtTest>

class RegionalFormatsTest : public QObject {
    Q_OBJECT
private slots:
    // A number is read with blanks around it, "$", "," grouping and a negative
    // amount in parentheses; made whole, a half goes to the even neighbour, and
    // what is no number or too large raises the runtime's error.
    void numbersAreRead_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number"); // NaN: not a number
        QTest::addColumn<QString>("whole");
        const double none = qQNaN();
        QTest::newRow("currency, grouping") << " $1,250.00 " << 1250.0 << "1250";
        QTest::newRow("parenthesised negative") << "($5.00)" << -5.0 << "-5";
        QTest::newRow("half down to even") << "100.5" << 100.5 << "100";
        QTest::newRow("half up to even") << "101.5" << 101.5 << "102";
        QTest::newRow("negative half") << "-2.5" << -2.5 << "-2";
        QTest::newRow("too large") << "3000000000" << 3e9 << "error 6";
        QTest::newRow("letters after digits") << "12abc" << none << "error 13";
        QTest::newRow("dollar alone") << "$" << none << "error 13";
        QTest::newRow("comma without digits after") << "1," << none << "error 13";
    }
    void numbersAreRead() {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(QString, whole);
        QCOMPARE(app::parseNumber(text).value_or(qQNaN()), number);
        try {
            QCOMPARE(QString::number(app::cLng(text)), whole);
        } catch (const app::RuntimeError& e) {
            QCOMPARE("error " + QString::number(e.number()), whole);
        }
    }

    void formats() {
        QCOMPARE(app::formatCurrency(1234567.891), "$1,234,567.89");
        QCOMPARE(app::formatCurrency(-1234.5), "($1,234.50)");
        QCOMPARE(app::formatPercent(0.2), "20.00%");
        QCOMPARE(app::formatPercent(-0.25), "-25.00%");
        QCOMPARE(app::formatPercent(-0.0000001), "0.00%");
        QCOMPARE(app::formatPercent(12.5), "1,250.00%");
        const QDate day(2024, 3, 15);
        QCOMPARE(app::formatGeneralDate(QDateTime(day, QTime(14, 30, 5))), "3/15/2024 2:30:05 PM");
        QCOMPARE(app::formatGeneralDate(QDateTime(day, QTime(0, 0))), "3/15/2024");
        QCOMPARE(app::formatGeneralDate(QDateTime(QDate(2025, 1, 1), QTime(0, 5))),
                 "1/1/2025 12:05:00 AM");
        QCOMPARE(app::formatGeneralDate(QDateTime(day, QTime(12, 0, 9))), "3/15/2024 12:00:09 PM");
    }
};

QTEST_GUILESS_MAIN(RegionalFormatsTest)
#include "regional_formats_test.moc"
