// SPDX-License-Identifier: GPL-3.0-or-later
#include "bundledlogoimages.h"

#include <QImageReader>

#include <algorithm>

namespace Vantrell {

namespace {
// A list view draws a few sizes of a few hundred logos at most; past this the
// renderings are dropped and made again on demand.
constexpr qsizetype kMaxKeptImages = 512;
constexpr int kMaxPixelSide = 1024;
} // namespace

BundledLogoImages::BundledLogoImages(Bundle bundle)
    : m_bundle(std::move(bundle))
{ }

QImage BundledLogoImages::image(const QString &assetName, int pixelSide)
{
    if (assetName.isEmpty() || pixelSide <= 0)
        return {};
    pixelSide = std::min(pixelSide, kMaxPixelSide);
    const QString key = assetName + QLatin1Char('@') + QString::number(pixelSide);
    const auto kept = m_images.constFind(key);
    if (kept != m_images.cend())
        return kept.value();

    QImage image;
    if (const std::optional<QString> path = m_bundle.imagePath(assetName)) {
        QImageReader reader(*path);
        if (reader.format() == "svg" || reader.format() == "svgz")
            reader.setScaledSize(QSize(pixelSide, pixelSide));
        image = reader.read();
        if (!image.isNull())
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    if (m_images.size() >= kMaxKeptImages)
        m_images.clear();
    // A miss is kept too: a missing asset is not looked for on every repaint.
    m_images.insert(key, image);
    return image;
}

} // namespace Vantrell
