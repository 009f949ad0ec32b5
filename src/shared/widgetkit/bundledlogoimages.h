// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/bundle.h"

#include <QHash>
#include <QImage>
#include <QString>

namespace Vantrell {

// The coin logos shipped in a bundle ("coin-<id>"), rendered at the pixel size
// they are drawn at and kept for reuse, so that repainting a list decodes
// nothing. Main thread only.
class BundledLogoImages final
{
public:
    explicit BundledLogoImages(Bundle bundle);

    // The image called `assetName` for a logo of `pixelSide` × `pixelSide`
    // pixels; null when the name is empty, the bundle lacks it or it does not
    // decode. Vector images are rendered at exactly that size, raster images
    // are returned as stored.
    QImage image(const QString &assetName, int pixelSide);

    const Bundle &bundle() const { return m_bundle; }

private:
    Bundle m_bundle;
    QHash<QString, QImage> m_images;
};

} // namespace Vantrell
