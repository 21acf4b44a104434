// Naming and list operations of added pictures, the copy, and where pictures
// are placed, all without a window.
#include "app/ErrorLog.h"
#include "ui/pictures/PictureGeometry.h"
#include "ui/pictures/PictureList.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

namespace {

// The copy's error number as the program would log it; 0 for none.
int copyErrorNumber(const QString& source, const QString& target) {
    try {
        ui::copyPictureFile(source, target);
    } catch (const app::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class PictureListTest : public QObject {
    Q_OBJECT
private slots:
    void copiedNames_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("name");
        const QDateTime march(QDate(2024, 3, 15), QTime(14, 30, 5));
        QTest::newRow(".jpg") << march << "C:\\Photos\\coin.jpg"
                              << "_data\\_userImages\\20240315143005.jpg";
        QTest::newRow(".jpeg, no dot")
            << QDateTime(QDate(2025, 1, 1), QTime(9, 0)) << "/home/ann/Pictures/obverse.jpeg"
            << "_data\\_userImages\\20250101090000jpeg";
        QTest::newRow("accented") << march << "/home/ann/Münzen/Rückseite.png"
                                  << "_data\\_userImages\\20240315143005.png";
        QTest::newRow("CJK ending") << march << "/home/ann/硬币照片"
                                    << "_data\\_userImages\\20240315143005____";
        QTest::newRow("separator in the last four") << march << "/home/ann/ab"
                                                    << "_data\\_userImages\\20240315143005n_ab";
        QTest::newRow("accents the collection can hold")
            << march << "/home/ann/façé"
            << "_data\\_userImages\\20240315143005façé";
    }
    void copiedNames() {
        QFETCH(QDateTime, now);
        QFETCH(QString, chosen);
        QFETCH(QString, name);
        QCOMPARE(ui::copiedPictureName(now, chosen), name);
    }

    void listOperations() {
        QCOMPARE(ui::withPictureFirst({}, "n"), QStringList({"n"}));
        // An item stored without pictures keeps its empty name behind the new one.
        QCOMPARE(ui::withPictureFirst({""}, "n"), QStringList({"n", ""}));
        QCOMPARE(ui::withPictureFirst({"a", "b"}, "n"), QStringList({"n", "a", "b"}));

        QCOMPARE(ui::withPictureRemoved({"a"}, 0), QStringList());
        QCOMPARE(ui::withPictureRemoved({"a", "b", "c"}, 1), QStringList({"a", "c"}));
        // Gaps close up; the list is one place shorter, the rest empty.
        QCOMPARE(ui::withPictureRemoved({"a", "", "b", "", "c"}, 2),
                 QStringList({"a", "c", "", ""}));
        // The same name twice: only the place asked for goes.
        QCOMPARE(ui::withPictureRemoved({"x", "x"}, 1), QStringList({"x"}));
        QCOMPARE(ui::withPictureRemoved({"a", "b"}, 2), QStringList({"a", "b"}));
        QCOMPARE(ui::withPictureRemoved({"a", "b"}, -1), QStringList({"a", "b"}));
    }

    void panelFitting_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("shownWidth");
        QTest::addColumn<float>("shownHeight");
        QTest::newRow("wide") << 3000.0f << 1500.0f << 0.0f << 3975.0f << 1987.5f;
        QTest::newRow("tall") << 1500.0f << 3000.0f << 993.75f << 1987.5f << 3975.0f;
        QTest::newRow("square, larger than the panel")
            << 60000.0f << 60000.0f << 0.0f << 3975.0f << 3975.0f;
        QTest::newRow("invalid-picture image") << 4500.0f << 4275.0f << 0.0f << 3975.0f << 3776.25f;
        QTest::newRow("one pixel wide") << 15.0f << 45000.0f << 1986.8375f << 1.325f << 3975.0f;
        QTest::newRow("no picture") << 0.0f << 0.0f << 0.0f << 0.0f << 0.0f;
    }
    void panelFitting() {
        QFETCH(float, width);
        QFETCH(float, height);
        const ui::PanelPlacement p = ui::fitInPanel(width, height);
        QTEST(p.left, "left");
        QCOMPARE(p.top, 0.0f);
        QTEST(p.width, "shownWidth");
        QTEST(p.height, "shownHeight");
    }

    void fullSizeWindow_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<float>("screenHeight");
        QTest::addColumn<bool>("scaled");
        QTest::addColumn<QSizeF>("outer");
        QTest::addColumn<QSizeF>("inner");
        // Main window 12000 twips wide throughout: the limit is 9000.
        QTest::newRow("fits") << QSizeF(3000, 2000) << QSizeF(120, 420) << 0.0f << false
                              << QSizeF(3120, 2420) << QSizeF(3000, 2000);
        QTest::newRow("too wide") << QSizeF(10000, 5000) << QSizeF(0, 0) << 0.0f << true
                                  << QSizeF(9000, 4500) << QSizeF(9000, 4500);
        QTest::newRow("too wide, outer size keeps the proportions")
            << QSizeF(10000, 5000) << QSizeF(120, 420) << 0.0f << true << QSizeF(9000, 4500)
            << QSizeF(8880, 4080);
        QTest::newRow("exactly at the limit") << QSizeF(8880, 3000) << QSizeF(120, 420) << 0.0f
                                              << false << QSizeF(9000, 3420) << QSizeF(8880, 3000);
        QTest::newRow("one twip over") << QSizeF(8881, 4440.5) << QSizeF(120, 420) << 0.0f << true
                                       << QSizeF(9000, 4500) << QSizeF(8880, 4080);
        QTest::newRow("tall and narrow, no screen limit")
            << QSizeF(3000, 60000) << QSizeF(120, 420) << 0.0f << false << QSizeF(3120, 60420)
            << QSizeF(3000, 60000);
        QTest::newRow("tall and narrow, on a screen 15420 high")
            << QSizeF(3000, 60000) << QSizeF(120, 420) << 15420.0f << true << QSizeF(870, 15420)
            << QSizeF(750, 15000);
        QTest::newRow("too wide and still too tall")
            << QSizeF(20000, 40000) << QSizeF(0, 0) << 15000.0f << true << QSizeF(7500, 15000)
            << QSizeF(7500, 15000);
    }
    void fullSizeWindow() {
        QFETCH(QSizeF, picture);
        QFETCH(QSizeF, frame);
        QFETCH(float, screenHeight);
        QFETCH(bool, scaled);
        QFETCH(QSizeF, outer);
        QFETCH(QSizeF, inner);
        const ui::FullSizeLayout l =
            ui::fullSizeLayout(float(picture.width()), float(picture.height()),
                               float(frame.width()), float(frame.height()), 12000.0f, screenHeight);
        QCOMPARE(l.scaled, scaled);
        QCOMPARE(QSizeF(l.outerWidth, l.outerHeight), outer);
        QCOMPARE(QSizeF(l.innerWidth, l.innerHeight), inner);
    }

