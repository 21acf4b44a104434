#include "ui/common/HeifPicture.h"

#include <QColorSpace>
#include <QFile>
#include <QThread>
#include <libheif/heif.h>
#include <memory>

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
    std::unique_ptr<heif_decoding_options, decltype(&heif_decoding_options_free)> options(
        heif_decoding_options_alloc(), heif_decoding_options_free);
    options->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    const heif_error error = heif_decode_image(
        c.handle.get(), &decoded, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    if (error.code != heif_error_Ok) {
        return {QImage(), problemOf(error)};
    }
    int stride = 0;
    uint8_t* data = heif_image_get_plane(decoded, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    const QImage::Format format = !alpha ? QImage::Format_RGB888
                                  : heif_image_handle_is_premultiplied_alpha(c.handle.get())
                                      ? QImage::Format_RGBA8888_Premultiplied
                                      : QImage::Format_RGBA8888;
    // The image reads libheif's pixels in place and releases them with itself.
    QImage image(
        data, width, height, stride, format,
        [](void* picture) { heif_image_release(static_cast<heif_image*>(picture)); }, decoded);
    if (image.isNull()) {
        heif_image_release(decoded);
        return {QImage(), QStringLiteral("the program cannot decode this kind of HEIF picture")};
    }
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
