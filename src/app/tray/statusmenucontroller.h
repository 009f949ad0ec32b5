// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settingsstore/settingstab.h"
#include "statusmenu.h"

#include <QObject>
#include <QPoint>

namespace Vantrell {

class CoinCatalog;
class SettingsViewModel;
class TrayItem;
class UpdateController;

// The tray item's right-click menu: rebuilt whenever the settings, the
// language, the catalog or the update state change, and what its entries do.
// Changing the coin is done here; the rest is asked of the shell.
class StatusMenuController final : public QObject
{
    Q_OBJECT

public:
    StatusMenuController(TrayItem &tray, SettingsViewModel &settings, CoinCatalog &catalog, UpdateController &updates,
        QObject *parent = nullptr);

    void rebuild();

Q_SIGNALS:
    void settingsRequested(SettingsTab tab);
    void quitRequested();

private:
    void trigger(int id);

    TrayItem &m_tray;
    SettingsViewModel &m_settings;
    CoinCatalog &m_catalog;
    UpdateController &m_updates;
    CoinMenuIds m_coinMenuIds;
};

} // namespace Vantrell
