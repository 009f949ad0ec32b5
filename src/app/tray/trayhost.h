// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

namespace Vantrell {

// How the tray item puts a price title into the panel. Panels differ: some
// draw a text label next to the icon, some draw wide icons, some squeeze every
// icon into a square.
enum class TrayForm {
    // The title as a text label beside a small icon in the price colour.
    label,
    // The title drawn into a wide icon image (colour, background, rounding).
    image,
    // Only the logo; the title lives in the tooltip.
    icon,
    // Both the label and the wide image, for panels we do not know.
    labelAndImage,
};

// What we know about the panel that shows the item.
struct TrayHostProfile
{
    TrayForm form = TrayForm::labelAndImage;
    // The panel loads an icon from an absolute file path given as IconName
    // (and prefers that over pixmaps).
    bool loadsIconFromPath = false;
    // Whether the panel is dark, where the panel is known to have one look
    // whatever the desktop theme (GNOME's top bar is always dark).
    std::optional<bool> darkPanel;

    bool operator==(const TrayHostProfile &) const = default;
};

// The profile for the process that owns the StatusNotifierWatcher, by its
// name as /proc/<pid>/comm gives it (at most 15 characters); an unknown or
// empty name gives the default profile.
TrayHostProfile trayHostProfileForProcess(const QString &processName);

// Reads a user's choice of form: "label", "image" or "icon" (case and
// surrounding blanks ignored); anything else gives nothing.
std::optional<TrayForm> parseTrayForm(const QString &text);

// The environment variable through which a user overrides the form chosen for
// the panel, for panels we guess wrong: VANTRELL_TRAY_FORM=label|image|icon.
inline constexpr char kTrayFormVariable[] = "VANTRELL_TRAY_FORM";

QString trayFormName(TrayForm form);

// A screen as the mapping of panel coordinates needs it: its geometry in
// logical coordinates and its device pixel ratio.
struct ScreenArea
{
    QRect geometry;
    qreal devicePixelRatio = 1.0;
};

// Maps a click point sent by a panel (device pixels, as X11 panels send them)
// to logical global coordinates. Gives nothing for the point 0,0 (panels that
// know no position send it) and for a point on no screen.
std::optional<QPoint> panelPointToLogical(QPoint panelPoint, const QList<ScreenArea> &screens);

} // namespace Vantrell
