#include "ui/common/PictureLoading.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <QtTest>
#include <array>

namespace {

const QSize kSource(640, 480);
const QSize kThumbnail(116, 104);

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (const int v : values) {
        out += char(v);
    }
    return out;
}

QByteArray encoded(const QImage& image, const char* format) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    return writer.write(image) ? buffer.data() : QByteArray();
}

// Alternating pixels, as in a halftone scan: seen from afar, the mean of a and b.
QImage checker(QImage::Format format, QRgb a, QRgb b) {
    QImage image(kSource, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, (x + y) & 1 ? b : a);
        }
    }
    return format == QImage::Format_Mono ? image.convertToFormat(format, {a, b})
                                         : image.convertToFormat(format);
}

// Red across, green down: far more colours than a palette holds.
QImage colourField() {
    QImage image(kSource, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x * 255 / 639, y * 255 / 479, 128));
        }
    }
    return image;
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
    QByteArray frame = bytes({8, 0, 8, 0, 8, 4});
    QByteArray scan = bytes({4});
    QByteArray dcTable = bytes({0x00, 0, 0, 0, 12}) + QByteArray(12, 0);
    for (int c = 1; c <= 4; ++c) {
        frame += bytes({c, 0x11, 0});
        scan += bytes({c, 0});
    }
    for (int size = 0; size < 12; ++size) {
        dcTable += char(size);
    }
    return bytes({0xff, 0xd8}) + segment(0xee, QByteArray("Adobe\0\x64\0\0\0\0\0", 12)) +
           segment(0xdb, QByteArray(1, 0) + QByteArray(64, 1)) + segment(0xc0, frame) +
           segment(0xc4, dcTable + bytes({0x10, 1}) + QByteArray(15, 0) + bytes({0})) +
           segment(0xda, scan + bytes({0, 63, 0})) + QByteArray::fromHex("a4fd35040fab307f") +
           bytes({0xff, 0xd9});
}

QColor mean(QRgb a, QRgb b) {
    return QColor((qRed(a) + qRed(b) + 1) / 2, (qGreen(a) + qGreen(b) + 1) / 2,
                  (qBlue(a) + qBlue(b) + 1) / 2);
}

// The largest difference in any channel at the centre.
int centreDeviation(const QPixmap& pixmap, const QColor& e) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return std::max({std::abs(c.red() - e.red()), std::abs(c.green() - e.green()),
                     std::abs(c.blue() - e.blue()), std::abs(c.alpha() - e.alpha())});
}

} // namespace

class PictureLoadingTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
                   ? file.fileName()
                   : QString();
    }

private slots:
    void init() { QPixmapCache::clear(); }

    void everyKindLooksRight_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QColor>("expected");
        const QRgb green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), red = qRgb(220, 40, 40);
        const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        const QColor middle(128, 128, 128);
        const QByteArray photo = encoded(colourField(), "JPEG");
        const std::array<int, 4> ink{40, 170, 100, 230};

        QTest::newRow("one-bit PNG, shown larger")
            << "larger.png" << encoded(checker(QImage::Format_Mono, green, green), "PNG")
            << kSource * 2 << QColor(green);
        QTest::newRow("one-bit PNG")
            << "mono.png" << encoded(checker(QImage::Format_Mono, green, blue), "PNG") << kThumbnail
            << mean(green, blue);
        QTest::newRow("one-bit TIFF")
            << "fax.tif" << encoded(checker(QImage::Format_Mono, black, white), "TIFF")
            << kThumbnail << mean(black, white);
        QTest::newRow("one-bit BMP")
            << "mono.bmp" << encoded(checker(QImage::Format_Mono, red, blue), "BMP") << kThumbnail
            << mean(red, blue);
        QTest::newRow("palette PNG")
            << "palette.png"
            << encoded(colourField().convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither),
                       "PNG")
            << kThumbnail << middle;
        QTest::newRow("GIF") << "mono.gif" << gif(checker(QImage::Format_Mono, red, blue))
                             << kThumbnail << mean(red, blue);
        QTest::newRow("greyscale PNG")
            << "grey.png" << encoded(checker(QImage::Format_Grayscale8, black, white), "PNG")
            << kThumbnail << mean(black, white);
        QTest::newRow("true colour PNG")
            << "rgb.png" << encoded(checker(QImage::Format_RGB32, red, blue), "PNG") << kThumbnail
            << mean(red, blue);
        QTest::newRow("true colour PNG, half transparent")
            << "alpha.png" << encoded(checker(QImage::Format_ARGB32, green, 0), "PNG") << kThumbnail
            << QColor(0, 255, 0, 128);
        QTest::newRow("JPEG") << "photo.jpg" << photo << kThumbnail << middle;
        // Shown as far as it decodes, as browsers show it: the coin stays recognisable.
        QTest::newRow("truncated JPEG")
            << "cut.jpg" << photo.left(photo.size() * 2 / 3) << kThumbnail << middle;
        QTest::newRow("CMYK JPEG")
            << "print.jpg" << cmykJpeg() << kThumbnail
            << QColor(ink[3] * ink[0] / 255, ink[3] * ink[1] / 255, ink[3] * ink[2] / 255);
    }

    void everyKindLooksRight() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, shown);
        QFETCH(QColor, expected);
        const QString path = write(fileName, bytes);
        QVERIFY(!bytes.isEmpty() && !path.isEmpty());
        const ui::LoadedPicture picture = ui::loadPictureScaled(path, shown, 1);
        QVERIFY(picture.status == ui::PictureStatus::Loaded);
        QCOMPARE(picture.pixmap.size(), shown);
        const int deviation = centreDeviation(picture.pixmap, expected);
        QVERIFY2(deviation <= 12, qPrintable(QStringLiteral("off by %1").arg(deviation)));
    }

    void fileGoneAfterPreloadIsNotAPicture() {
        const QString path = write("gone.png", encoded(colourField(), "PNG"));
        ui::preloadPicturesScaled({path}, kThumbnail, 1);
        QVERIFY(QFile::remove(path));
        QVERIFY(ui::loadPictureScaled(path, kThumbnail, 1).status ==
                ui::PictureStatus::NotAPicture);
    }
};

QTEST_MAIN(PictureLoadingTest)
#include "picture_loading_test.moc"
