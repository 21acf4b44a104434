// An item's pictures: copied names, the list, the full-size window, and the
// strip with its picture panel, fed through the file dialog.
#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/pictures/PictureGeometry.h"
#include "ui/pictures/PictureList.h"
#include "ui/pictures/PictureStrip.h"

#include <QBuffer>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>
#include <unistd.h>

namespace {

const QDateTime kNow(QDate(2024, 3, 15), QTime(14, 30, 5));
const QString kFolder = QStringLiteral("_data\\_userImages\\");

QColor colourOf(int n) {
    return QColor(QColor::fromHsv(n * 47 % 360, 200, 220).rgb());
}

QColor centreColour(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QByteArray encoded(int width, int height, const QColor& colour, const char* format = "PNG") {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A small PNG whose header claims 30000 x 30000 pixels, checksum and all.
QByteArray hugeClaimingPng() {
    QByteArray png = encoded(8, 8, Qt::red);
    qToBigEndian(quint32(30000), png.data() + 16);
    qToBigEndian(quint32(30000), png.data() + 20);
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : png.mid(12, 17)) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

QImage invalidPicture(QSize size) {
    const QString path = ui::programImagePath("invalidPictureFormat.jpg");
    return ui::loadPictureScaled(app::nativePath(path), size, 1.0).pixmap.toImage();
}

// The Coin Images panel alone, on an editor, with the clock stopped.
struct Strip {
    ProgramFolderFixture folder;
    QWidget area;
    ItemEditor editor{&area};
    PictureStrip strip{&area, editor};

    Strip() {
        strip.frame()->show();
        area.show();
        strip.setClock([] { return kNow; });
        QDir().mkpath(folder.path(kFolder));
    }
    // Pictures p1..p<count>, each in its own colour.
    void listPictures(int count) {
        QStringList list;
        for (int n = 1; n <= count; ++n) {
            list << kFolder + QStringLiteral("p%1.png").arg(n);
            folder.write(list.back(), encoded(40, 30, colourOf(n)));
        }
        editor.setPictures(list);
        strip.fillPictureStrip();
    }
    template <class W> W* element(const char* name, int k) const {
        for (W* w : strip.frame()->findChildren<W*>(name)) {
            if (w->property("index").toInt() == k) {
                return w;
            }
        }
        return nullptr;
    }
    void click(int k) const {
        QTest::mouseClick(element<QLabel>("imgPropertyListItem", k), Qt::LeftButton);
    }
    void addChosen(const QString& chosen) {
        folder.fakes.dialogs.answers = {chosen};
        QTest::mouseClick(strip.addButton(), Qt::LeftButton);
    }
    // Each frame shown, as "left edge in twips=tag".
    QString frames() const {
        QStringList shown;
        for (int k = 1; k <= PictureStrip::kThumbnails; ++k) {
            if (strip.thumbnailFrameVisible(k)) {
                const double left = ui::twips(element<QFrame>("frmSelectPropertyImage", k)->x());
                shown << QStringLiteral("%1=%2").arg(left).arg(strip.thumbnailTag(k));
            }
        }
        return shown.join(' ');
    }
};

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT
private slots:
    void copiedNames_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("name");
        QTest::newRow(".jpg") << kNow << "C:\\Photos\\coin.jpg" << kFolder + "20240315143005.jpg";
        QTest::newRow(".jpeg gives no dot")
            << QDateTime(QDate(2025, 1, 1), QTime(9, 0)) << "/home/ann/Münzen/obverse.jpeg"
            << kFolder + "20250101090000jpeg";
        QTest::newRow("CJK the collection cannot hold")
            << kNow << "/home/ann/硬币照片" << kFolder + "20240315143005____";
        QTest::newRow("a separator") << kNow << "/home/ann/ab" << kFolder + "20240315143005n_ab";
    }
    void copiedNames() {
        QFETCH(QDateTime, now);
        QFETCH(QString, chosen);
        QTEST(ui::copiedPictureName(now, chosen), "name");
    }

    void listOperationsAndPanelFitting() {
        QCOMPARE(ui::withPictureFirst({"a", "b"}, "n"), QStringList({"n", "a", "b"}));
        QCOMPARE(ui::withPictureRemoved({"a"}, 0), QStringList());
        // Gaps close up; one place shorter, the rest empty.
        QCOMPARE(ui::withPictureRemoved({"a", "", "b", "", "c"}, 2),
                 QStringList({"a", "c", "", ""}));
        QCOMPARE(ui::withPictureRemoved({"x", "x"}, 1), QStringList({"x"}));
        QCOMPARE(ui::withPictureRemoved({"a", "b"}, 2), QStringList({"a", "b"}));
        const auto fit = [](float width, float height) {
            const ui::PanelPlacement p = ui::fitInPanel(width, height);
            return QRectF(p.left, p.top, p.width, p.height);
        };
        QCOMPARE(fit(3000, 1500), QRectF(0, 0, 3975, 1987.5));
        QCOMPARE(fit(1500, 3000), QRectF(993.75, 0, 1987.5, 3975));
    }

    void fullSizeWindow_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<float>("screenHeight");
        QTest::addColumn<bool>("scaled");
        QTest::addColumn<QRectF>("outerAndInner"); // outer size at 0,0, inner size at 1,1
        // A main window 12000 twips wide: the limit is 9000; the border adds 120 x 420.
        QTest::newRow("fits") << QSizeF(3000, 2000) << 0.f << false
                              << QRectF(3120, 2420, 3000, 2000);
        QTest::newRow("too wide") << QSizeF(10000, 5000) << 0.f << true
                                  << QRectF(9000, 4500, 8880, 4080);
        QTest::newRow("at the limit")
            << QSizeF(8880, 3000) << 0.f << false << QRectF(9000, 3420, 8880, 3000);
        QTest::newRow("tall and narrow")
            << QSizeF(3000, 60000) << 0.f << false << QRectF(3120, 60420, 3000, 60000);
        QTest::newRow("tall and narrow, screen 15420 high")
            << QSizeF(3000, 60000) << 15420.f << true << QRectF(870, 15420, 750, 15000);
    }
    void fullSizeWindow() {
        QFETCH(QSizeF, picture);
        QFETCH(float, screenHeight);
        const ui::FullSizeLayout l = ui::fullSizeLayout(
            float(picture.width()), float(picture.height()), 120, 420, 12000, screenHeight);
        QTEST(l.scaled, "scaled");
        QTEST(QRectF(l.outerWidth, l.outerHeight, l.innerWidth, l.innerHeight), "outerAndInner");
    }

