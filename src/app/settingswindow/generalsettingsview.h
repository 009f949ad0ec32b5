// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/appsettings.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace Vantrell {

class AppNotificationCenter;
class CoinListFeed;
class ColorPickerRow;
class SegmentedControl;
class SettingsViewModel;

// The General tab: launch at login, the panel's title, the desktop overlay,
// the currency, price alerts and the language. Every control edits one field
// of the settings, which are published and saved at once.
class GeneralSettingsView final : public QWidget
{
    Q_OBJECT

public:
    GeneralSettingsView(SettingsViewModel &settings, CoinListFeed &coins, AppNotificationCenter &notifications,
        std::function<void(bool)> applyLoginItem, QWidget *parent = nullptr);

private:
    void buildTexts();
    // Shows `settings` in every control without writing anything back.
    void refresh(const AppSettings &settings);
    void change(const std::function<void(AppSettings &)> &edit);

    SettingsViewModel &m_settings;
    CoinListFeed &m_coins;
    AppNotificationCenter &m_notifications;
    std::function<void(bool)> m_applyLoginItem;
    AppSettings m_shown;

    QGroupBox *m_launchSection = nullptr;
    QCheckBox *m_launchAtLogin = nullptr;
    QGroupBox *m_menuBarSection = nullptr;
    QFormLayout *m_menuBarForm = nullptr;
    QLabel *m_contentLabel = nullptr;
    SegmentedControl *m_content = nullptr;
    QLabel *m_coinLabel = nullptr;
    QComboBox *m_coin = nullptr;
    QLabel *m_coinHint = nullptr;
    QCheckBox *m_textColor = nullptr;
    QLabel *m_schemeLabel = nullptr;
    QWidget *m_schemes = nullptr;
    QList<QRadioButton *> m_schemeButtons;
    QWidget *m_customColors = nullptr;
    ColorPickerRow *m_upColor = nullptr;
    ColorPickerRow *m_downColor = nullptr;
    QCheckBox *m_textBackground = nullptr;
    QGroupBox *m_desktopSection = nullptr;
    QCheckBox *m_showOverlay = nullptr;
    QCheckBox *m_overlayCharts = nullptr;
    QCheckBox *m_charts = nullptr;
    QLabel *m_textSizeLabel = nullptr;
    SegmentedControl *m_textSize = nullptr;
    QLabel *m_opacityLabel = nullptr;
    QSlider *m_opacity = nullptr;
    QLabel *m_opacityValue = nullptr;
    QPushButton *m_adjust = nullptr;
    QGroupBox *m_pricesSection = nullptr;
    QLabel *m_currencyLabel = nullptr;
    QComboBox *m_currency = nullptr;
    QCheckBox *m_hideBalances = nullptr;
    QGroupBox *m_notificationSection = nullptr;
    QCheckBox *m_priceAlerts = nullptr;
    QGroupBox *m_languageSection = nullptr;
    QLabel *m_languageLabel = nullptr;
    QComboBox *m_language = nullptr;
};

} // namespace Vantrell
