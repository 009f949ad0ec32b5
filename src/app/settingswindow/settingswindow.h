// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settingsstore/settingstab.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QStackedWidget;
class QToolButton;

namespace Vantrell {

class SettingsViewModel;

// The settings window: a sidebar of the General, Watchlist and About tabs and
// the chosen tab beside it, with the add-coin button in the top bar while the
// Watchlist tab shows. Follows the settings view model's tab both ways and
// titles itself with the tab's name in the current language.
class SettingsWindow final : public QWidget
{
    Q_OBJECT

public:
    SettingsWindow(
        SettingsViewModel &settings, QWidget *general, QWidget *watchlist, QWidget *about, QWidget *parent = nullptr);

    SettingsTab selectedTab() const;
    QToolButton *addCoinButton() const { return m_addCoin; }

Q_SIGNALS:
    // The add-coin button was pressed: open or close the add-coin panel.
    void addCoinToggled();

private:
    void showTab(SettingsTab tab);
    void retranslate();

    SettingsViewModel &m_settings;
    QListWidget *m_sidebar = nullptr;
    QStackedWidget *m_pages = nullptr;
    QLabel *m_title = nullptr;
    QToolButton *m_addCoin = nullptr;
};

} // namespace Vantrell
