#include "ui/common/PictureLoading.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <QtEndian>
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
    QImage image(kSource, format);
    const bool indexed = format == QImage::Format_Mono || format == QImage::Format_Indexed8;
    if (indexed) {
        image.setColorTable({a, b});
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int odd = (x + y) & 1;
            if (indexed) {
                image.setPixel(x, y, odd);
            } else {
                image.setPixelColor(x, y, QColor::fromRgba(odd ? b : a));
            }
        }
    }
    return image;
}

// Red across, green down: far more colours than a palette holds.
QImage colourField() {
    QImage image(kSource, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(
                x, y, qRgb(x * 255 / (kSource.width() - 1), y * 255 / (kSource.height() - 1), 128));
        }
    }
    return image;
}

// Literal codes only, with a clear code before every pair so that codes stay
// three bits wide; Qt writes no GIF.
QByteArray gif(const QImage& twoColours) {
    const auto word = [](int v) { return bytes({v & 0xff, v >> 8}); };
    const int w = twoColours.width();
    const int h = twoColours.height();
    QByteArray out = "GIF89a" + word(w) + word(h) + bytes({0x80, 0, 0});
    for (const QRgb c : twoColours.colorTable()) {
        out += bytes({qRed(c), qGreen(c), qBlue(c)});
    }
    out += ',' + word(0) + word(0) + word(w) + word(h) + bytes({0, 2});
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    const auto code = [&](int c) {
        bits |= quint32(c) << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8) {
            data += char(bits & 0xff);
        }
    };
    for (int n = 0; n < w * h; ++n) {
        if (n % 2 == 0) {
            code(4);
        }
        code(twoColours.pixelIndex(n % w, n / w));
    }
    code(5);
    data += char(bits & 0xff);
    for (qsizetype i = 0; i < data.size(); i += 255) {
        out += char(std::min<qsizetype>(255, data.size() - i)) + data.mid(i, 255);
    }
    return out + bytes({0, ';'});
}

// One 8 x 8 block of a flat colour in the inverted CMYK that print software
// writes; Qt writes no CMYK. The block is its DC coefficient alone: four-bit
// codes for the DC sizes, end-of-block as the one-bit code 0.
QByteArray cmykJpeg(const std::array<int, 4>& stored) {
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
    quint64 bits = 0;
    int count = 0;
    for (const int value : stored) {
        const int dc = 8 * (value - 128);
        const int size = int(std::bit_width(uint(std::abs(dc))));
        bits = ((bits << 4 | uint(size)) << size | uint(dc < 0 ? dc + (1 << size) - 1 : dc)) << 1;
        count += 5 + size;
    }
    const int pad = (8 - count % 8) % 8; // with one bits
    bits = bits << pad | ((1u << pad) - 1);
    QByteArray entropy;
    for (int shift = count + pad - 8; shift >= 0; shift -= 8) {
        entropy += char(bits >> shift);
        if (uchar(entropy.back()) == 0xff) {
            entropy += '\0';
        }
    }
    return bytes({0xff, 0xd8}) + segment(0xee, QByteArray("Adobe\0\x64\0\0\0\0\0", 12)) +
           segment(0xdb, QByteArray(1, 0) + QByteArray(64, 1)) + segment(0xc0, frame) +
           segment(0xc4, dcTable + bytes({0x10, 1}) + QByteArray(15, 0) + bytes({0})) +
           segment(0xda, scan + bytes({0, 63, 0})) + entropy + bytes({0xff, 0xd9});
}

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char ch : bytes) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k) {
            crc = crc & 1 ? (crc >> 1) ^ 0xedb88320u : crc >> 1;
        }
    }
    return ~crc;
}

// A valid PNG header claiming 30000 x 30000 pixels, over one pixel of data.
QByteArray hugePng() {
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(Qt::gray);
    QByteArray png = encoded(pixel, "PNG");
    qToBigEndian<quint32>(30000, png.data() + 16);
    qToBigEndian<quint32>(30000, png.data() + 20);
    qToBigEndian<quint32>(crc32(png.mid(12, 17)), png.data() + 29);
    return png;
}

