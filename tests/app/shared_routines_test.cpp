#include "FakePlatform.h"
#include "app/SharedRoutines.h"
#include "platform/QtPlatform.h"

#include <QtTest>

namespace {

QStringList texts(const QList<platform::MessageRequest>& shown) {
    QStringList out;
    for (const platform::MessageRequest& request : shown) {
        out << request.title + ": " + request.text;
    }
    return out;
}

} // namespace

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
        QVERIFY(fakes.boxes.shown.isEmpty());

        // A browser that does not start, at once or soon after, is told once, with
        // the address or the path to open by hand.
        fakes.shell.giveUp();
        fakes.shell.result = false;
        QVERIFY(!app::launchBrowser("/home/c/Corvantheil\\_reports\\SummaryDetail.html"));
        QCOMPARE(texts(fakes.boxes.shown),
                 QStringList({"Corvantheil: Corvantheil could not start a web browser to show "
                              "this address. You can open it in a web browser by hand:\n\n"
                              "http://www.x.example/a",
                              "Corvantheil: Corvantheil could not start a web browser to show "
                              "this page. You can open it by hand:\n\n"
                              "/home/c/Corvantheil/_reports/SummaryDetail.html"}));
    }

    // The real shell runs xdg-open and watches it: a launcher that gives up soon
    // after its start is told once; one that opened the page, or ended later (a
    // browser the user closed), is not.
    void watchesTheLauncher_data() {
        QTest::addColumn<QByteArray>("ending"); // the fake xdg-open's last commands
        QTest::addColumn<int>("messages");
        QTest::newRow("no browser found") << QByteArray("exit 3") << 1;
        QTest::newRow("browser refuses to run") << QByteArray("sleep 0.3; exit 4") << 1;
        QTest::newRow("page opened") << QByteArray("exit 0") << 0;
        QTest::newRow("browser closed later") << QByteArray("sleep 1.5; exit 4") << 0;
    }
    void watchesTheLauncher() {
        QFETCH(QByteArray, ending);
        QFETCH(int, messages);
        QTemporaryDir bin;
        QFile launcher(bin.filePath("xdg-open"));
        QVERIFY(launcher.open(QIODevice::WriteOnly));
        launcher.write("#!/bin/sh\necho \"$1\" >\"$0.asked\"\n" +
                       ending.replace("exit", "touch \"$0.done\"; exit"));
        launcher.close();
        QVERIFY(launcher.setPermissions(launcher.permissions() | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);
        FakePlatform fakes;
        platform::QtShell shell(std::chrono::seconds(1));
        platform::install(&shell);

        QVERIFY(app::launchBrowser("/home/c/Corvantheil\\_reference\\help.html"));
        QTRY_VERIFY(QFile::exists(launcher.fileName() + ".done"));
        QTRY_COMPARE(fakes.boxes.shown.size(), messages);
        QTest::qWait(300); // a second message would come by now
        qputenv("PATH", path);
        QCOMPARE(fakes.boxes.shown.size(), messages);
        QFile asked(launcher.fileName() + ".asked");
        QVERIFY(asked.open(QIODevice::ReadOnly));
        QCOMPARE(asked.readAll(), "file:///home/c/Corvantheil/_reference/help.html\n");
    }
};

QTEST_GUILESS_MAIN(SharedRoutinesTest)
#include "shared_routines_test.moc"
