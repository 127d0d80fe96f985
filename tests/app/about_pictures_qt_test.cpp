// The About pictures: embedded as committed, decoded by libpng to their sizes, and broken data refused.
#include "app/about_window.h"
#include "app/png_picture.h"
#include "tests/support/temp_dir.h"

#include <QColor>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <zlib.h>

namespace corvelle::app {
namespace {

QByteArray resource(const char* path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::filesystem::path sourceResource(const char* name)
{
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "resources" / name;
}

std::uint32_t bigEndian(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t value = 0;
    for (qsizetype i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void putBigEndian(QByteArray& bytes, qsizetype at, std::uint32_t value)
{
    for (qsizetype i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i) & 0xFFU);
}

// Rewrites the CRC of the chunk starting at `at`, so a changed chunk is still "valid" to a reader.
void fixChunkCrc(QByteArray& bytes, qsizetype at)
{
    std::uint32_t length = bigEndian(bytes, at);
    auto* data = reinterpret_cast<const Bytef*>(bytes.constData() + at + 4);
    auto crc = static_cast<std::uint32_t>(crc32(0, data, static_cast<uInt>(length + 4)));
    putBigEndian(bytes, at + 8 + static_cast<qsizetype>(length), crc);
}

struct PictureCase {
    const char* name;
    const char* resource;
    const char* file;
    int width;
    int height;
    qsizetype bytes;
};

const PictureCase kPictures[] = {
    {"donation codes", kDonatePictureResource, "about_donate.png", 632, 280, 300965},
    {"badge", kBadgePictureResource, "about_badge.png", 40, 40, 841},
};

TEST(AboutPictures, AreEmbeddedAsCommittedAsEightBitRgbaPng)
{
    for (const PictureCase& c : kPictures) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = resource(c.resource);
        ASSERT_EQ(bytes.size(), c.bytes);
        EXPECT_EQ(bytes.toStdString(), testing::readFileBytes(sourceResource(c.file)));
        ASSERT_TRUE(bytes.startsWith("\x89PNG\r\n\x1a\n"));
        ASSERT_EQ(bytes.mid(12, 4), QByteArray("IHDR"));
        EXPECT_EQ(bigEndian(bytes, 16), static_cast<std::uint32_t>(c.width));
        EXPECT_EQ(bigEndian(bytes, 20), static_cast<std::uint32_t>(c.height));
        EXPECT_EQ(static_cast<int>(bytes[24]), 8) << "bit depth";
        EXPECT_EQ(static_cast<int>(bytes[25]), 6) << "colour type RGBA";
    }
}

TEST(AboutPictures, DecodeThroughLibpngToTheirSizes)
{
    for (const PictureCase& c : kPictures) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = resource(c.resource);
        QImage picture = decodePng(bytes);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), QSize(c.width, c.height));
        EXPECT_EQ(picture.format(), QImage::Format_RGBA8888);
        // Qt's own PNG reader as the reference: libpng must give the very same pixels.
        QImage reference = QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_RGBA8888);
        ASSERT_FALSE(reference.isNull());
        EXPECT_TRUE(picture == reference) << "pixels differ from Qt's PNG reader";
    }
}

TEST(AboutPictures, BadgeIsACircularBlueDisc)
{
    QImage badge = decodePng(resource(kBadgePictureResource));
    ASSERT_FALSE(badge.isNull());
    for (QPoint corner : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 39), QPoint(39, 39)})
        EXPECT_EQ(badge.pixelColor(corner).alpha(), 0) << "corner " << corner.x() << "," << corner.y();
    QColor rim = badge.pixelColor(20, 3);
    EXPECT_EQ(rim.alpha(), 255);
    EXPECT_GT(rim.blue(), rim.red() + 80);
    EXPECT_GT(rim.blue(), rim.green() + 40);
}

TEST(DecodePng, GivesAnEmptyPictureForBrokenData)
{
    const QByteArray good = resource(kBadgePictureResource);
    ASSERT_FALSE(good.isEmpty());
    const qsizetype idat = good.indexOf("IDAT") - 4;
    ASSERT_GT(idat, 0);

    QByteArray badIdatCrc = good;
    badIdatCrc[idat + 8 + 5] = static_cast<char>(badIdatCrc[idat + 8 + 5] ^ 0x55);  // data changed, CRC kept

    QByteArray garbledDeflate = good;
    for (qsizetype i = idat + 8 + 2; i < idat + 8 + 40; ++i)
        garbledDeflate[i] = static_cast<char>(0xFF);
    fixChunkCrc(garbledDeflate, idat);

    QByteArray huge = good;  // a header that asks for a picture far beyond any About picture
    putBigEndian(huge, 16, 100000);
    putBigEndian(huge, 20, 100000);
    fixChunkCrc(huge, 8);

    QByteArray zeroWidth = good;
    putBigEndian(zeroWidth, 16, 0);
    fixChunkCrc(zeroWidth, 8);

    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"not a PNG", QByteArray("GIF89a not a png at all")},
        {"signature only", good.left(8)},
        {"header only", good.left(33)},
        {"cut in the image data", good.left(idat + 20)},
        {"image data changed under its checksum", badIdatCrc},
        {"garbled compressed data", garbledDeflate},
        {"enormous dimensions", huge},
        {"zero width", zeroWidth},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(decodePng(c.bytes).isNull()) << c.name;

    // Only the end marker missing: every pixel is there, and libpng gives the whole picture.
    EXPECT_EQ(decodePng(good.left(good.size() - 12)), decodePng(good));
}

}  // namespace
}  // namespace corvelle::app