QColor mean(QRgb a, QRgb b) {
    return QColor((qRed(a) + qRed(b) + 1) / 2, (qGreen(a) + qGreen(b) + 1) / 2,
                  (qBlue(a) + qBlue(b) + 1) / 2);
}

// The largest difference in any channel over the 5 x 5 pixels at the centre.
int centreDeviation(const QPixmap& pixmap, const QColor& expected) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = image.height() / 2 - 2; y <= image.height() / 2 + 2; ++y) {
        for (int x = image.width() / 2 - 2; x <= image.width() / 2 + 2; ++x) {
            const QColor c = image.pixelColor(x, y);
            worst = std::max(
                {worst, std::abs(c.red() - expected.red()), std::abs(c.green() - expected.green()),
                 std::abs(c.blue() - expected.blue()), std::abs(c.alpha() - expected.alpha())});
        }
    }
    return worst;
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
        const QRgb green = qRgb(0, 255, 0);
        const QRgb blue = qRgb(0, 0, 255);
        const QRgb red = qRgb(220, 40, 40);
        const QRgb black = qRgb(0, 0, 0);
        const QRgb white = qRgb(255, 255, 255);
        const QImage palette =
            colourField().convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
        const QColor middle(128, 128, 128);
        const std::array<int, 4> ink{40, 170, 100, 230};

        QTest::newRow("one-bit PNG, flat")
            << "flat.png" << encoded(checker(QImage::Format_Mono, green, green), "PNG")
            << kThumbnail << QColor(green);
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
            << "palette.png" << encoded(palette, "PNG") << kThumbnail << middle;
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
        QTest::newRow("JPEG") << "photo.jpg" << encoded(colourField(), "JPEG") << kThumbnail
                              << middle;
        QTest::newRow("CMYK JPEG")
            << "print.jpg" << cmykJpeg(ink) << kThumbnail
            << QColor(ink[3] * ink[0] / 255, ink[3] * ink[1] / 255, ink[3] * ink[2] / 255);
    }

    void everyKindLooksRight() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, shown);
        QFETCH(QColor, expected);
        QVERIFY(!bytes.isEmpty());
        const ui::LoadedPicture picture = ui::loadPictureScaled(write(fileName, bytes), shown, 1);
        QVERIFY(picture.status == ui::PictureStatus::Loaded);
        QCOMPARE(picture.pixmap.size(), shown);
        const int deviation = centreDeviation(picture.pixmap, expected);
        QVERIFY2(deviation <= 12, qPrintable(QStringLiteral("off by %1").arg(deviation)));
    }

    void badFiles_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("shown");
        const QByteArray photo = encoded(colourField(), "JPEG");

        QTest::newRow("empty") << "empty.png" << QByteArray() << false;
        QTest::newRow("text named .png")
            << "notes.png" << QByteArray("Obverse: Liberty\n") << false;
        QTest::newRow("HEIC named .jpg")
            << "IMG_0001.jpg" << bytes({0, 0, 0, 12}) + "ftypheic" + QByteArray(4096, 'x') << false;
        QTest::newRow("PNG claiming 30000 x 30000") << "huge.png" << hugePng() << false;
        // Shown as far as it decodes, as browsers show it: the coin stays recognisable.
        QTest::newRow("truncated JPEG") << "cut.jpg" << photo.left(photo.size() * 2 / 3) << true;
        QTest::newRow("accents and CJK in the name")
            << u"Münze 1878 – 硬币.jpg"_qs << photo << true;
    }

    void badFiles() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        const QString path = write(fileName, bytes);
        QVERIFY(!path.isEmpty());
        ui::preloadPicturesScaled({path}, kThumbnail, 1);
        const ui::LoadedPicture picture = ui::loadPictureScaled(path, kThumbnail, 1);
        QCOMPARE(picture.status == ui::PictureStatus::Loaded, shown);
        QCOMPARE(picture.pixmap.isNull(), !shown);
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
