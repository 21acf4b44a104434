// A HEIC photo laid out as phones store theirs: the picture cut into 512 x 512
// tiles, each coded on its own (which lets a reader decode them side by side),
// joined by a grid item that is the primary picture and turned by an irot box.
// libheif 1.15 codes the tiles; the file around them is written here.
#include "Benchmarks.h"

#include <QFile>
#include <QImage>
#include <QtEndian>
#include <cstring>
#include <libheif/heif.h>

namespace {

constexpr int kTile = 512;

QByteArray be(quint32 value, int bytes) {
    QByteArray out;
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out += char((value >> shift) & 0xff);
    }
    return out;
}

QByteArray box(const char* type, const QByteArray& payload) {
    return be(quint32(8 + payload.size()), 4) + QByteArray(type, 4) + payload;
}

QByteArray fullBox(const char* type, int version, int flags, const QByteArray& payload) {
    return box(type, be(quint32(version), 1) + be(quint32(flags), 3) + payload);
}

// The tile coded alone by libheif: its hvcC box and its coded data.
bool codeTile(const QImage& tile, QByteArray& hvcC, QByteArray& data) {
    const QImage rgb = tile.convertToFormat(QImage::Format_RGB888);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* picture = nullptr;
    QByteArray file;
    bool ok =
        heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code ==
            heif_error_Ok &&
        heif_image_create(kTile, kTile, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &picture)
                .code == heif_error_Ok &&
        heif_image_add_plane(picture, heif_channel_interleaved, kTile, kTile, 8).code ==
            heif_error_Ok;
    if (ok) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
        for (int y = 0; y < kTile; ++y) {
            std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), kTile * 3);
        }
        // A 12-megapixel photo then takes about 2.5 MB, as a phone's does.
        heif_encoder_set_lossy_quality(encoder, 55);
        heif_encoder_set_parameter_string(encoder, "preset", "ultrafast");
        heif_writer writer{1, [](heif_context*, const void* bytes, size_t size, void* to) {
                               static_cast<QByteArray*>(to)->append(static_cast<const char*>(bytes),
                                                                    qsizetype(size));
                               return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
                           }};
        ok = heif_context_encode_image(context, picture, encoder, nullptr, nullptr).code ==
                 heif_error_Ok &&
             heif_context_write(context, &writer, &file).code == heif_error_Ok;
    }
    if (picture != nullptr) {
        heif_image_release(picture);
    }
    if (encoder != nullptr) {
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    const qsizetype at = file.indexOf("hvcC");
    hvcC = at >= 4 ? file.mid(at - 4, qFromBigEndian<quint32>(file.constData() + at - 4)) : "";
    // The top-level boxes: the last one is mdat, the tile's data alone.
    for (qsizetype p = 0; ok && p + 8 <= file.size();) {
        const auto size = qsizetype(qFromBigEndian<quint32>(file.constData() + p));
        if (file.mid(p + 4, 4) == "mdat") {
            data = file.mid(p + 8, size - 8);
        }
        p += std::max<qsizetype>(size, 8);
    }
    return ok && !hvcC.isEmpty() && !data.isEmpty();
}

QByteArray meta(const QByteArray& hvcC, const QList<QByteArray>& tiles, QSize size, int rows,
                int columns, int anticlockwiseTurns, quint32 dataStart) {
    const auto count = quint32(tiles.size());
    const quint32 grid = count + 1;
    QByteArray infe, references, associations, locations;
    for (quint32 id = 1; id <= count; ++id) {
        infe += fullBox("infe", 2, 1, be(id, 2) + be(0, 2) + "hvc1" + QByteArray(1, 0));
        references += be(id, 2);
        associations += be(id, 2) + be(2, 1) + be(0x80 | 1, 1) + be(2, 1);
        locations += be(id, 2) + be(0, 2) + be(0, 2) + be(1, 2) + be(dataStart, 4) +
                     be(quint32(tiles[id - 1].size()), 4);
        dataStart += quint32(tiles[id - 1].size());
    }
    infe += fullBox("infe", 2, 0, be(grid, 2) + be(0, 2) + "grid" + QByteArray(1, 0));
    associations += be(grid, 2) + be(2, 1) + be(3, 1) + be(0x80 | 4, 1);
    locations += be(grid, 2) + be(1, 2) + be(0, 2) + be(1, 2) + be(0, 4) + be(8, 4);
    const QByteArray ipco =
        box("ipco", hvcC + fullBox("ispe", 0, 0, be(kTile, 4) + be(kTile, 4)) +
                        fullBox("ispe", 0, 0,
                                be(quint32(size.width()), 4) + be(quint32(size.height()), 4)) +
                        box("irot", be(quint32(anticlockwiseTurns & 3), 1)));
    return fullBox(
        "meta", 0, 0,
        fullBox("hdlr", 0, 0, be(0, 4) + "pict" + QByteArray(13, 0)) +
            fullBox("pitm", 0, 0, be(grid, 2)) + fullBox("iinf", 0, 0, be(grid, 2) + infe) +
            fullBox("iref", 0, 0, box("dimg", be(grid, 2) + be(count, 2) + references)) +
            box("iprp", ipco + fullBox("ipma", 0, 0, be(grid, 4) + associations)) +
            box("idat", be(0, 2) + be(quint32(rows - 1), 1) + be(quint32(columns - 1), 1) +
                            be(quint32(size.width()), 2) + be(quint32(size.height()), 2)) +
            fullBox("iloc", 1, 0, be(0x44, 1) + be(0, 1) + be(grid, 2) + locations));
}

} // namespace

bool bench::writePhoneHeic(const QString& path, const QImage& image, int anticlockwiseTurns) {
    if (!heif_have_encoder_for_format(heif_compression_HEVC)) {
        return false;
    }
    const int columns = (image.width() + kTile - 1) / kTile;
    const int rows = (image.height() + kTile - 1) / kTile;
    QByteArray hvcC;
    QList<QByteArray> tiles;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            QByteArray data;
            if (!codeTile(image.copy(c * kTile, r * kTile, kTile, kTile), hvcC, data)) {
                return false;
            }
            tiles << data;
        }
    }
    const QByteArray ftyp = box("ftyp", QByteArray("heic") + be(0, 4) + "mif1heicmiaf");
    const auto start = [&](const QByteArray& m) { return quint32(ftyp.size() + m.size() + 8); };
    const QByteArray sized = meta(hvcC, tiles, image.size(), rows, columns, anticlockwiseTurns, 0);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(
               ftyp +
               meta(hvcC, tiles, image.size(), rows, columns, anticlockwiseTurns, start(sized)) +
               box("mdat", tiles.join())) > 0;
}
