// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/pricecolors.h"

#include <QColor>
#include <QString>

#include <optional>

namespace Vantrell {

// What the panel item shows: decided by MenuBarViewModel, drawn by a StatusItem.
struct StatusPresentation
{
    enum class Kind {
        // The monochrome application logo at the fixed length of 28; no title.
        icon,
        // A text title such as "BTC 97,342".
        title,
    };

    Kind kind = Kind::icon;

    // For a title: the text, with one space before and after when it has a background.
    QString text;
    // The panel's own font and text colour, no background (colouring and background both off).
    bool plain = true;
    // Text colour; neutral means the panel's own text colour.
    PriceColor textColor = PriceColor::neutral();
    // Background behind the text, when any, with this corner radius (4 with a background, else 0).
    std::optional<QColor> background;
    int cornerRadius = 0;

    // The coin behind a title, for tooltips and panels that show only an icon.
    QString coinSymbol;
    // Its price, which square icons show in compact form.
    std::optional<double> price;
    QString coinName;
    std::optional<double> change24hPercent;

    // While the prices are stale: the time of the last one in the user's
    // language ("2:05 PM"), for the tooltip. Empty while they are fresh.
    QString stalePricesTime;
    // Every exchange refuses connections from this network.
    bool networkRefused = false;

    // "Holdings: $12,346 (+2.10% today)" for the tooltip; empty when nothing
    // is held.
    QString holdingsLine;

    bool operator==(const StatusPresentation &) const = default;
};

// The item in the panel. Implementations: the StatusNotifierItem, the XEmbed
// fallback and test fakes.
class StatusItem
{
public:
    virtual ~StatusItem() = default;

    // Shows `presentation`; called on every change of coins or settings.
    virtual void present(const StatusPresentation &presentation) = 0;
    // Whether the panel behind the item is dark (drives the colours of a
    // background title when price colours are off).
    virtual bool isDarkAppearance() const = 0;
};

} // namespace Vantrell
