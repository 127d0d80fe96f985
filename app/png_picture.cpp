// PNG decoding through png_image: libpng reports errors to it as values, so no longjmp crosses C++ code.
#include "app/png_picture.h"

#include <png.h>

namespace corvelle::app {

namespace {

// Owns the png_image's read state; png_image_free is safe on an image that never started reading.
class PngReader {
public:
    PngReader() { m_image.version = PNG_IMAGE_VERSION; }
    ~PngReader() { png_image_free(&m_image); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    [[nodiscard]] png_image& image() { return m_image; }

private:
    png_image m_image{};
};

}  // namespace

QImage decodePng(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    PngReader reader;
    png_image& png = reader.image();
    if (!png_image_begin_read_from_memory(&png, bytes.data(), static_cast<size_t>(bytes.size())))
        return {};
    if (png.width == 0 || png.height == 0 || png.width > kMaxPictureSide || png.height > kMaxPictureSide)
        return {};
    png.format = PNG_FORMAT_RGBA;
    QImage picture(static_cast<int>(png.width), static_cast<int>(png.height), QImage::Format_RGBA8888);
    if (picture.isNull())
        return {};
    if (!png_image_finish_read(&png, nullptr, picture.bits(), static_cast<png_int_32>(picture.bytesPerLine()),
                               nullptr))
        return {};
    return picture;
}

}  // namespace corvelle::app
