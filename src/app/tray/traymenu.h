// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace Vantrell {

// One entry of the tray menu.
struct TrayMenuItem
{
    enum class Kind {
        action,
        // A radio entry: among the radio entries of one parent at most one is checked.
        radio,
        checkbox,
        submenu,
        separator,
    };

    int id = 0;
    // The submenu this entry belongs to; TrayMenu::kRootId for the top level.
    int parentId = 0;
    Kind kind = Kind::action;
    // Already translated; shown as given (no mnemonics).
    QString label;
    bool enabled = true;
    bool checked = false;

    bool isToggle() const { return kind == Kind::radio || kind == Kind::checkbox; }
    bool operator==(const TrayMenuItem &) const = default;
};

// The right-click menu of the tray item as plain data: the shell fills it,
// the tray item shows it and reports the id of a chosen entry.
//
// Ids are chosen by the shell, lie in 1 … kMaxItemId and are unique; keep them
// stable for the same entry (a coin's entry should keep its id while the coin
// stays in the watchlist), since a panel may send a click for an entry it
// showed before the menu changed. Separators get ids of their own above
// kMaxItemId. Entries keep the order in which they were added.
class TrayMenu final
{
public:
    static constexpr int kRootId = 0;
    static constexpr int kMaxItemId = 0x3FFFFFFF;

    // Each adder returns false and changes nothing when the id is out of range
    // or taken, or when the parent is not a submenu of this menu.
    bool addAction(int id, const QString &label, bool enabled = true, int parentId = kRootId);
    bool addRadio(int id, const QString &label, bool checked, int parentId = kRootId);
    bool addCheckbox(int id, const QString &label, bool checked, int parentId = kRootId);
    bool addSubmenu(int id, const QString &label, bool enabled = true, int parentId = kRootId);
    // Returns the separator's id, or nothing when the parent is unknown.
    std::optional<int> addSeparator(int parentId = kRootId);

    // Checking a radio entry unchecks the other radio entries of its parent.
    bool setChecked(int id, bool checked);
    bool setEnabled(int id, bool enabled);
    bool setLabel(int id, const QString &label);

    const QList<TrayMenuItem> &items() const { return m_items; }
    std::optional<TrayMenuItem> item(int id) const;
    bool contains(int id) const { return indexOf(id) >= 0; }
    // The entries directly below `parentId`, in order.
    QList<TrayMenuItem> children(int parentId) const;
    bool isEmpty() const { return m_items.isEmpty(); }

    // Counts the changes made to this menu (every successful add or set that
    // altered an entry); copies carry it along.
    quint64 revision() const { return m_revision; }

    // Equal entries; the revision is not compared.
    bool operator==(const TrayMenu &other) const { return m_items == other.m_items; }

private:
    bool add(TrayMenuItem item);
    bool isValidParent(int parentId) const;
    qsizetype indexOf(int id) const;

    QList<TrayMenuItem> m_items;
    int m_nextSeparatorId = kMaxItemId + 1;
    quint64 m_revision = 0;
};

} // namespace Vantrell
