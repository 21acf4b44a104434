// Every kind of picture decoded, the list, the full-size window, the strip, and
// pictures added: chosen, dropped, pasted, from a phone, or refused.
#include "HeifFixture.h"
#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/EditCommands.h"
#include "ui/edit/ItemEditor.h"
#include "ui/pictures/PictureGeometry.h"
#include "ui/pictures/PictureList.h"
#include "ui/pictures/PictureStrip.h"

#include <QClipboard>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <unistd.h>

namespace {

const QString kFolder = QStringLiteral("_data\\_userImages\\");
const QSize kThumbnail(116, 104);

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (const int v : values) {
        out += char(v);
    }
    return out;
}

QImage filled(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray encoded(const QImage& image, const char* format = "PNG") {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, format, 95) ? out : QByteArray();
}

QImage drawn(QImage::Format format, const std::function<QRgb(int, int)>& colour) {
    QImage image(640, 480, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, colour(x, y));
        }
    }
    return image.convertToFormat(format);
}

// Alternating pixels, as in a halftone scan: seen from afar, the mean of a and b.
QImage checker(QImage::Format format, QRgb a, QRgb b) {
    const QImage image =
        drawn(QImage::Format_ARGB32, [=](int x, int y) { return (x + y) & 1 ? b : a; });
    return format == QImage::Format_Mono ? image.convertToFormat(format, {a, b})
                                         : image.convertToFormat(format);
}

// Red across, green down: far more colours than a palette holds.
QImage colourField() {
    return drawn(QImage::Format_RGB32,
                 [](int x, int y) { return qRgb(x * 255 / 639, y * 255 / 479, 128); });
}

// Qt writes no GIF. With seven-bit minimum codes every code is one byte, and a
// clear code every 100 pixels keeps them so: pixels go in as literal codes.
QByteArray gif(const QImage& twoColours) {
    const auto word = [](int v) { return bytes({v & 0xff, v >> 8}); };
    const int w = twoColours.width();
    const int h = twoColours.height();
    QByteArray out = "GIF89a" + word(w) + word(h) + bytes({0x80, 0, 0});
    for (const QRgb c : twoColours.colorTable()) {
        out += bytes({qRed(c), qGreen(c), qBlue(c)});
    }
    out += ',' + word(0) + word(0) + word(w) + word(h) + bytes({0, 7});
    QByteArray data;
    for (int n = 0; n < w * h; ++n) {
        if (n % 100 == 0) {
            data += char(128); // clear
        }
        data += char(twoColours.pixelIndex(n % w, n / w));
    }
    data += char(129); // end
    for (qsizetype i = 0; i < data.size(); i += 255) {
        out += char(std::min<qsizetype>(255, data.size() - i)) + data.mid(i, 255);
    }
    return out + bytes({0, ';'});
}

