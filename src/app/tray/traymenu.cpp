// SPDX-License-Identifier: GPL-3.0-or-later
#include "traymenu.h"

#include <limits>

namespace Vantrell {

bool TrayMenu::addAction(int id, const QString &label, bool enabled, int parentId)
{
    return add(
        {.id = id, .parentId = parentId, .kind = TrayMenuItem::Kind::action, .label = label, .enabled = enabled});
}

bool TrayMenu::addRadio(int id, const QString &label, bool checked, int parentId)
{
    if (!add({.id = id, .parentId = parentId, .kind = TrayMenuItem::Kind::radio, .label = label}))
        return false;
    if (checked)
        setChecked(id, true);
    return true;
}

bool TrayMenu::addCheckbox(int id, const QString &label, bool checked, int parentId)
{
    return add(
        {.id = id, .parentId = parentId, .kind = TrayMenuItem::Kind::checkbox, .label = label, .checked = checked});
}

bool TrayMenu::addSubmenu(int id, const QString &label, bool enabled, int parentId)
{
    return add(
        {.id = id, .parentId = parentId, .kind = TrayMenuItem::Kind::submenu, .label = label, .enabled = enabled});
}

std::optional<int> TrayMenu::addSeparator(int parentId)
{
    if (!isValidParent(parentId) || m_nextSeparatorId == std::numeric_limits<int>::max())
        return std::nullopt;
    const int id = m_nextSeparatorId++;
    m_items.append({.id = id, .parentId = parentId, .kind = TrayMenuItem::Kind::separator});
    ++m_revision;
    return id;
}

bool TrayMenu::setChecked(int id, bool checked)
{
    const qsizetype index = indexOf(id);
    if (index < 0 || !m_items[index].isToggle())
        return false;
    TrayMenuItem &target = m_items[index];
    bool changed = target.checked != checked;
    target.checked = checked;
    if (checked && target.kind == TrayMenuItem::Kind::radio) {
        for (TrayMenuItem &other : m_items) {
            if (other.id != id && other.parentId == target.parentId && other.kind == TrayMenuItem::Kind::radio
                && other.checked) {
                other.checked = false;
                changed = true;
            }
        }
    }
    if (changed)
        ++m_revision;
    return true;
}

bool TrayMenu::setEnabled(int id, bool enabled)
{
    const qsizetype index = indexOf(id);
    if (index < 0 || m_items[index].kind == TrayMenuItem::Kind::separator)
        return false;
    if (m_items[index].enabled != enabled) {
        m_items[index].enabled = enabled;
        ++m_revision;
    }
    return true;
}

bool TrayMenu::setLabel(int id, const QString &label)
{
    const qsizetype index = indexOf(id);
    if (index < 0 || m_items[index].kind == TrayMenuItem::Kind::separator)
        return false;
    if (m_items[index].label != label) {
        m_items[index].label = label;
        ++m_revision;
    }
    return true;
}

std::optional<TrayMenuItem> TrayMenu::item(int id) const
{
    const qsizetype index = indexOf(id);
    return index < 0 ? std::nullopt : std::optional<TrayMenuItem>(m_items[index]);
}

QList<TrayMenuItem> TrayMenu::children(int parentId) const
{
    QList<TrayMenuItem> result;
    for (const TrayMenuItem &entry : m_items) {
        if (entry.parentId == parentId)
            result.append(entry);
    }
    return result;
}

bool TrayMenu::add(TrayMenuItem item)
{
    if (item.id < 1 || item.id > kMaxItemId || contains(item.id) || !isValidParent(item.parentId))
        return false;
    m_items.append(std::move(item));
    ++m_revision;
    return true;
}

bool TrayMenu::isValidParent(int parentId) const
{
    if (parentId == kRootId)
        return true;
    const qsizetype index = indexOf(parentId);
    return index >= 0 && m_items[index].kind == TrayMenuItem::Kind::submenu;
}

qsizetype TrayMenu::indexOf(int id) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].id == id)
            return i;
    }
    return -1;
}

} // namespace Vantrell
