// Names, list operations and placement of pictures, and the copy, without a window.
#include "app/ErrorLog.h"
#include "ui/pictures/PictureGeometry.h"
#include "ui/pictures/PictureList.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

namespace {

int copyErrorNumber(const QString& source, const QString& target) {
    try {
        ui::copyPictureFile(source, target);
    } catch (const app::RuntimeError& e) {
        return e.number();
    }
    return 0;
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
        QTest::newRow(".jpeg gives no dot")
            << QDateTime(QDate(2025, 1, 1), QTime(9, 0)) << "/home/ann/Münzen/obverse.jpeg"
            << "_data\\_userImages\\20250101090000jpeg";
        QTest::newRow("CJK the collection cannot hold") << march << "/home/ann/硬币照片"
                                                        << "_data\\_userImages\\20240315143005____";
        QTest::newRow("a separator") << march << "/home/ann/ab"
                                     << "_data\\_userImages\\20240315143005n_ab";
    }
    void copiedNames() {
        QFETCH(QDateTime, now);
        QFETCH(QString, chosen);
        QTEST(ui::copiedPictureName(now, chosen), "name");
    }

    void listOperations() {
        QCOMPARE(ui::withPictureFirst({"a", "b"}, "n"), QStringList({"n", "a", "b"}));
        QCOMPARE(ui::withPictureRemoved({"a"}, 0), QStringList());
        // Gaps close up; one place shorter, the rest empty.
        QCOMPARE(ui::withPictureRemoved({"a", "", "b", "", "c"}, 2),
                 QStringList({"a", "c", "", ""}));
        QCOMPARE(ui::withPictureRemoved({"x", "x"}, 1), QStringList({"x"}));
        QCOMPARE(ui::withPictureRemoved({"a", "b"}, 2), QStringList({"a", "b"}));
    }

    void panelFitting_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("shownWidth");
        QTest::addColumn<float>("shownHeight");
        QTest::newRow("wide") << 3000.0f << 1500.0f << 0.0f << 3975.0f << 1987.5f;
        QTest::newRow("tall") << 1500.0f << 3000.0f << 993.75f << 1987.5f << 3975.0f;
        QTest::newRow("no picture") << 0.0f << 0.0f << 0.0f << 0.0f << 0.0f;
    }
    void panelFitting() {
        QFETCH(float, width);
        QFETCH(float, height);
        const ui::PanelPlacement p = ui::fitInPanel(width, height);
        QTEST(p.left, "left");
        QTEST(p.width, "shownWidth");
        QTEST(p.height, "shownHeight");
    }

    void fullSizeWindow_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<float>("screenHeight");
        QTest::addColumn<bool>("scaled");
        QTest::addColumn<QRectF>("outerAndInner"); // outer size at 0,0, inner size at 1,1
        // A main window 12000 twips wide: the limit is 9000.
        QTest::newRow("fits") << QSizeF(3000, 2000) << QSizeF(120, 420) << 0.0f << false
                              << QRectF(3120, 2420, 3000, 2000);
        QTest::newRow("too wide") << QSizeF(10000, 5000) << QSizeF(120, 420) << 0.0f << true
                                  << QRectF(9000, 4500, 8880, 4080);
        QTest::newRow("at the limit") << QSizeF(8880, 3000) << QSizeF(120, 420) << 0.0f << false
                                      << QRectF(9000, 3420, 8880, 3000);
        QTest::newRow("tall and narrow") << QSizeF(3000, 60000) << QSizeF(120, 420) << 0.0f << false
                                         << QRectF(3120, 60420, 3000, 60000);
        QTest::newRow("tall and narrow, screen 15420 high")
            << QSizeF(3000, 60000) << QSizeF(120, 420) << 15420.0f << true
            << QRectF(870, 15420, 750, 15000);
    }
    void fullSizeWindow() {
        QFETCH(QSizeF, picture);
        QFETCH(QSizeF, frame);
        QFETCH(float, screenHeight);
        const ui::FullSizeLayout l =
            ui::fullSizeLayout(float(picture.width()), float(picture.height()),
                               float(frame.width()), float(frame.height()), 12000, screenHeight);
        QTEST(l.scaled, "scaled");
        QTEST(QRectF(l.outerWidth, l.outerHeight, l.innerWidth, l.innerHeight), "outerAndInner");
    }

    void copying_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("asUser");
        QTest::addColumn<int>("number");
        QTest::newRow("over an older copy") << "Münze 硬币.jpg"
                                            << "old.jpg" << false << 0;
        QTest::newRow("source gone") << "gone.jpg"
                                     << "copy.jpg" << false << int(app::kFileNotFound);
        QTest::newRow("folder missing") << "Münze 硬币.jpg"
                                        << "missing/copy.jpg" << false << int(app::kPathNotFound);
        QTest::newRow("a folder in the way") << "Münze 硬币.jpg"
                                             << "folder" << false << int(app::kPathFileAccessError);
        // Root writes anywhere: an ordinary user copies into a folder it may not write.
        QTest::newRow("read-only folder")
            << "Münze 硬币.jpg"
            << "folder/copy.jpg" << true << int(app::kPermissionDenied);
    }
    void copying() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, asUser);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("folder");
        QByteArray photo(3 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(photo.data()), photo.size() / 4);
        for (const auto& [name, bytes] : {std::pair{"Münze 硬币.jpg", photo}, {"old.jpg", "old"}}) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
        const QString from = dir.filePath(source), to = dir.filePath(target);
        int number = 0;
        if (!asUser) {
            number = copyErrorNumber(from, to);
        } else if (QStandardPaths::findExecutable("setpriv").isEmpty() || ::geteuid() != 0) {
            QSKIP("needs root and setpriv to act as an ordinary user");
        } else {
            // 755, 555 and 444.
            QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7555));
            QFile::setPermissions(dir.filePath("folder"), QFileDevice::Permissions(0x5555));
            QFile::setPermissions(from, QFileDevice::Permissions(0x4444));
            QProcess child;
            child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                    QCoreApplication::applicationFilePath(), "--copy", from, to});
            QVERIFY(child.waitForFinished(30000));
            number = child.readAllStandardOutput().trimmed().toInt();
        }
        QTEST(number, "number");
        if (number == 0) {
            QCOMPARE(readFile(to), photo);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // nothing left behind
        }
        QVERIFY(QFileInfo(dir.filePath("folder")).isDir());
        QVERIFY(QDir(dir.filePath("folder")).isEmpty());
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
