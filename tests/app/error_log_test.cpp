#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"

#include <QRegularExpression>
#include <QtTest>
#include <stdexcept>

namespace {

const QString kLog = QStringLiteral("corvantheil.Err");

QList<QByteArray> LinesOf(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QByteArray LineNumberField(const QByteArray& line) {
    const QList<QByteArray> quoted = line.split('"');
    return quoted.size() > 7 ? quoted[7] : QByteArray();
}

} // namespace

class ErrorLogTest : public QObject {
    Q_OBJECT
private slots:
    void firstEntryHasTheExactShape() {
        ProgramFolderFixture folder(false);
        QVERIFY(!folder.exists(kLog));
        app::LogAnError("53", "File not found", "120");

        const QByteArray file = folder.read(kLog);
        QVERIFY(file.endsWith(", \r\n"));
        QCOMPARE(LinesOf(file).size(), 1);
        const QString date =
            QStringLiteral("\\d{1,2}/\\d{1,2}/\\d{4}(?: \\d{1,2}:\\d\\d:\\d\\d [AP]M)?");
        const QString fields = QRegularExpression::escape(
            "\",\"53\",\"File not found\",\"120\",\"v2.29.8\",\"" + folder.folder() + "\", \r\n");
        const QRegularExpression shape("^(" + date +
                                       "), \\*\\* no control currently active \\*\\*, \"(" + date +
                                       ")" + fields + "$");
        const QRegularExpressionMatch m = shape.match(QString::fromLatin1(file));
        QVERIFY2(m.hasMatch(), file.constData());
        QCOMPARE(m.captured(1), m.captured(2));
    }

    void keepsFiftyTwoLinesNewestFirst() {
        ProgramFolderFixture folder(false);
        for (int i = 1; i <= 60; ++i) {
            app::LogAnError("75", "Path/File access error", QString::number(i));
        }
        const QList<QByteArray> lines = LinesOf(folder.read(kLog));
        QCOMPARE(lines.size(), 52);
        for (int k = 0; k < lines.size(); ++k) {
            QCOMPARE(LineNumberField(lines[k]), QByteArray::number(60 - k));
            QVERIFY(lines[k].endsWith(", \r"));
        }
    }

    void quietNumbersAreNeverWritten() {
        ProgramFolderFixture folder(false);
        for (const char* number : {"6", "9", "11", "381"}) {
            app::LogAnError(number, "quiet", "1");
        }
        QVERIFY(!folder.exists(kLog));

        app::LogAnError("70", "Permission denied", "2");
        const QByteArray before = folder.read(kLog);
        for (const char* number : {"6", "9", "11", "381"}) {
            app::LogAnError(number, "quiet", "3");
        }
        QCOMPARE(folder.read(kLog), before);
        QVERIFY(folder.fakes.boxes.shown.isEmpty());
    }

    void blankOldLinesAreDroppedAndOnlyFiftyOneKept() {
        ProgramFolderFixture folder(false);
        QByteArray old;
        for (int i = 1; i <= 70; ++i) {
            // Lines 5, 6 and 40 are blank; an LF-only line end also reads.
            old += (i == 5              ? QByteArray()
                    : i == 6 || i == 40 ? QByteArray("   ")
                                        : "old " + QByteArray::number(i));
            old += i == 7 ? "\n" : "\r\n";
        }
        folder.write(kLog, old);
        app::LogAnError("76", "Path not found", "9");

        const QList<QByteArray> lines = LinesOf(folder.read(kLog));
        QCOMPARE(lines.size(), 1 + 51 - 3);
        QCOMPARE(LineNumberField(lines[0]), "9");
        QCOMPARE(lines[1], "old 1\r");
        QCOMPARE(lines[4], "old 4\r");
        QCOMPARE(lines[5], "old 7\r");
        QCOMPARE(lines.last(), "old 51\r");
    }

    void unwritableLogRaisesTheCriticalBox() {
        ProgramFolderFixture folder(false);
        app::SetProgramFolder(folder.folder() + "/missing");
        app::LogAnError("53", "File not found", "4");

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
        const bool first = guard.step([] { app::Raise(app::kPermissionDenied); });
        const bool second = guard.step([&] { ran << "second"; });
        guard.step([] { app::Raise(app::kSubscriptOutOfRange); });
        const int foreignLine = __LINE__ + 1;
        guard.step([] { throw std::runtime_error("foreign"); });
        guard.step([&] { ran << "last"; });

        QVERIFY(!first);
        QVERIFY(second);
        QCOMPARE(ran, (QStringList{"second", "last"}));
        const QList<QByteArray> lines = LinesOf(folder.read(kLog));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[1].contains("\"70\",\"Permission denied\","));
        QCOMPARE(LineNumberField(lines[1]), QByteArray::number(raisingLine));
        QCOMPARE(LineNumberField(lines[0]), QByteArray::number(foreignLine));
    }
};

QTEST_GUILESS_MAIN(ErrorLogTest)
#include "error_log_test.moc"
