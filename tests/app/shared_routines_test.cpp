#include "FakePlatform.h"
#include "app/ProgramFolder.h"
#include "app/SharedRoutines.h"

#include <QtTest>

class SharedRoutinesTest : public QObject {
    Q_OBJECT
private slots:
    void urlEncode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blank and separators") << "a b&c=d"
                                              << "a%20b&c=d";
        QTest::newRow("percent") << "100%"
                                 << "100%25";
        QTest::newRow("full stop") << "1.5"
                                   << "1%2E5";
        QTest::newRow("line break") << "a\r\nb"
                                    << "a%0D%0Ab";
        QTest::newRow("punctuation") << "-():,"
                                     << "%2D%28%29%3A%2C";
        QTest::newRow("Windows-1252 byte") << QString::fromUtf16(u"\u20ac\u00e9") << "%80%E9";
        QTest::newRow("outside the set") << QString::fromUtf16(u"\u4e2d") << "%3F";
        QTest::newRow("alphabet kept")
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890abcdefghijklmnopqrstuvwxyz&="
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890abcdefghijklmnopqrstuvwxyz&=";
    }
    void urlEncode() {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(app::urlEncode(text), encoded);
    }

    void urlEncodeHasNoLengthLimit() {
        const QString encoded = app::urlEncode(QString(20000, u' '));
        QCOMPARE(encoded.size(), 60000);
        QVERIFY(encoded.endsWith("%20"));
    }

    void launchBrowserAddsTheSchemeOnlyWhereNeeded_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("opened");
        QTest::newRow("scheme in capitals") << "HTTP://x.example/a"
                                            << "HTTP://x.example/a";
        QTest::newRow("bare host and path") << "www.x.example/a"
                                            << "http://www.x.example/a";
        QTest::newRow("report") << "C:\\p\\_reports\\SummaryDetail.html"
                                << "C:\\p\\_reports\\SummaryDetail.html";
        QTest::newRow("help page, any case") << "/opt/c\\_REFERENCE\\help.html"
                                             << "/opt/c\\_REFERENCE\\help.html";
    }
    void launchBrowserAddsTheSchemeOnlyWhereNeeded() {
        QFETCH(QString, target);
        QFETCH(QString, opened);
        FakePlatform fakes;
        QVERIFY(app::launchBrowser(target));
        QCOMPARE(fakes.shell.opened, QStringList{opened});
    }

    void launchBrowserReportsARefusal() {
        FakePlatform fakes;
        fakes.shell.result = false;
        QVERIFY(!app::launchBrowser("http://x.example"));
    }

    void pathsJoinWithOneSeparator_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("joined");
        QTest::newRow("plain") << "C:\\p"
                               << "\\_data\\x"
                               << "C:\\p\\_data\\x";
        QTest::newRow("folder ends with separator") << "C:\\p\\"
                                                    << "\\_data\\x"
                                                    << "C:\\p\\_data\\x";
        QTest::newRow("relative without separator") << "/opt/p"
                                                    << "_images\\a.jpg"
                                                    << "/opt/p\\_images\\a.jpg";
        QTest::newRow("blanks around folder") << "  /opt/p/ "
                                              << "_x"
                                              << "/opt/p/_x";
    }
    void pathsJoinWithOneSeparator() {
        QFETCH(QString, folder);
        QFETCH(QString, relative);
        QFETCH(QString, joined);
        QCOMPARE(app::joinPath(folder, relative), joined);
    }
};

QTEST_GUILESS_MAIN(SharedRoutinesTest)
#include "shared_routines_test.moc"
