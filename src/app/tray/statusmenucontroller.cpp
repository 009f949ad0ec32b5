// SPDX-License-Identifier: GPL-3.0-or-later
#include "statusmenucontroller.h"

#include "i18n/localizationmanager.h"
#include "market/coincatalog.h"
#include "settingsstore/settingsviewmodel.h"
#include "trayitem.h"
#include "updates/updatecontroller.h"

#include <QCursor>

namespace Vantrell {

StatusMenuController::StatusMenuController(
    TrayItem &tray, SettingsViewModel &settings, CoinCatalog &catalog, UpdateController &updates, QObject *parent)
    : QObject(parent)
    , m_tray(tray)
    , m_settings(settings)
    , m_catalog(catalog)
    , m_updates(updates)
{
    connect(&m_tray, &TrayItem::contextMenuRequested, this,
        [this](QPoint anchor) { m_tray.popupMenu(anchor.isNull() ? QCursor::pos() : anchor); });
    connect(&m_tray, &TrayItem::menuItemTriggered, this, &StatusMenuController::trigger);
    connect(&m_settings, &SettingsViewModel::settingsChanged, this, &StatusMenuController::rebuild);
    connect(&LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, &StatusMenuController::rebuild);
    connect(&m_catalog, &CoinCatalog::coinsChanged, this, &StatusMenuController::rebuild);
    connect(&m_updates, &UpdateController::changed, this, &StatusMenuController::rebuild);
    rebuild();
}

void StatusMenuController::rebuild()
{
    const StatusMenuState state {m_updates.canCheckForUpdates()};
    m_tray.setMenu(buildStatusMenu(m_settings.settings(), m_catalog.byID(), state, m_coinMenuIds));
}

void StatusMenuController::trigger(int id)
{
    switch (id) {
    case MenuIds::settings:
        Q_EMIT settingsRequested(SettingsTab::general);
        return;
    case MenuIds::about:
        Q_EMIT settingsRequested(SettingsTab::about);
        return;
    case MenuIds::checkForUpdates:
        m_updates.checkForUpdates();
        return;
    case MenuIds::quit:
        Q_EMIT quitRequested();
        return;
    default:
        if (const auto coinId = m_coinMenuIds.coinFor(id))
            m_settings.update([&](AppSettings &settings) { settings.displayedCoinId = *coinId; });
    }
}

} // namespace Vantrell