    void stripCentresFramesAndScrolls() {
        Strip s;
        const QStringList centred = {"", "3000=1", "2160=1 4200=2", "960=1 3000=2 5040=3",
                                     "120=1 2160=2 4200=3 6240=4"};
        for (int count = 0; count <= 4; ++count) {
            s.listPictures(count);
            QCOMPARE(s.frames(), centred[count]);
            QVERIFY(s.strip.scrollBar()->isHidden());
        }
        s.listPictures(7);
        QCOMPARE(s.strip.scrollBar()->maximum(), 3);
        for (int offset = 0; offset <= 3; ++offset) {
            s.strip.scrollBar()->setValue(offset);
            QCOMPARE(s.frames(), QStringLiteral("120=%1 2160=%2 4200=%3 6240=%4")
                                     .arg(offset + 1)
                                     .arg(offset + 2)
                                     .arg(offset + 3)
                                     .arg(offset + 4));
            QCOMPARE(centreColour(s.strip.thumbnailPicture(1)), colourOf(offset + 1));
        }
    }

    // The copy goes first under its time-stamped name, even over a copy made in
    // the same second; Delete Picture takes the marked one out.
    void addingAndDeleting() {
        Strip s;
        s.editor.setPictures({""}); // an item stored without pictures
        for (const QColor& colour : {QColor(Qt::red), QColor(Qt::blue)}) {
            s.folder.write("coin.jpg", encoded(64, 48, colour));
            s.addChosen(s.folder.path("coin.jpg"));
        }
        const QString name = kFolder + "20240315143005.jpg";
        QCOMPARE(s.folder.fakes.dialogs.titles, QStringList({"Add File", "Add File"}));
        QCOMPARE(s.editor.pictures(), (QStringList{name, name, ""}));
        QCOMPARE(centreColour(s.strip.thumbnailPicture(1)), QColor(Qt::blue));
        QCOMPARE(centreColour(s.strip.thumbnailPicture(2)), QColor(Qt::blue));
        s.click(2);
        QTest::mouseClick(s.strip.deleteButton(), Qt::LeftButton);
        QCOMPARE(s.editor.pictures(), (QStringList{name, ""}));
        QVERIFY(s.editor.hasUnsavedChanges());
    }

