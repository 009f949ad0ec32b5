// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "statusitem.h"
#include "traymenu.h"

#include <QObject>
#include <QPoint>

namespace Vantrell {

// A status item that lives in a panel's tray: it shows what present() is
// given, carries the right-click menu and reports the user's clicks.
class TrayItem : public QObject, public StatusItem
{
    Q_OBJECT

public:
    explicit TrayItem(QObject *parent = nullptr);

    // Replaces the right-click menu.
    virtual void setMenu(const TrayMenu &menu) = 0;
    virtual TrayMenu menu() const = 0;
    // Shows the menu as a popup at `anchor` (global logical coordinates; the
    // cursor position for a null point), for panels that ask the application
    // to show it (contextMenuRequested()). A chosen entry is reported through
    // menuItemTriggered().
    virtual void popupMenu(QPoint anchor) = 0;
    // Takes the item out of the panel (while a panel front end shows the
    // price) or puts it back. The default keeps it where it is.
    virtual void setWithdrawn(bool withdrawn) { Q_UNUSED(withdrawn); }

Q_SIGNALS:
    // A left click. `anchor` is where the panel says the click happened, in
    // global (logical) screen coordinates; a null point when the panel gave no
    // usable one, and the receiver should then use the cursor position.
    void activated(QPoint anchor);
    // The panel asks the application to show the menu itself (it does not draw
    // the exported one); `anchor` as for activated().
    void contextMenuRequested(QPoint anchor);
    // The user chose the menu entry `id` (a TrayMenu id).
    void menuItemTriggered(int id);
    // isDarkAppearance() changed (the panel became known, or the desktop
    // theme changed): the presentation should be decided again.
    void appearanceChanged();

protected:
    // The application palette changed; the default does nothing.
    virtual void applicationPaletteChanged() { }
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace Vantrell
