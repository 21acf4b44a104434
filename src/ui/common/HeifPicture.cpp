#include "ui/common/HeifPicture.h"

#include <QColorSpace>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <array>
#include <cmath>
#include <libheif/heif.h>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace ui {
namespace {

// As the other readers: a header claiming more is refused unread.
constexpr int kMaxSide = 16384;

void initialiseOnce() {
    static const bool done = [] {
        heif_init(nullptr);
        return true;
    }();
    Q_UNUSED(done);
}

QString problemOf(const heif_error& error) {
    switch (error.code) {
    case heif_error_Input_does_not_exist:
        return QStringLiteral("the file is no longer there");
    case heif_error_Invalid_input:
        return QStringLiteral("the picture in it is damaged or incomplete");
    case heif_error_Unsupported_filetype:
        return QStringLiteral("it is not a picture the program can read");
    case heif_error_Memory_allocation_error:
        return QStringLiteral("there is not enough memory for it");
    default:
        return QStringLiteral("the program cannot decode this kind of HEIF picture");
    }
}

struct Context {
    std::unique_ptr<heif_context, decltype(&heif_context_free)> context{nullptr, heif_context_free};
    std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> handle{
        nullptr, heif_image_handle_release};
    heif_error error{heif_error_Ok, heif_suberror_Unspecified, ""};
};

// The file's primary picture, its data not yet decoded.
Context openPrimary(const QString& nativePath) {
    initialiseOnce();
    Context c;
    c.context.reset(heif_context_alloc());
    heif_context_set_maximum_image_size_limit(c.context.get(), kMaxSide);
    heif_context_set_max_decoding_threads(c.context.get(), QThread::idealThreadCount());
    c.error = heif_context_read_from_file(c.context.get(),
                                          QFile::encodeName(nativePath).constData(), nullptr);
    heif_image_handle* handle = nullptr;
    if (c.error.code == heif_error_Ok) {
        c.error = heif_context_get_primary_image_handle(c.context.get(), &handle);
    }
    c.handle.reset(handle);
    return c;
}

using HeifImage = std::unique_ptr<heif_image, decltype(&heif_image_release)>;

// The weights of red and blue in luma, by the matrix a picture declares.
std::optional<std::pair<double, double>> lumaWeights(const heif_image* picture) {
    heif_color_profile_nclx* nclx = nullptr;
    // Without a profile libheif takes BT.601 at full range, and so do we.
    heif_matrix_coefficients matrix = heif_matrix_coefficients_ITU_R_BT_601_6;
    if (heif_image_get_nclx_color_profile(picture, &nclx).code == heif_error_Ok) {
        matrix = nclx->matrix_coefficients;
        heif_nclx_color_profile_free(nclx);
    }
    switch (matrix) {
    case heif_matrix_coefficients_ITU_R_BT_709_5:
        return std::pair(0.2126, 0.0722);
    case heif_matrix_coefficients_ITU_R_BT_470_6_System_B_G:
    case heif_matrix_coefficients_ITU_R_BT_601_6:
    case heif_matrix_coefficients_unspecified:
        return std::pair(0.299, 0.114);
    case heif_matrix_coefficients_ITU_R_BT_2020_2_non_constant_luminance:
        return std::pair(0.2627, 0.0593);
    default:
        return std::nullopt;
    }
}

bool fullRange(const heif_image* picture) {
    heif_color_profile_nclx* nclx = nullptr;
    if (heif_image_get_nclx_color_profile(picture, &nclx).code != heif_error_Ok) {
        return true;
    }
    const bool full = nclx->full_range_flag != 0;
    heif_nclx_color_profile_free(nclx);
    return full;
}

quint32 bigEndian(const QByteArray& bytes, qsizetype at, int size) {
    quint32 value = 0;
    for (int i = 0; i < size; ++i) {
        value = value << 8 | static_cast<quint8>(bytes.at(at + i));
    }
    return value;
}

// The boxes inside `bytes` from `from` to `to`, as type and contents.
QList<std::pair<QByteArray, QByteArray>> boxesIn(const QByteArray& bytes, qsizetype from,
                                                 qsizetype to) {
    QList<std::pair<QByteArray, QByteArray>> boxes;
    while (from + 8 <= to) {
        const qsizetype size = bigEndian(bytes, from, 4);
        if (size < 8 || from + size > to) {
            break;
        }
        boxes.append({bytes.mid(from + 4, 4), bytes.mid(from + 8, size - 8)});
        from += size;
    }
    return boxes;
}

// How many quarter turns anticlockwise the primary picture's boxes ask for,
// read from the file's meta box; none when it asks for anything besides turns
// (a mirror, a crop), which libheif then applies itself. libheif 1.15 turns
// a picture on one core, half as long again as decoding its tiles.
std::optional<int> quarterTurns(const QString& nativePath, heif_item_id primary) {
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray head = file.read(16);
    if (head.size() < 16 || head.mid(4, 4) != "ftyp" || !file.seek(bigEndian(head, 0, 4))) {
        return std::nullopt;
    }
    const QByteArray metaHeader = file.read(8);
    const qsizetype metaSize = metaHeader.size() == 8 ? bigEndian(metaHeader, 0, 4) : 0;
    if (metaHeader.mid(4, 4) != "meta" || metaSize < 12 || metaSize > (qsizetype(16) << 20)) {
        return std::nullopt;
    }
    const QByteArray meta = file.read(metaSize - 8);
    QList<std::pair<QByteArray, QByteArray>> properties;
    QByteArray ipma;
    for (const auto& [type, body] : boxesIn(meta, 4, meta.size())) {
        if (type == "iprp") {
            for (const auto& [inner, content] : boxesIn(body, 0, body.size())) {
                if (inner == "ipco") {
                    properties = boxesIn(content, 0, content.size());
                } else if (inner == "ipma") {
                    ipma = content;
                }
            }
        }
    }
    if (ipma.size() < 8) {
        return std::nullopt;
    }
    const int version = static_cast<quint8>(ipma.at(0));
    const bool wideIndex = (bigEndian(ipma, 0, 4) & 1) != 0;
    const int idSize = version < 1 ? 2 : 4;
    qsizetype at = 8;
    for (quint32 entry = 0, count = bigEndian(ipma, 4, 4); entry < count; ++entry) {
        if (at + idSize + 1 > ipma.size()) {
            return std::nullopt;
        }
        const quint32 item = bigEndian(ipma, at, idSize);
        const int associations = static_cast<quint8>(ipma.at(at + idSize));
        at += idSize + 1;
        int turns = 0;
        for (int a = 0; a < associations; ++a, at += wideIndex ? 2 : 1) {
            if (at + (wideIndex ? 2 : 1) > ipma.size()) {
                return std::nullopt;
            }
            const quint32 index =
                bigEndian(ipma, at, wideIndex ? 2 : 1) & (wideIndex ? 0x7fff : 0x7f);
            if (item != primary || index < 1 || index > quint32(properties.size())) {
                continue;
            }
            const auto& [type, body] = properties.at(index - 1);
            if (type == "irot" && !body.isEmpty()) {
                turns += static_cast<quint8>(body.at(0)) & 3;
            } else if (type == "imir" || type == "clap") {
                return std::nullopt;
            }
        }
        if (item == primary) {
            return turns % 4;
        }
    }
    return 0;
}

// libheif 1.15 turns Y'CbCr into RGB on one core, a third of a phone photo's
// decoding: here the rows are shared between the cores, each pixel written
// where `turns` quarter turns anticlockwise put it. 8-bit 4:2:0 only.
QImage rgbFrom420(const heif_image* yuv, int turns) {
    const auto weights = lumaWeights(yuv);
    if (!weights || heif_image_get_chroma_format(yuv) != heif_chroma_420 ||
        heif_image_get_bits_per_pixel_range(yuv, heif_channel_Y) != 8) {
        return {};
    }
    const auto [kr, kb] = *weights;
    const double kg = 1 - kr - kb;
    const bool full = fullRange(yuv);
    const double yScale = full ? 1 : 255.0 / 219;
    const double cScale = full ? 1 : 255.0 / 224;
    const int yOffset = full ? 0 : 16;
    // 16.16 fixed point, one table per term.
    std::array<int, 256> luma{};
    std::array<int, 256> crRed{};
    std::array<int, 256> cbGreen{};
    std::array<int, 256> crGreen{};
    std::array<int, 256> cbBlue{};
    for (int v = 0; v < 256; ++v) {
        const auto fixed = [](double x) { return static_cast<int>(std::lround(x * 65536)); };
        const double c = (v - 128) * cScale;
        luma[v] = fixed((v - yOffset) * yScale) + 32768;
        crRed[v] = fixed(2 * (1 - kr) * c);
        cbGreen[v] = fixed(2 * kb * (1 - kb) / kg * c);
        crGreen[v] = fixed(2 * kr * (1 - kr) / kg * c);
        cbBlue[v] = fixed(2 * (1 - kb) * c);
    }
    int yStride = 0;
    int cbStride = 0;
    int crStride = 0;
    const uint8_t* y = heif_image_get_plane_readonly(yuv, heif_channel_Y, &yStride);
    const uint8_t* cb = heif_image_get_plane_readonly(yuv, heif_channel_Cb, &cbStride);
    const uint8_t* cr = heif_image_get_plane_readonly(yuv, heif_channel_Cr, &crStride);
    const int width = heif_image_get_width(yuv, heif_channel_Y);
    const int height = heif_image_get_height(yuv, heif_channel_Y);
    QImage rgb = turns % 2 ? QImage(height, width, QImage::Format_RGB888)
                           : QImage(width, height, QImage::Format_RGB888);
    if (rgb.isNull() || y == nullptr || cb == nullptr || cr == nullptr) {
        return {};
    }
    const qsizetype line = rgb.bytesPerLine();
    // Where source pixel (0, row) goes, and how far the next one along the row.
    const auto start = [&](int row) -> uchar* {
        switch (turns) {
        case 1:
            return rgb.scanLine(width - 1) + qsizetype(row) * 3;
        case 2:
            return rgb.scanLine(height - 1 - row) + qsizetype(width - 1) * 3;
        case 3:
            return rgb.scanLine(0) + qsizetype(height - 1 - row) * 3;
        default:
            return rgb.scanLine(row);
        }
    };
    const qsizetype step = std::array<qsizetype, 4>{3, -line, -3, line}[std::size_t(turns)];
    const auto clamped = [](int v) { return static_cast<uchar>(std::clamp(v >> 16, 0, 255)); };
    const auto rows = [&](int from, int to) {
        for (int row = from; row < to; ++row) {
            const uint8_t* lumaLine = y + qsizetype(row) * yStride;
            const uint8_t* cbLine = cb + qsizetype(row / 2) * cbStride;
            const uint8_t* crLine = cr + qsizetype(row / 2) * crStride;
            uchar* out = start(row);
            for (int x = 0; x < width; ++x, out += step) {
                const int l = luma[lumaLine[x]];
                const uint8_t b = cbLine[x / 2];
                const uint8_t r = crLine[x / 2];
                out[0] = clamped(l + crRed[r]);
                out[1] = clamped(l - cbGreen[b] - crGreen[r]);
                out[2] = clamped(l + cbBlue[b]);
            }
        }
    };
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 8);
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        helpers.emplace_back(rows, height * t / threads, height * (t + 1) / threads);
    }
    rows(0, height / threads);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    return rgb;
}

