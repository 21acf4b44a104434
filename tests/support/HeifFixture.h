#pragma once

#include <QFile>
#include <QImage>
#include <QString>
#include <cstring>
#include <libheif/heif.h>

// Writes `image` as a HEIC file whose boxes turn it by `orientation` (the EXIF
// numbers, 6 = a quarter turn clockwise) when shown, as a phone stores an
// upright photo. False where libheif has no HEVC encoder.
inline bool writeHeic(const QString& path, const QImage& image, int orientation = 1) {
    if (!heif_have_encoder_for_format(heif_compression_HEVC)) {
        return false;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* picture = nullptr;
    heif_encoding_options* options = heif_encoding_options_alloc();
    bool ok = heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code ==
                  heif_error_Ok &&
              heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                                heif_chroma_interleaved_RGB, &picture)
                      .code == heif_error_Ok &&
              heif_image_add_plane(picture, heif_channel_interleaved, rgb.width(), rgb.height(), 8)
                      .code == heif_error_Ok;
    if (ok) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y) {
            std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y),
                        std::size_t(rgb.width()) * 3);
        }
        heif_encoder_set_lossy_quality(encoder, 80);
        heif_encoder_set_parameter_string(encoder, "preset", "ultrafast");
        options->image_orientation = static_cast<heif_orientation>(orientation);
        ok = heif_context_encode_image(context, picture, encoder, options, nullptr).code ==
                 heif_error_Ok &&
             heif_context_write_to_file(context, QFile::encodeName(path).constData()).code ==
                 heif_error_Ok;
    }
    heif_encoding_options_free(options);
    if (picture != nullptr) {
        heif_image_release(picture);
    }
    if (encoder != nullptr) {
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    return ok;
}
