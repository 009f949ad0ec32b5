// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

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
    // A square icon that is the compact price itself ("BTC" over "43.7k"),
    // legible in any tray; the full title lives in the tooltip.
    icon,
};

// What we know about the panel that shows the item.
struct TrayHostProfile
{
    // Panels we do not know get the square icon: every tray shows one, while a
    // wide image squeezed into a square is unreadable.
    TrayForm form = TrayForm::icon;
    // The panel loads an icon from an absolute file path given as IconName
    // (and prefers that over pixmaps).
    bool loadsIconFromPath = false;
    // Whether the panel is dark, where the panel is known to have one look
    // whatever the desktop theme (GNOME's top bar is always dark).
    std::optional<bool> darkPanel;

    bool operator==(const TrayHostProfile &) const = default;
};

// The process that owns the StatusNotifierWatcher, as /proc describes it.
struct TrayHostProcess
{
    // /proc/<pid>/comm: the name the process gave itself, cut to 15 characters
    // (XFCE 4.18 names its plug-in processes "panel-<n>-<plugin>").
    QString name;
    // The target of /proc/<pid>/exe; empty when it cannot be read (a process
    // of another user, a sandbox).
    QString executable;
    // /proc/<pid>/cmdline, split at its NUL bytes.
    QStringList arguments;

    bool operator==(const TrayHostProcess &) const = default;
};

// The profile for the panel behind `process`, recognised by the file name of
// its executable, of its first argument or its process name, whichever is
// known (the first that names a known panel counts). A name of 15 characters
// is taken as cut short and matches the known names it begins. An unknown
// process gives the default profile.
TrayHostProfile trayHostProfileFor(const TrayHostProcess &process);

// Reads the process `pid` from `procRoot` (the /proc file system); fields that
// cannot be read stay empty.
TrayHostProcess readTrayHostProcess(qint64 pid, const QString &procRoot = QStringLiteral("/proc"));

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
