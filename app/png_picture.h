// Decoding the About window's PNG pictures with libpng's simplified (png_image) API.
#pragma once

#include <QByteArrayView>
#include <QImage>

namespace corvelle::app {

// Pictures wider or taller than this are refused rather than allocated.
inline constexpr int kMaxPictureSide = 8192;

// The picture as 8-bit RGBA (QImage::Format_RGBA8888, not premultiplied). A null image for anything
// libpng cannot read: empty or truncated data, a bad checksum, a picture larger than kMaxPictureSide.
[[nodiscard]] QImage decodePng(QByteArrayView bytes);

}  // namespace corvelle::app
