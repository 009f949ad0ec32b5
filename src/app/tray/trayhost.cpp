// SPDX-License-Identifier: GPL-3.0-or-later
#include "trayhost.h"

#include <QtMath>

namespace Vantrell {

TrayHostProfile trayHostProfileForProcess(const QString &processName)
{
    const QString name = processName.trimmed();
    // GNOME's AppIndicator extension shows the Ayatana label and loads icons
    // from a path more reliably than from pixmaps; the top bar is dark in
    // light mode too.
    if (name == QLatin1String("gnome-shell"))
        return {.form = TrayForm::label, .loadsIconFromPath = true, .darkPanel = true};
    // Plasma (the watcher lives in kded) and XFCE (in the panel, or in the
    // wrapper process of an external systray plug-in) squeeze icons into
    // squares and show no labels.
    if (name == QLatin1String("plasmashell") || name == QLatin1String("kded5") || name == QLatin1String("kded6")
        || name == QLatin1String("xfce4-panel") || name == QLatin1String("wrapper-2.0"))
        return {.form = TrayForm::icon};
    if (name == QLatin1String("waybar"))
        return {.form = TrayForm::image};
    // The Ayatana indicator service (MATE, Budgie and the XFCE indicator
    // plug-in); comm truncates its names to 15 characters.
    if (name == QLatin1String("ayatana-indicat") || name == QLatin1String("indicator-appli"))
        return {.form = TrayForm::label};
    return {};
}

std::optional<TrayForm> parseTrayForm(const QString &text)
{
    const QString value = text.trimmed().toLower();
    if (value == QLatin1String("label"))
        return TrayForm::label;
    if (value == QLatin1String("image"))
        return TrayForm::image;
    if (value == QLatin1String("icon"))
        return TrayForm::icon;
    return std::nullopt;
}

QString trayFormName(TrayForm form)
{
    switch (form) {
    case TrayForm::label:
        return QStringLiteral("label");
    case TrayForm::image:
        return QStringLiteral("image");
    case TrayForm::icon:
        return QStringLiteral("icon");
    case TrayForm::labelAndImage:
        return QStringLiteral("label and image");
    }
    return {};
}

std::optional<QPoint> panelPointToLogical(QPoint panelPoint, const QList<ScreenArea> &screens)
{
    if (panelPoint.isNull())
        return std::nullopt;
    for (const ScreenArea &screen : screens) {
        const qreal ratio = screen.devicePixelRatio > 0 ? screen.devicePixelRatio : 1.0;
        // Qt keeps a screen's top-left corner where it is in device pixels and
        // scales only the distance from it.
        const QPoint origin = screen.geometry.topLeft();
        const QRect native(
            origin, QSize(qCeil(screen.geometry.width() * ratio), qCeil(screen.geometry.height() * ratio)));
        if (!native.contains(panelPoint))
            continue;
        const QPoint offset = panelPoint - origin;
        const QPoint logical = origin + QPoint(qFloor(offset.x() / ratio), qFloor(offset.y() / ratio));
        return logical;
    }
    return std::nullopt;
}

} // namespace Vantrell
