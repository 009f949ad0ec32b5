// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktopoverlaymodel.h"
#include "market/coinmetadata.h"
#include "settings/appsettings.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>

#include <functional>
#include <memory>
#include <optional>

class QScreen;

namespace Vantrell {

class CoinListFeed;
class SettingsViewModel;
class WakeMonitor;

// Runs the desktop overlay: fills its model from the coin list and the
// settings, creates its window on first show, places it on a screen, and
// runs adjust mode, whose end stores the new top-left corner in the settings.
// Main thread only.
class DesktopOverlayController final : public QObject
{
    Q_OBJECT

public:
    using SurfaceFactory = std::function<std::unique_ptr<DesktopOverlaySurface>(DesktopOverlayModel &)>;
    // The available geometry of every screen, the primary first.
    using ScreenFrames = std::function<QList<QRectF>()>;

    DesktopOverlayController(SurfaceFactory createSurface, ScreenFrames screens, QObject *parent = nullptr);
    ~DesktopOverlayController() override;

    // Follows the coin list and the settings from their current values on;
    // the end of adjust mode writes to `settings` while it exists.
    void bind(CoinListFeed &coinList, SettingsViewModel &settings);

    // Places the window again when screens come, go or change their geometry,
    // and on every signal `wake` (the computer woke from sleep).
    void followScreens(WakeMonitor &wake);

    // Shows, hides, fills and places the overlay for the latest coins and settings.
    void apply(const QList<Coin> &coins, const AppSettings &settings);
    // Puts the window where the settings say, on a screen that exists; after
    // screen changes and wake-up. Nothing while adjusting.
    void placeWindow();
    void beginAdjusting();
    void endAdjusting();

    DesktopOverlayModel &model() { return m_model; }
    DesktopOverlaySurface *window() const { return m_window.get(); }

private:
    void watchScreen(QScreen *screen);
    void setCoins(const QList<Coin> &coins);
    void setSettings(const AppSettings &settings);

    DesktopOverlayModel m_model;
    SurfaceFactory m_createSurface;
    ScreenFrames m_screens;
    std::unique_ptr<DesktopOverlaySurface> m_window;
    QPointer<SettingsViewModel> m_settingsVM;
    AppSettings m_settings;
    std::optional<AppSettings> m_appliedSettings;
    std::optional<QList<Coin>> m_latestCoins;
    std::optional<AppSettings> m_latestSettings;
};

} // namespace Vantrell