// One 8 x 8 block in the inverted CMYK that print software writes (Qt writes
// none): each component is its DC coefficient alone, storing the inks 40, 170,
// 100, 230, with four-bit codes for the DC sizes and end-of-block as "0".
QByteArray cmykJpeg() {
    const auto segment = [](int marker, const QByteArray& body) {
        const int n = int(body.size()) + 2;
        return bytes({0xff, marker, n >> 8, n & 0xff}) + body;
    };
    const QByteArray frame =
        bytes({8, 0, 8, 0, 8, 4, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0, 4, 0x11, 0});
    const QByteArray scan = bytes({4, 1, 0, 2, 0, 3, 0, 4, 0, 0, 63, 0});
    const QByteArray dcTable = bytes({0x00, 0, 0, 0, 12}) + QByteArray(12, 0) +
                               bytes({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    return bytes({0xff, 0xd8}) + segment(0xee, QByteArray("Adobe\0\x64\0\0\0\0\0", 12)) +
           segment(0xdb, QByteArray(1, 0) + QByteArray(64, 1)) + segment(0xc0, frame) +
           segment(0xc4, dcTable + bytes({0x10, 1}) + QByteArray(15, 0) + bytes({0})) +
           segment(0xda, scan) + QByteArray::fromHex("a4fd35040fab307f") + bytes({0xff, 0xd9});
}

// A small PNG whose header claims 30000 x 30000 pixels, checksum and all.
QByteArray hugeClaimingPng() {
    QByteArray png = encoded(filled(8, 8, Qt::red));
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

QColor mean(QRgb a, QRgb b) {
    return QColor((qRed(a) + qRed(b) + 1) / 2, (qGreen(a) + qGreen(b) + 1) / 2,
                  (qBlue(a) + qBlue(b) + 1) / 2);
}

QColor centreColour(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QColor colourOf(int n) {
    return QColor(QColor::fromHsv(n * 47 % 360, 200, 220).rgb());
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
        strip.setClock([] { return QDateTime(QDate(2024, 3, 5), QTime(9, 8, 7)); });
        QDir().mkpath(folder.path(kFolder));
    }
    void listPictures(int count) {
        QStringList list;
        for (int n = 1; n <= count; ++n) {
            list << kFolder + QStringLiteral("p%1.png").arg(n);
            folder.write(list.back(), encoded(filled(40, 30, colourOf(n))));
        }
        editor.setPictures(list);
        strip.fillPictureStrip();
    }
    // Files chosen together in the Add File dialog, by their paths in the folder.
    void addChosen(const QStringList& chosen) {
        QStringList paths;
        for (const QString& file : chosen) {
            paths << folder.path(file);
        }
        folder.fakes.dialogs.chosen = {paths};
        QTest::mouseClick(strip.addButton(), Qt::LeftButton);
    }
    QStringList copies() const { return QDir(folder.path(kFolder)).entryList(QDir::Files); }
    QString shownText() const { return folder.fakes.boxes.shown.value(0).text; }
    // Each frame shown, as "left edge in twips=tag".
    QString frames() const {
        QStringList shown;
        for (const QFrame* f : strip.frame()->findChildren<QFrame*>("frmSelectPropertyImage")) {
            if (!f->isHidden()) {
                const QString tag = strip.thumbnailTag(f->property("index").toInt());
                shown << QStringLiteral("%1=%2").arg(ui::twips(f->x())).arg(tag);
            }
        }
        return shown.join(' ');
    }
};

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT
private slots:
    void everyKindLooksRight_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColor>("expected");
        const QRgb green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), red = qRgb(220, 40, 40);
        const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        const auto oneBit = [](QRgb a, QRgb b) { return checker(QImage::Format_Mono, a, b); };
        QTest::newRow("one-bit PNG")
            << "mono.png" << encoded(oneBit(green, blue)) << mean(green, blue);
        QTest::newRow("one-bit TIFF")
            << "fax.tif" << encoded(oneBit(black, white), "TIFF") << mean(black, white);
        QTest::newRow("one-bit BMP")
            << "mono.bmp" << encoded(oneBit(red, blue), "BMP") << mean(red, blue);
        QTest::newRow("palette PNG")
            << "palette.png"
            << encoded(colourField().convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither))
            << QColor(128, 128, 128);
        QTest::newRow("GIF") << "mono.gif" << gif(oneBit(red, blue)) << mean(red, blue);
        QTest::newRow("greyscale PNG")
            << "grey.png" << encoded(checker(QImage::Format_Grayscale8, black, white))
            << mean(black, white);
        QTest::newRow("true colour PNG")
            << "rgb.png" << encoded(checker(QImage::Format_RGB32, red, blue)) << mean(red, blue);
        QTest::newRow("true colour PNG, half transparent")
            << "alpha.png" << encoded(checker(QImage::Format_ARGB32, green, 0))
            << QColor(0, 255, 0, 128);
        QTest::newRow("JPEG") << "photo.jpg" << encoded(colourField(), "JPEG")
                              << QColor(128, 128, 128);
        QTest::newRow("CMYK JPEG")
            << "print.jpg" << cmykJpeg()
            << QColor(230 * 40 / 255, 230 * 170 / 255, 230 * 100 / 255); // K times C, M, Y
    }
    void everyKindLooksRight() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QColor, expected);
        ProgramFolderFixture folder(false);
        folder.write(fileName, bytes);
        const ui::LoadedPicture picture =
            ui::loadPictureScaled(folder.path(fileName), kThumbnail, 1);
        QVERIFY(picture.status == ui::PictureStatus::Loaded);
        QCOMPARE(picture.pixmap.size(), kThumbnail);
        const QColor c = centreColour(picture.pixmap);
        const int off = std::max(
            {std::abs(c.red() - expected.red()), std::abs(c.green() - expected.green()),
             std::abs(c.blue() - expected.blue()), std::abs(c.alpha() - expected.alpha())});
        QVERIFY2(off <= 12, qPrintable(QStringLiteral("off by %1").arg(off)));
    }

    void listOperationsAndPanelFitting() {
        QCOMPARE(ui::withPictureFirst({"a", "b"}, "n"), QStringList({"n", "a", "b"}));
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

    // Inner, outer size and stretched, beside a main window 12000 wide; border 120 x 420.
    void fullSizeWindow() {
        const auto window = [](float width, float height, float screenHeight = 0) {
            const ui::FullSizeLayout l =
                ui::fullSizeLayout(width, height, 120, 420, 12000, screenHeight);
            return QList<float>{l.innerWidth, l.innerHeight, l.outerWidth, l.outerHeight,
                                float(l.scaled)};
        };
        QCOMPARE(window(3000, 2000), (QList<float>{3000, 2000, 3120, 2420, 0}));
        // Three quarters of the main window at most, the width alone deciding.
        QCOMPARE(window(10000, 5000), (QList<float>{8880, 4080, 9000, 4500, 1}));
        QCOMPARE(window(8880, 3000), (QList<float>{8880, 3000, 9000, 3420, 0}));
        QCOMPARE(window(3000, 60000), (QList<float>{3000, 60000, 3120, 60420, 0}));
        QCOMPARE(window(3000, 60000, 15420), (QList<float>{750, 15000, 870, 15420, 1}));
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
        const QStringList scrolled = {"120=1 2160=2 4200=3 6240=4", "120=2 2160=3 4200=4 6240=5",
                                      "120=3 2160=4 4200=5 6240=6", "120=4 2160=5 4200=6 6240=7"};
        s.listPictures(7);
        QCOMPARE(s.strip.scrollBar()->maximum(), 3);
        for (int offset = 0; offset <= 3; ++offset) {
            s.strip.scrollBar()->setValue(offset);
            QCOMPARE(s.frames(), scrolled[offset]);
            QCOMPARE(centreColour(s.strip.thumbnailPicture(1)), colourOf(offset + 1));
        }
    }

    // Copies made in one second get names of their own, and a file there
    // already, of any letter case, stays. A click marks a thumbnail, a double
    // click asks for the full size, Delete Picture takes the marked one.
    void addingAndDeleting() {
        Strip s;
        s.editor.setPictures({""}); // an item stored without pictures
        s.folder.write(kFolder + "20240305090807.JPG", "another coin's");
        for (const QColor& colour : {QColor(Qt::red), QColor(Qt::blue)}) {
            s.folder.write("coin.jpg", encoded(filled(64, 48, colour)));
            s.addChosen({"coin.jpg"});
        }
        const QString first = kFolder + "20240305090807-2.jpg";
        const QString second = kFolder + "20240305090807-3.jpg";
        QCOMPARE(s.folder.fakes.dialogs.titles, QStringList({"Add File", "Add File"}));
        QCOMPARE(s.editor.pictures(), (QStringList{second, first, ""}));
        QCOMPARE(s.folder.read(kFolder + "20240305090807.JPG"), "another coin's");
        QCOMPARE(centreColour(s.strip.thumbnailPicture(2)), QColor(Qt::red));
        QSignalSpy fullSize(&s.strip, &PictureStrip::fullSizeRequested);
        auto* thumbnail = child<QLabel>(*s.strip.frame(), "imgPropertyListItem", 2);
        QTest::mouseClick(thumbnail, Qt::LeftButton);
        QVERIFY(s.strip.thumbnailSelected(2) && s.strip.deleteButton()->isEnabled());
        QTest::mouseDClick(thumbnail, Qt::LeftButton);
        QCOMPARE(fullSize.value(0).value(0).toString(), first);
        QTest::mouseClick(s.strip.deleteButton(), Qt::LeftButton);
        QCOMPARE(s.editor.pictures(), (QStringList{second, ""}));
        QVERIFY(s.editor.hasUnsavedChanges());
    }

    // The copy takes the time and the chosen path's last four characters, or
    // its whole longer extension, those a file name cannot hold as "_".
    void choosingAFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("ending");
        QTest::newRow("accents, 3 MB copied in pieces") << "Münze 1878.png"
                                                        << ".png";
        QTest::newRow("CJK") << "硬币照片"
                             << "____";
        QTest::newRow("a separator") << "p\\ab"
                                     << "p_ab";
        QTest::newRow("a four-letter extension") << "coin.jpeg"
                                                 << ".jpeg";
    }
    void choosingAFile() {
        QFETCH(QString, chosen);
        QFETCH(QString, ending);
        Strip s;
        const QByteArray bytes = encoded(filled(64, 48, Qt::red)) + QByteArray(3 << 20, 'x');
        s.folder.write(chosen, bytes);
        s.addChosen({chosen});
        const QString name = kFolder + "20240305090807" + ending;
        QCOMPARE(s.editor.pictures(), QStringList{name});
        s.strip.selectThumbnail(1);
        QCOMPARE(centreColour(s.strip.thumbnailPicture(1)), QColor(Qt::red));
        QCOMPARE(centreColour(s.strip.pictureImage()->pixmap()), QColor(Qt::red));
        QCOMPARE(s.folder.read(name), bytes);
    }

    // Files chosen together go in, in their order, so the last comes first;
    // those that are no pictures are told in one message and leave nothing.
    // The dialog opens where pictures were chosen last.
    void choosingSeveralFiles() {
        Strip s;
        s.editor.setPictures({kFolder + "gone.jpg"});
        s.folder.write("in/a.png", encoded(filled(64, 48, Qt::red)));
        s.folder.write("in/b.jpeg", encoded(filled(64, 48, Qt::green), "JPEG"));
        s.folder.write("in/empty.jpg", "");
        s.folder.write("in/notes.heic", "Liberty\n");
        s.folder.write("in/cut.jpg", encoded(colourField(), "JPEG").left(300));
        s.folder.write("in/huge.png", hugeClaimingPng());
        QVERIFY(QDir().mkpath(s.folder.path("in/sub")));
        s.addChosen({"in/a.png", "in/empty.jpg", "in/notes.heic", "in/sub", "in/cut.jpg",
                     "in/huge.png", "in/b.jpeg"});
        QCOMPARE(s.editor.pictures(),
                 (QStringList{kFolder + "20240305090807.jpeg", kFolder + "20240305090807.png",
                              kFolder + "gone.jpg"}));
        QCOMPARE(s.copies(), (QStringList{"20240305090807.jpeg", "20240305090807.png"}));
        QCOMPARE(s.shownText(), "5 of the 7 pictures could not be added:\n\n"
                                "\"empty.jpg\": the file is empty.\n"
                                "\"notes.heic\": it is not a picture the program can read.\n"
                                "\"sub\": it is a folder, not a picture.\n"
                                "\"cut.jpg\": it is not a picture the program can read.\n"
                                "\"huge.png\": it is larger than 16384 by 16384 pixels.\n\n"
                                "The other 2 were added.");
        // A name whose file is gone shows the invalid-picture image, fitted by its proportions.
        s.strip.selectThumbnail(3);
        QCOMPARE(s.strip.thumbnailPicture(3).toImage(), invalidPicture(QSize(116, 104)));
        QCOMPARE(s.strip.pictureImage()->geometry(), QRect(0, 0, 265, 252));
        QCOMPARE(s.strip.pictureImage()->pixmap().toImage(), invalidPicture(QSize(265, 252)));

        const QString patterns = "*.JPG;*.JPEG;*.JPE;*.JFIF;*.GIF;*.TIF;*.TIFF;*.BMP;*.PNG";
        QCOMPARE(s.folder.fakes.dialogs.lastFilters.value(0),
                 "All Picture Files|" + patterns + ";*.HEIC;*.HEIF;*.AVIF");
        QStringList many;
        for (int n = 1; n <= 200; ++n) {
            many << QStringLiteral("many/%1.jpg").arg(n);
            s.folder.write(many.back(), "not a picture");
        }
        s.folder.fakes.boxes.shown.clear();
        s.addChosen(many);
        QVERIFY(s.shownText().startsWith("None of the 200 pictures could be added:\n\n\"1.jpg\""));
        QVERIFY(s.shownText().endsWith("\n\"10.jpg\": it is not a picture the program can "
                                       "read.\n...and 190 more."));
        QCOMPARE(s.editor.pictures().size(), 3);
        QCOMPARE(s.copies().size(), 2);
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        QCOMPARE(s.folder.fakes.dialogs.folders,
                 (QStringList{QFileInfo(pictures).isDir() ? pictures : QDir::homePath(),
                              s.folder.path("in")}));
    }

    // A phone's photo, stored on its side with a quarter turn in its boxes,
    // becomes an upright JPEG; one cut short is refused. A copy kept as HEIC
    // before shows as it is.
    void heicBecomesAnUprightJpeg() {
        Strip s;
        QImage sideways = filled(64, 32, Qt::red);
        QPainter(&sideways).fillRect(32, 0, 32, 32, Qt::blue);
        if (!writeHeic(s.folder.path("phone.heic"), sideways, 6)) {
            QSKIP("libheif has no HEVC encoder here to make the phone's photo");
        }
        s.addChosen({"phone.heic"});
        const QString name = kFolder + "20240305090807.jpg";
        QCOMPARE(s.editor.pictures(), QStringList{name});
        QVERIFY(s.folder.read(name).startsWith("\xff\xd8\xff"));
        const auto upright = [](const QImage& image) {
            return image.size() == QSize(32, 64) && image.pixelColor(16, 8).red() > 200 &&
                   image.pixelColor(16, 56).blue() > 200;
        };
        QVERIFY(upright(QImage(s.folder.path(name))));

        s.folder.write("cut.heic", s.folder.read("phone.heic").chopped(100));
        s.addChosen({"cut.heic"});
        QCOMPARE(s.shownText(), "The picture \"cut.heic\" could not be added: the picture in it "
                                "is damaged or incomplete.");
        QCOMPARE(s.copies(), QStringList{"20240305090807.jpg"});

        const QString old = s.folder.path("phone.heic");
        QCOMPARE(ui::pictureNaturalSize(old), QSize(32, 64));
        QVERIFY(upright(ui::loadPictureScaled(old, QSize(32, 64), 1).pixmap.toImage()));
    }

    // A copy that did not reach the disk is not listed, and the user is told why.
    void copyThatFailsIsTold_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("logged");
        QTest::newRow("read-only picture folder")
            << "the folder or file may not be written to" << int(app::kPermissionDenied);
        QTest::newRow("full disk") << "the disk is full" << int(app::kPathFileAccessError);
        QTest::newRow("a file in the folder's place")
            << "the folder is missing" << int(app::kPathNotFound);
    }
    void copyThatFailsIsTold() {
        QFETCH(QString, cause);
        QFETCH(int, logged);
        const bool asRoot = ::geteuid() == 0;
        if (logged == app::kPermissionDenied && asRoot) {
            return rerunAsOrdinaryUser();
        }
        Strip s;
        s.editor.setPictures({kFolder + "kept.jpg"});
        s.editor.takeCleanSnapshot();
        s.folder.write("coin.png", encoded(colourField()));
        const QString pictures = s.folder.path(kFolder);
        bool mounted = false;
        const auto unmount = qScopeGuard([&] {
            if (mounted) {
                QProcess::execute("umount", {pictures});
            }
        });
        if (logged == app::kPermissionDenied) {
            QFile::setPermissions(pictures, QFileDevice::Permissions(0x5555));
        } else if (logged == app::kPathNotFound) {
            QVERIFY(QDir(pictures).removeRecursively());
            s.folder.write(kFolder.chopped(1), "a file");
        } else {
            mounted = asRoot && QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k",
                                                            "tmpfs", pictures}) == 0;
            if (!mounted) {
                QSKIP("a small tmpfs could not be mounted to fill");
            }
        }
        s.addChosen({"coin.png"});
        QCOMPARE(s.shownText(), "The picture \"coin.png\" could not be added: " + cause + '.');
        QCOMPARE(s.editor.pictures(), QStringList{kFolder + "kept.jpg"});
        QVERIFY(!s.editor.hasUnsavedChanges());
        QCOMPARE(s.copies(), QStringList());
        QVERIFY(s.folder.log().contains('"' + QByteArray::number(logged) + '"'));
    }

    // Files dropped from a file manager, or a picture dragged out of another
    // program, are added as chosen ones, and so is a picture pasted on the
    // panel; in a text box Paste pastes text.
    void droppingAndPasting() {
        RunningProgram p(std::vector<TestItem>{{{"txtDescription", "Morgan"}}});
        p.doubleClickCard(1);
        p.window().showDetailPanel(Panel::CoinImages);
        PictureStrip& strip = p.window().pictureStrip();
        strip.setClock([] { return QDateTime(QDate(2024, 3, 5), QTime(9, 8, 7)); });
        const auto drop = [&](const QMimeData& data) {
            const QPointF at = strip.scrollBar()->parentWidget()->geometry().center();
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(strip.frame(), &enter);
            QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(strip.frame(), &dropped);
            QCoreApplication::processEvents();
            return enter.isAccepted();
        };
        p.folder.write("a.png", encoded(filled(64, 48, Qt::red)));
        p.folder.write("b.png", encoded(filled(64, 48, Qt::green)));
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(p.folder.path("a.png")),
                       QUrl("https://coins.example/c.jpg"),
                       QUrl::fromLocalFile(p.folder.path("b.png"))});
        QVERIFY(drop(files));
        QMimeData dragged;
        dragged.setImageData(filled(20, 10, Qt::blue));
        QVERIFY(drop(dragged));
        QMimeData text;
        text.setText("Morgan");
        QVERIFY(!drop(text));
        const QString stamp = kFolder + "20240305090807";
        QCOMPARE(p.window().editor().pictures(),
                 (QStringList{stamp + "-3.png", stamp + "-2.png", stamp + ".png"}));
        QCOMPARE(QImage(p.folder.path(stamp + "-3.png")), filled(20, 10, Qt::blue));

        QGuiApplication::clipboard()->setImage(filled(30, 20, Qt::yellow));
        auto* corner = p.control("picUpperLeftCorner");
        corner->setFocus();
        QVERIFY(p.window().menus().editCommands().enablingRule().paste);
        QTest::keyClick(corner, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(p.window().editor().pictures().value(0), stamp + "-4.png");
        QCOMPARE(QImage(p.folder.path(stamp + "-4.png")), filled(30, 20, Qt::yellow));

        QGuiApplication::clipboard()->setText("1921");
        QVERIFY(!p.window().menus().editCommands().enablingRule().paste);
        p.window().showDetailPanel(Panel::DetailedInfo);
        auto* year = p.control<QLineEdit>("txtYear");
        year->setFocus();
        p.trigger("mnuEditPaste");
        QCOMPARE(year->text(), QStringLiteral("1921"));
        QCOMPARE(p.window().editor().pictures().size(), 4);
    }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
