// SPDX-License-Identifier: GPL-3.0-or-later
#include "logoimages.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>

namespace Vantrell::FakeMarketData {

namespace {

struct Rgb
{
    quint8 red;
    quint8 green;
    quint8 blue;
};

Rgb colourOf(const QByteArray &name)
{
    quint32 hash = 2166136261U;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619U;
    }
    // Mid-tone channels, so that every logo stands out on light and dark backgrounds.
    return {static_cast<quint8>(48 + (hash & 0x7f)), static_cast<quint8>(48 + ((hash >> 8) & 0x7f)),
        static_cast<quint8>(48 + ((hash >> 16) & 0x7f))};
}

quint32 crc32(const QByteArray &data)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t {};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFU;
    for (const char byte : data)
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xff] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFU;
}

void appendUint32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    appendUint32(png, static_cast<quint32>(data.size()));
    const QByteArray typed = QByteArray(type, 4) + data;
    png += typed;
    appendUint32(png, crc32(typed));
}

} // namespace

QByteArray logoPng(const QByteArray &name, int size)
{
    size = std::clamp(size, 1, 512);
    const Rgb colour = colourOf(name);
    const double radius = size / 2.0;

    // RGBA rows, each led by filter type 0 (none).
    QByteArray pixels;
    pixels.reserve(size * (1 + 4 * size));
    for (int y = 0; y < size; ++y) {
        pixels += '\0';
        for (int x = 0; x < size; ++x) {
            const double distance = std::hypot(x + 0.5 - radius, y + 0.5 - radius);
            const double coverage = std::clamp(radius - distance + 0.5, 0.0, 1.0);
            pixels += static_cast<char>(colour.red);
            pixels += static_cast<char>(colour.green);
            pixels += static_cast<char>(colour.blue);
            pixels += static_cast<char>(std::lround(coverage * 255));
        }
    }

    QByteArray header;
    appendUint32(header, static_cast<quint32>(size));
    appendUint32(header, static_cast<quint32>(size));
    header += QByteArray::fromRawData("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no filter, no interlace

    QByteArray png = QByteArray::fromRawData("\x89PNG\r\n\x1a\n", 8);
    png.detach();
    appendChunk(png, "IHDR", header);
    // qCompress writes a zlib stream behind a four-byte length of its own.
    appendChunk(png, "IDAT", qCompress(pixels, 9).mid(4));
    appendChunk(png, "IEND", {});
    return png;
}

QByteArray logoSvg(const QByteArray &name, int size)
{
    const Rgb colour = colourOf(name);
    const QByteArray side = QByteArray::number(std::clamp(size, 1, 512));
    const QByteArray fill
        = QByteArray::number((colour.red << 16) | (colour.green << 8) | colour.blue, 16).rightJustified(6, '0');
    return R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" + side + R"(" height=")" + side
        + R"(" viewBox="0 0 100 100"><circle cx="50" cy="50" r="50" fill="#)" + fill + R"("/></svg>)" + '\n';
}

} // namespace Vantrell::FakeMarketData
