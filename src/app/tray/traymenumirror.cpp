// SPDX-License-Identifier: GPL-3.0-or-later
#include "traymenumirror.h"

#include <QActionGroup>
#include <QCursor>
#include <QMenu>

namespace Vantrell {

namespace {
// "&" marks a shortcut letter in Qt menu texts; our labels have none.
QString menuText(const QString &label)
{
    QString text = label;
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return text;
}

bool sameStructure(const TrayMenu &a, const TrayMenu &b)
{
    if (a.items().size() != b.items().size())
        return false;
    for (qsizetype i = 0; i < a.items().size(); ++i) {
        const TrayMenuItem &x = a.items().at(i);
        const TrayMenuItem &y = b.items().at(i);
        if (x.id != y.id || x.parentId != y.parentId || x.kind != y.kind)
            return false;
    }
    return true;
}
} // namespace

TrayMenuMirror::TrayMenuMirror(QObject *parent)
    : QObject(parent)
    , m_qmenu(std::make_unique<QMenu>())
{ }

TrayMenuMirror::~TrayMenuMirror() = default;

void TrayMenuMirror::setMenu(const TrayMenu &menu)
{
    const bool rebuildNeeded = !sameStructure(m_menu, menu) || m_actions.isEmpty();
    m_menu = menu;
    if (rebuildNeeded)
        rebuild();
    else
        applyStates();
}

void TrayMenuMirror::popup(QPoint anchor)
{
    m_qmenu->popup(anchor.isNull() ? QCursor::pos() : anchor);
}

void TrayMenuMirror::rebuild()
{
    m_qmenu->clear();
    m_actions.clear();
    qDeleteAll(m_owned);
    m_owned.clear();
    fill(m_qmenu.get(), TrayMenu::kRootId);
    applyStates();
}

void TrayMenuMirror::fill(QMenu *menu, int parentId)
{
    QActionGroup *radios = nullptr;
    for (const TrayMenuItem &item : m_menu.children(parentId)) {
        QAction *action = nullptr;
        switch (item.kind) {
        case TrayMenuItem::Kind::separator:
            action = menu->addSeparator();
            break;
        case TrayMenuItem::Kind::submenu: {
            auto *submenu = new QMenu;
            m_owned.append(submenu);
            action = menu->addMenu(submenu);
            fill(submenu, item.id);
            break;
        }
        case TrayMenuItem::Kind::radio:
        case TrayMenuItem::Kind::checkbox:
        case TrayMenuItem::Kind::action:
            action = menu->addAction(QString());
            action->setCheckable(item.isToggle());
            if (item.kind == TrayMenuItem::Kind::radio) {
                if (!radios) {
                    radios = new QActionGroup(nullptr);
                    m_owned.append(radios);
                    radios->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
                }
                radios->addAction(action);
            }
            connect(action, &QAction::triggered, this, [this, id = item.id] {
                // The QMenu checked the entry itself; the TrayMenu decides.
                applyStates();
                QMetaObject::invokeMethod(
                    this, [this, id] { Q_EMIT triggered(id); }, Qt::QueuedConnection);
            });
            break;
        }
        m_actions.insert(item.id, action);
    }
}

void TrayMenuMirror::applyStates()
{
    for (const TrayMenuItem &item : m_menu.items()) {
        QAction *action = m_actions.value(item.id);
        if (!action || item.kind == TrayMenuItem::Kind::separator)
            continue;
        action->setText(menuText(item.label));
        action->setEnabled(item.enabled);
        if (item.isToggle())
            action->setChecked(item.checked);
    }
}

} // namespace Vantrell
