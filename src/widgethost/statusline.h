// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hostcommandline.h"
#include "i18n/stringbundle.h"
#include "widgetkit/widgetcontent.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QString>

#include <optional>

namespace Vantrell {

// The single-coin widget's content as a status bar shows it.
struct StatusLine
{
    QString text; // "BTC $80,585 ▲ +2.31%"
    QString tooltip; // name, price, change and update time, one per line
    QString cssClass; // "up", "down", or "stale" (no price, no change, or an old price)
    int percentage = 0; // the size of the change, 0 to 100
    std::optional<QColor> color; // the change's colour, when the content colours by change

    bool operator==(const StatusLine &) const = default;
};

// The first coin of `content` at `now`; the texts of `strings` name a delisted coin.
StatusLine makeStatusLine(const WidgetEntryContent &content, const QDateTime &now, const StringBundle &strings);

// One update of `line` in `format`, ending in a newline. While following,
// i3blocks takes one line of text per update. XFCE's Generic Monitor shows
// the colour on the panel it sits in: made readable on a dark or a light one
// (`darkPanel`); its click starts the program with the price list's link,
// which a running program takes over the bus.
QByteArray formatStatusLine(StatusFormat format, const StatusLine &line, bool follow, bool darkPanel = false);

// Whether a desktop theme of this name is a dark one ("Adwaita-dark",
// "Greybird-dark", "Adwaita:dark" as GTK_THEME writes it). Pure.
bool themeNameLooksDark(const QString &themeName);

// The GTK theme of the session: GTK_THEME when set, else the theme in XFCE's
// settings under `configHome`; empty when neither says.
QString sessionThemeName(const QString &configHome);

} // namespace Vantrell