HeifImage decode(const heif_image_handle* handle, heif_colorspace space, heif_chroma chroma,
                 heif_error& error, bool untransformed = false) {
    std::unique_ptr<heif_decoding_options, decltype(&heif_decoding_options_free)> options(
        heif_decoding_options_alloc(), heif_decoding_options_free);
    options->convert_hdr_to_8bit = 1;
    options->ignore_transformations = untransformed ? 1 : 0;
    heif_image* decoded = nullptr;
    error = heif_decode_image(handle, &decoded, space, chroma, options.get());
    return {error.code == heif_error_Ok ? decoded : nullptr, heif_image_release};
}

QColorSpace colourSpaceOf(const heif_image_handle* handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) {
        return {};
    }
    QByteArray icc(static_cast<qsizetype>(heif_image_handle_get_raw_color_profile_size(handle)),
                   Qt::Uninitialized);
    if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok) {
        return {};
    }
    return QColorSpace::fromIccProfile(icc);
}

} // namespace

bool isHeif(const QByteArray& head) {
    initialiseOnce();
    return head.size() >= 12 &&
           heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()),
                               static_cast<int>(head.size())) != heif_filetype_no;
}

bool isHeifFile(const QString& nativePath) {
    QFile file(nativePath);
    return file.open(QIODevice::ReadOnly) && isHeif(file.read(64));
}

