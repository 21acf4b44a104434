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

// libheif 1.15 turns Y'CbCr into RGB on one core, a third of a phone photo's
// decoding: here the rows are shared between the cores. 8-bit 4:2:0 only.
QImage rgbFrom420(const heif_image* yuv) {
    const auto weights = lumaWeights(yuv);
    if (!weights || heif_image_get_chroma_format(yuv) != heif_chroma_420 ||
        heif_image_get_bits_per_pixel_range(yuv, heif_channel_Y) != 8) {
        return {};
    }
    const auto [kr, kb] = *weights;
    const double kg = 1 - kr - kb;
    const bool full = fullRange(yuv);
    const double yScale = full ? 1 : 255.0 / 219, cScale = full ? 1 : 255.0 / 224;
    const int yOffset = full ? 0 : 16;
    // 16.16 fixed point, one table per term.
    std::array<int, 256> luma{}, crRed{}, cbGreen{}, crGreen{}, cbBlue{};
    for (int v = 0; v < 256; ++v) {
        const auto fixed = [](double x) { return static_cast<int>(std::lround(x * 65536)); };
        const double c = (v - 128) * cScale;
        luma[v] = fixed((v - yOffset) * yScale) + 32768;
        crRed[v] = fixed(2 * (1 - kr) * c);
        cbGreen[v] = fixed(2 * kb * (1 - kb) / kg * c);
        crGreen[v] = fixed(2 * kr * (1 - kr) / kg * c);
        cbBlue[v] = fixed(2 * (1 - kb) * c);
    }
    int yStride = 0, cbStride = 0, crStride = 0;
    const uint8_t* y = heif_image_get_plane_readonly(yuv, heif_channel_Y, &yStride);
    const uint8_t* cb = heif_image_get_plane_readonly(yuv, heif_channel_Cb, &cbStride);
    const uint8_t* cr = heif_image_get_plane_readonly(yuv, heif_channel_Cr, &crStride);
    const int width = heif_image_get_width(yuv, heif_channel_Y);
    const int height = heif_image_get_height(yuv, heif_channel_Y);
    QImage rgb(width, height, QImage::Format_RGB888);
    if (rgb.isNull() || y == nullptr || cb == nullptr || cr == nullptr) {
        return {};
    }
    const auto clamped = [](int v) { return static_cast<uchar>(std::clamp(v >> 16, 0, 255)); };
    const auto rows = [&](int from, int to) {
        for (int row = from; row < to; ++row) {
            const uint8_t* lumaLine = y + qsizetype(row) * yStride;
            const uint8_t* cbLine = cb + qsizetype(row / 2) * cbStride;
            const uint8_t* crLine = cr + qsizetype(row / 2) * crStride;
            uchar* out = rgb.scanLine(row);
            for (int x = 0; x < width; ++x, out += 3) {
                const int l = luma[lumaLine[x]];
                const uint8_t b = cbLine[x / 2], r = crLine[x / 2];
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
                 heif_error& error) {
    std::unique_ptr<heif_decoding_options, decltype(&heif_decoding_options_free)> options(
        heif_decoding_options_alloc(), heif_decoding_options_free);
    options->convert_hdr_to_8bit = 1;
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
    if (!alpha) {
        const HeifImage yuv = decode(c.handle.get(), heif_colorspace_YCbCr, heif_chroma_420, error);
        if (!yuv) {
            return {QImage(), problemOf(error)};
        }
        QImage image = rgbFrom420(yuv.get());
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
    decoded.release();
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
