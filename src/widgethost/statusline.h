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
// i3blocks takes one line of text per update.
QByteArray formatStatusLine(StatusFormat format, const StatusLine &line, bool follow);

} // namespace Vantrell