QStringList heifPatterns() {
    initialiseOnce();
    QStringList patterns;
    if (heif_have_decoder_for_format(heif_compression_HEVC)) {
        patterns << QStringLiteral("*.HEIC") << QStringLiteral("*.HEIF");
    }
    if (heif_have_decoder_for_format(heif_compression_AV1)) {
        patterns << QStringLiteral("*.AVIF");
    }
    return patterns;
}

HeifPicture readHeif(const QString& nativePath, qint64 maxDecodedBytes) {
    const Context c = openPrimary(nativePath);
    if (c.error.code != heif_error_Ok) {
        return {QImage(), problemOf(c.error)};
    }
    const bool alpha = heif_image_handle_has_alpha_channel(c.handle.get()) != 0;
    if (qint64(heif_image_handle_get_width(c.handle.get())) *
            heif_image_handle_get_height(c.handle.get()) * (alpha ? 4 : 3) >
        maxDecodedBytes) {
        return {QImage(), QStringLiteral("it is too large to show")};
    }
    heif_error error{};
    heif_item_id primary = 0;
    const std::optional<int> turns =
        heif_context_get_primary_image_ID(c.context.get(), &primary).code == heif_error_Ok
            ? quarterTurns(nativePath, primary)
            : std::nullopt;
    if (!alpha) {
        const HeifImage yuv = decode(c.handle.get(), heif_colorspace_YCbCr, heif_chroma_420, error,
                                     turns.has_value());
        if (!yuv) {
            return {QImage(), problemOf(error)};
        }
        QImage image = rgbFrom420(yuv.get(), turns.value_or(0));
        if (!image.isNull()) {
            image.setColorSpace(colourSpaceOf(c.handle.get()));
            return {image, {}};
        }
    }
    HeifImage decoded =
        decode(c.handle.get(), heif_colorspace_RGB,
               alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, error);
    if (!decoded) {
        return {QImage(), problemOf(error)};
    }
    int stride = 0;
    uint8_t* data = heif_image_get_plane(decoded.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    const QImage::Format format = !alpha ? QImage::Format_RGB888
                                  : heif_image_handle_is_premultiplied_alpha(c.handle.get())
                                      ? QImage::Format_RGBA8888_Premultiplied
                                      : QImage::Format_RGBA8888;
    // The image reads libheif's pixels in place and releases them with itself.
    QImage image(
        data, width, height, stride, format,
        [](void* picture) { heif_image_release(static_cast<heif_image*>(picture)); },
        decoded.get());
    if (image.isNull()) {
        return {QImage(), QStringLiteral("the program cannot decode this kind of HEIF picture")};
    }
    // The image owns the pixels now.
    static_cast<void>(decoded.release());
    image.setColorSpace(colourSpaceOf(c.handle.get()));
    return {image, {}};
}

QSize heifSize(const QString& nativePath) {
    const Context c = openPrimary(nativePath);
    if (c.error.code != heif_error_Ok) {
        return {};
    }
    return {heif_image_handle_get_width(c.handle.get()),
            heif_image_handle_get_height(c.handle.get())};
}

} // namespace ui
