// SPDX-License-Identifier: GPL-3.0-or-later
#include "statusline.h"

#include "widgetkit/priceformatter.h"
#include "widgetkit/widgetviews.h"

#include "settings/pricecolors.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Vantrell {

StatusLine makeStatusLine(const WidgetEntryContent &content, const QDateTime &now, const StringBundle &strings)
{
    StatusLine line;
    line.cssClass = QStringLiteral("stale");
    bool stale = false; // an old price, not merely none
    const QString dash = QStringLiteral("\u2014");
    if (content.rows.isEmpty()) {
        line.text = dash;
        line.tooltip = strings.string(QStringLiteral("widget.empty"));
        return line;
    }
    const WidgetRow &row = content.rows.constFirst();
    const bool priced = content.hasPrices() && row.price;
    QStringList text {row.symbol, priced ? formatPrice(*row.price, content.currency, true) : dash};
    QStringList tooltip {row.name};
    if (priced)
        tooltip.append(formatPrice(*row.price, content.currency, true));

    const auto change = priced ? WidgetChangeText::make(row, content, strings) : std::nullopt;
    if (change) {
        text.append(change->signal.run());
        tooltip.append(change->signal.run());
        if (!change->secondary && row.change24hPercent) {
            line.cssClass = isRise(*row.change24hPercent + 0.0) ? QStringLiteral("up") : QStringLiteral("down");
            line.percentage = int(std::min(100.0, std::round(std::abs(*row.change24hPercent))));
            line.color = change->signal.color;
        }
    }
    if (priced) {
        if (const auto updated = WidgetUpdatedText::make(content, now)) {
            tooltip.append(updated->signal.run());
            if (updated->stale) {
                line.cssClass = QStringLiteral("stale");
                stale = true;
            }
        }
    } else {
        tooltip.append(strings.string(QStringLiteral("widget.empty")));
    }
    line.text = text.join(QLatin1Char(' '));
    line.tooltip = tooltip.join(QLatin1Char('\n'));
    // Status bars without style classes (Generic Monitor, polybar, i3blocks)
    // show an old price marked as the widgets mark its time.
    if (stale)
        line.text.prepend(QStringLiteral("\u26A0\uFE0E "));
    return line;
}

namespace {
QString hex(const QColor &color)
{
    return color.name(QColor::HexRgb).toUpper();
}

// Text inside the markup of XFCE's Generic Monitor (Pango).
QString markupEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// Polybar reads "%{" as the start of a format tag anywhere in the text.
QString polybarEscaped(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1String("%{"), QLatin1String("% {"));
}
} // namespace

QByteArray formatStatusLine(StatusFormat format, const StatusLine &line, bool follow, bool darkPanel)
{
    QString out;
    switch (format) {
    case StatusFormat::waybar: {
        QJsonObject object;
        object.insert(QStringLiteral("text"), line.text);
        object.insert(QStringLiteral("tooltip"), line.tooltip);
        object.insert(QStringLiteral("class"), line.cssClass);
        object.insert(QStringLiteral("percentage"), line.percentage);
        return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    }
    case StatusFormat::genmon: {
        // The rise and fall colours as they are are too light for a light
        // panel's text; xdg-open is not on every XFCE system.
        const QString text = markupEscaped(line.text);
        out = QStringLiteral("<txt>")
            + (line.color ? QStringLiteral("<span foreground=\"%1\">%2</span>")
                                .arg(hex(colorOnPanel(*line.color, darkPanel)), text)
                          : text)
            + QStringLiteral("</txt><tool>") + markupEscaped(line.tooltip)
            + QStringLiteral("</tool><txtclick>vantrell vantrell://popover</txtclick>");
        break;
    }
    case StatusFormat::polybar: {
        const QString text = polybarEscaped(line.text);
        out = line.color ? QStringLiteral("%{F%1}%2%{F-}").arg(hex(*line.color), text) : text;
        break;
    }
    case StatusFormat::i3blocks:
        out = line.text;
        if (!follow) {
            out += QLatin1Char('\n') + line.text;
            if (line.color)
                out += QLatin1Char('\n') + hex(*line.color);
        }
        break;
    case StatusFormat::plain:
        out = line.text;
        break;
    }
    return out.toUtf8() + '\n';
}

bool themeNameLooksDark(const QString &themeName)
{
    static const QRegularExpression dark(
        QStringLiteral("(^|[-_:. ])dark($|[-_:. ])"), QRegularExpression::CaseInsensitiveOption);
    return dark.match(themeName.trimmed()).hasMatch();
}

QString sessionThemeName(const QString &configHome)
{
    const QString fromEnvironment = qEnvironmentVariable("GTK_THEME");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QFile settings(configHome + QStringLiteral("/xfce4/xfconf/xfce-perchannel-xml/xsettings.xml"));
    if (!settings.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression themeName(
        QStringLiteral("<property name=\"ThemeName\" type=\"string\" value=\"([^\"]*)\""));
    return themeName.match(QString::fromUtf8(settings.read(256 * 1024))).captured(1);
}

} // namespace Vantrell
