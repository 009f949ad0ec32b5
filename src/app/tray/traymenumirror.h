// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "traymenu.h"

#include <QHash>
#include <QObject>
#include <QPoint>

#include <memory>

class QAction;
class QMenu;

namespace Vantrell {

// A QMenu that shows a TrayMenu: for the XEmbed tray icon, and for panels that
// ask the application to show its menu itself (TrayItem::contextMenuRequested).
// The TrayMenu stays the truth: a click reports the entry's id and leaves the
// check marks as the TrayMenu has them until the next setMenu().
class TrayMenuMirror final : public QObject
{
    Q_OBJECT

public:
    explicit TrayMenuMirror(QObject *parent = nullptr);
    ~TrayMenuMirror() override;

    // Updates the QMenu in place when only labels and states changed (an open
    // menu stays open), else rebuilds it.
    void setMenu(const TrayMenu &menu);
    const TrayMenu &menu() const { return m_menu; }
    QMenu *qmenu() const { return m_qmenu.get(); }

    // Opens the menu at `anchor` (global logical coordinates), or at the
    // cursor for a null point.
    void popup(QPoint anchor);

Q_SIGNALS:
    // Emitted after the QMenu finished handling the click, so a receiver may
    // replace the menu.
    void triggered(int id);

private:
    void rebuild();
    void fill(QMenu *menu, int parentId);
    void applyStates();

    TrayMenu m_menu;
    std::unique_ptr<QMenu> m_qmenu;
    QHash<int, QAction *> m_actions;
    QList<QObject *> m_owned;
};

} // namespace Vantrell
