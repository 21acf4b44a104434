#include "FakePlatform.h"
#include "app/SharedRoutines.h"

#include <QtTest>

class SharedRoutinesTest : public QObject {
    Q_OBJECT
private slots:
    // Letters, digits, "&" and "=" stay; anything else is "%" and its Windows-1252 byte.
    void urlEncode() {
        const QString kept = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890abcdefghijklmnopqrstuvwxyz&=";
        QCOMPARE(app::urlEncode(kept), kept);
        QCOMPARE(app::urlEncode("a b-.():,%\r\n"), "a%20b%2D%2E%28%29%3A%2C%25%0D%0A");
        QCOMPARE(app::urlEncode("\u20ac\u00e9\u4e2d"), "%80%E9%3F");
        QCOMPARE(app::urlEncode(QString(20000, u' ')), QStringLiteral("%20").repeated(20000));
    }

    // "http://" goes in front of all but addresses and the program's own documents.
    void launchBrowser() {
        FakePlatform fakes;
        const QStringList kept{"HTTP://x.example/a", "C:\\p\\_reports\\SummaryDetail.html",
                               "/opt/c\\_REFERENCE\\help.html"};
        for (const QString& target : kept + QStringList{"www.x.example/a"}) {
            QVERIFY(app::launchBrowser(target));
        }
        QCOMPARE(fakes.shell.opened, kept + QStringList{"http://www.x.example/a"});
        fakes.shell.result = false;
        QVERIFY(!app::launchBrowser("http://x.example"));
    }
};

QTEST_GUILESS_MAIN(SharedRoutinesTest)
#include "shared_routines_test.moc"
