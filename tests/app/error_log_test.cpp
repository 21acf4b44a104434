#include "TestSupport.h"
#include "app/ErrorLog.h"

#include <QtTest>
#include <stdexcept>

class ErrorLogTest : public QObject {
    Q_OBJECT
    // Each line keeps its CR.
    static QList<QByteArray> logLines(const ProgramFolderFixture& folder) {
        const QByteArray log = folder.log();
        return log.left(log.size() - 1).split('\n');
    }

private slots:
    // A guarded step that raises is logged in a fixed shape with its line; the routine goes on.
    void guardedStepsAreLogged() {
        ProgramFolderFixture folder(false);
        app::Guard guard;
        const int line = __LINE__ + 1;
        QVERIFY(!guard.step([] { app::raise(app::kFileNotFound); }));
        const QByteArray log = folder.log();
        const QByteArray now = log.left(log.indexOf(','));
        QCOMPARE(log, now + ", ** no control currently active **, \"" + now +
                          "\",\"53\",\"File not found\",\"" + QByteArray::number(line) +
                          "\",\"v2.29.8\",\"" + folder.folder().toLocal8Bit() + "\", \r\n");
        const QRegularExpression date(R"(^\d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d\d:\d\d [AP]M)?$)");
        QVERIFY2(date.match(QString::fromLatin1(now)).hasMatch(), now.constData());
        QVERIFY(!guard.step([] { throw std::runtime_error("foreign"); }));
        QVERIFY(folder.log().contains("\"51\",\"Internal error\","));
    }

    // New lines go first; of the old file only its first 51 lines that are
    // not blank stay, whoever wrote them. Quiet numbers are never written.
    void rotation() {
        ProgramFolderFixture folder(false);
        QByteArray old = "old 1\r\nold 2\r\nold 3\r\nold 4\r\n\r\n   \r\nold 7\n";
        for (int i = 8; i <= 70; ++i) {
            old += "old " + QByteArray::number(i) + "\r\n";
        }
        folder.write("corvantheil.Err", old);
        for (const char* number : {"6", "9", "11", "381"}) {
            app::logAnError(number, "quiet", "0");
        }
        QCOMPARE(folder.log(), old);
        app::logAnError("75", "Path/File access error", "1");
        QList<QByteArray> lines = logLines(folder);
        QCOMPARE(lines.size(), 1 + 51 - 2);
        QCOMPARE(lines.mid(1, 5),
                 (QList<QByteArray>{"old 1\r", "old 2\r", "old 3\r", "old 4\r", "old 7\r"}));
        QCOMPARE(lines.last(), "old 51\r");

        for (int i = 2; i <= 60; ++i) {
            app::logAnError("75", "Path/File access error", QString::number(i));
        }
        lines = logLines(folder);
        QCOMPARE(lines.size(), 52);
        for (int k = 0; k < lines.size(); ++k) {
            QCOMPARE(lines[k].split('"').value(7), QByteArray::number(60 - k));
            QVERIFY(lines[k].endsWith(", \r"));
        }
        QVERIFY(folder.fakes.boxes.shown.isEmpty());
    }

    void unwritableLogRaisesTheCriticalBox() {
        ProgramFolderFixture folder(false);
        app::setProgramFolder(folder.folder() + "/missing");
        app::logAnError("53", "File not found", "4");
        QCOMPARE(folder.fakes.boxes.shown.value(0).text,
                 "There was an error writing to the error log-->#76");
        QCOMPARE(folder.fakes.boxes.shown.value(0).title, "Corvantheil- critical error!");
    }
};

QTEST_GUILESS_MAIN(ErrorLogTest)
#include "error_log_test.moc"