    void copyStreamsAndOverwrites() {
        QTemporaryDir dir;
        QByteArray bytes(5 * 1024 * 1024 + 17, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        const QString source = dir.filePath(QStringLiteral("Münze 硬币.jpg"));
        const QString target = dir.filePath(QStringLiteral("20240315143005.jpg"));
        writeFile(source, bytes);
        writeFile(target, "an older copy of the same name");
        QCOMPARE(copyErrorNumber(source, target), 0);
        QCOMPARE(readFile(target), bytes);
        QVERIFY(QFileInfo(target).permissions().testFlag(QFileDevice::ReadOther));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no leftovers
    }

    void copyFailures_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("number");
        QTest::newRow("source gone") << "gone.jpg"
                                     << "copy.jpg" << int(app::kFileNotFound);
        QTest::newRow("source is a folder") << "folder"
                                            << "copy.jpg" << int(app::kPathFileAccessError);
        QTest::newRow("target folder missing") << "photo.jpg"
                                               << "missing/copy.jpg" << int(app::kPathNotFound);
        QTest::newRow("a folder where the copy goes") << "photo.jpg"
                                                      << "folder" << int(app::kPathFileAccessError);
    }
    void copyFailures() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
        writeFile(dir.filePath(QStringLiteral("photo.jpg")), "jpeg bytes");
        QTEST(copyErrorNumber(dir.filePath(source), dir.filePath(target)), "number");
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    }

    // Root writes anywhere: an ordinary user copies into a folder it may not write.
    void copyIntoAReadOnlyFolder() {
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty() ||
            ::geteuid() != 0) {
            QSKIP("needs root and setpriv to act as an ordinary user");
        }
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("_userImages"));
        QDir().mkpath(folder);
        const QString source = dir.filePath(QStringLiteral("photo.jpg"));
        writeFile(source, "jpeg bytes");
        const auto readable = QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                              QFileDevice::ReadOther | QFileDevice::ExeOwner |
                              QFileDevice::ExeGroup | QFileDevice::ExeOther;
        QFile::setPermissions(dir.path(), readable | QFileDevice::WriteOwner);
        QFile::setPermissions(folder, readable);
        QFile::setPermissions(source, readable);

        QProcess child;
        child.start(QStringLiteral("setpriv"),
                    {"--reuid=65534", "--regid=65534", "--clear-groups",
                     QCoreApplication::applicationFilePath(), "--copy", source,
                     folder + QStringLiteral("/20240315143005.jpg")});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.readAllStandardOutput().trimmed(),
                 QByteArray::number(app::kPermissionDenied));
        QVERIFY(QDir(folder).isEmpty());
    }
};

int main(int argc, char* argv[]) {
    if (argc == 4 && QByteArray(argv[1]) == "--copy") {
        std::printf("%d\n", copyErrorNumber(QString::fromLocal8Bit(argv[2]),
                                            QString::fromLocal8Bit(argv[3])));
        return 0;
    }
    QCoreApplication application(argc, argv);
    PictureListTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "picture_list_test.moc"