    // A file that is no picture is listed under its copy's name and shows the
    // invalid-picture image; a copy that fails is logged and leaves nothing.
    void choosingAFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColor>("shown"); // none for the invalid-picture image
        QTest::addColumn<int>("logged");
        const QByteArray jpeg = encoded(640, 480, Qt::green, "JPEG");
        QTest::newRow("accents and CJK, 3 MB") // copied in pieces
            << "Münze 硬币.png" << encoded(64, 48, Qt::red) + QByteArray(3 << 20, 'x')
            << QColor(Qt::red) << 0;
        QTest::newRow("zero bytes") << "empty.jpg" << QByteArray("") << QColor() << 0;
        QTest::newRow("text named .png") << "notes.png" << QByteArray("Liberty\n") << QColor() << 0;
        QTest::newRow("truncated JPEG") << "cut.jpg" << jpeg.left(300) << QColor() << 0;
        QTest::newRow("PNG claiming 30000 x 30000")
            << "huge.png" << hugeClaimingPng() << QColor() << 0;
        QTest::newRow("deleted after choosing")
            << "gone.jpg" << QByteArray() << QColor() << int(app::kFileNotFound);
        QTest::newRow("read-only picture folder")
            << "coin.jpg" << jpeg << QColor() << int(app::kPermissionDenied);
    }
    void choosingAFile() {
        QFETCH(QString, chosen);
        QFETCH(QByteArray, bytes);
        QFETCH(QColor, shown);
        QFETCH(int, logged);
        if (logged == app::kPermissionDenied && ::geteuid() == 0) {
            // Root writes anywhere: the row runs again as an ordinary user.
            if (QStandardPaths::findExecutable("setpriv").isEmpty()) {
                QSKIP("needs setpriv to run a child as an ordinary user");
            }
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                    QCoreApplication::applicationFilePath(),
                                    QStringLiteral("choosingAFile:") + QTest::currentDataTag()});
            QVERIFY(child.waitForFinished(60000));
            QCOMPARE(child.exitCode(), 0);
            return;
        }
        Strip s;
        if (!bytes.isNull()) {
            s.folder.write(chosen, bytes);
        }
        if (logged == app::kPermissionDenied) {
            QFile::setPermissions(s.folder.path(kFolder), QFileDevice::Permissions(0x5555));
        }
        s.addChosen(s.folder.path(chosen));
        const QString name = ui::copiedPictureName(kNow, chosen);
        QCOMPARE(s.editor.pictures(), QStringList{name});
        s.click(1);
        const QLabel* panel = s.strip.pictureImage();
        if (shown.isValid()) {
            QCOMPARE(centreColour(s.strip.thumbnailPicture(1)), shown);
            QCOMPARE(centreColour(panel->pixmap()), shown);
        } else {
            QCOMPARE(s.strip.thumbnailPicture(1).toImage(), invalidPicture(QSize(116, 104)));
            // Fitted by the invalid-picture image's own proportions, 300 x 285.
            QCOMPARE(panel->geometry(), QRect(0, 0, 265, 252));
            QCOMPARE(panel->pixmap().toImage(), invalidPicture(QSize(265, 252)));
        }
        const QByteArray number = '"' + QByteArray::number(logged) + '"';
        QCOMPARE(s.folder.read("corvantheil.Err").contains(number), logged != 0);
        QCOMPARE(s.folder.read(name), logged ? QByteArray() : bytes);
    }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
