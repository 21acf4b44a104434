#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"

#include <QRegularExpression>
#include <QtTest>
#include <stdexcept>

const QString kLog = QStringLiteral("corvantheil.Err");

class ErrorLogTest : public QObject {
    Q_OBJECT
    static QList<QByteArray> linesOf(const QByteArray& f) {
        return f.left(f.size() - 1).split('\n');
    }
    static QByteArray lineNumberField(const QByteArray& line) { return line.split('"').value(7); }

private slots:
    void firstEntryHasTheExactShape() {
        ProgramFolderFixture folder(false);
        app::logAnError("53", "File not found", "120");
        const QByteArray file = folder.read(kLog);
        const QString date = R"(\d{1,2}/\d{1,2}/\d{4}(?: \d{1,2}:\d\d:\d\d [AP]M)?)";
        const QString fields = QRegularExpression::escape(
            "\",\"53\",\"File not found\",\"120\",\"v2.29.8\",\"" + folder.folder() + "\", \r\n");
        const QRegularExpressionMatch m =
            QRegularExpression("^(" + date + "), \\*\\* no control currently active \\*\\*, \"(" +
                               date + ")" + fields + "$")
                .match(QString::fromLatin1(file));
        QVERIFY2(m.hasMatch(), file.constData());
        QCOMPARE(m.captured(1), m.captured(2));
    }

    // New lines go first; of the old file only its first 51 lines that are
    // not blank stay, whether it wrote them itself or not. Quiet numbers are
    // never written.
    void rotation() {
        ProgramFolderFixture folder(false);
        for (const char* number : {"6", "9", "11", "381"}) {
            app::logAnError(number, "quiet", "0");
        }
        QVERIFY(!folder.exists(kLog));
        for (int i = 1; i <= 60; ++i) {
            app::logAnError("75", "Path/File access error", QString::number(i));
            app::logAnError(i % 2 ? "6" : "381", "quiet", "0");
        }
        QVERIFY(folder.fakes.boxes.shown.isEmpty());
        QList<QByteArray> lines = linesOf(folder.read(kLog));
        QCOMPARE(lines.size(), 52);
        for (int k = 0; k < lines.size(); ++k) {
            QCOMPARE(lineNumberField(lines[k]), QByteArray::number(60 - k));
            QVERIFY(lines[k].endsWith(", \r"));
        }

        QByteArray old; // lines 5, 6 and 40 blank; an LF-only line end also reads
        for (int i = 1; i <= 70; ++i) {
            old += i == 5 ? "" : i == 6 || i == 40 ? "   " : "old " + QByteArray::number(i);
            old += i == 7 ? "\n" : "\r\n";
        }
        folder.write(kLog, old);
        app::logAnError("76", "Path not found", "9");
        lines = linesOf(folder.read(kLog));
        QCOMPARE(lines.size(), 1 + 51 - 3);
        QCOMPARE(lineNumberField(lines[0]), "9");
        QCOMPARE(lines.mid(1, 5),
                 (QList<QByteArray>{"old 1\r", "old 2\r", "old 3\r", "old 4\r", "old 7\r"}));
        QCOMPARE(lines.last(), "old 51\r");
    }

    void unwritableLogRaisesTheCriticalBox() {
        ProgramFolderFixture folder(false);
        app::setProgramFolder(folder.folder() + "/missing");
        app::logAnError("53", "File not found", "4");
        QCOMPARE(folder.fakes.boxes.shown.size(), 1);
        const platform::MessageRequest& box = folder.fakes.boxes.shown.first();
        QCOMPARE(box.text, "There was an error writing to the error log-->#76");
        QCOMPARE(box.title, "Corvantheil- critical error!");
        QCOMPARE(box.buttons, platform::Buttons::Ok);
        QVERIFY(!QFileInfo::exists(folder.folder() + "/missing"));
    }

    void guardLogsAndGoesOn() {
        ProgramFolderFixture folder(false);
        app::Guard guard;
        QStringList ran;
        const int raisingLine = __LINE__ + 1;
        QVERIFY(!guard.step([] { app::raise(app::kPermissionDenied); }));
        QVERIFY(guard.step([&] { ran << "second"; }));
        guard.step([] { app::raise(app::kSubscriptOutOfRange); });
        const int foreignLine = __LINE__ + 1;
        guard.step([] { throw std::runtime_error("foreign"); });
        guard.step([&] { ran << "last"; });

        QCOMPARE(ran, (QStringList{"second", "last"}));
        const QList<QByteArray> lines = linesOf(folder.read(kLog));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[1].contains("\"70\",\"Permission denied\","));
        QCOMPARE(lineNumberField(lines[1]), QByteArray::number(raisingLine));
        QCOMPARE(lineNumberField(lines[0]), QByteArray::number(foreignLine));
    }
};

QTEST_GUILESS_MAIN(ErrorLogTest)
#include "error_log_test.moc"
