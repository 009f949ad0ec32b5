// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/networkhttpclient.h"
#include "platform/bundle.h"
#include "platform/clock.h"
#include "platform/timer.h"
#include "settingsstore/settingsdatastorage.h"
#include "settingsstore/settingsstore.h"
#include "settingsstore/settingsviewmodel.h"
#include "tray/menubarviewmodel.h"
#include "updates/updatecontroller.h"

#include <QDateTime>
#include <QObject>

#include <memory>
#include <optional>

class QDBusServiceWatcher;

namespace Vantrell {

class AppNotificationCenter;
class ApplicationService;
class CoinCatalog;
class CoinListViewModel;
class CoinLogoPainter;
class CoinLogoStore;
class DesktopOverlayController;
class ExchangeRateService;
class FeedUpdaterBackend;
class NetworkHTTPClient;
class NotificationService;
class PanelPresence;
class PopoverPresenter;
class PriceHistoryService;
class PriceService;
class ReloadDebouncer;
class RemoteImageLoader;
class SettingsWindowController;
class StatusMenuController;
class TrayItem;
class UpdateUserDriver;
class WakeMonitor;
class WatchlistLogoSync;
class WidgetSnapshotWriter;

// What the process hands the application: the resources compiled into it, its
// timers and its clock. Made once in main(); tests make their own.
struct AppContext
{
    Bundle resources;
    TimerFactory &timers;
    Clock now;
    // Every HTTP client sends its requests through it (tests and the offline demo).
    NetworkHTTPClient::HostMap hostMap;
};

// The application shell: builds every long-lived object once, in the order of
// the launch steps, and connects them. What they do lives in the objects.
class AppDelegate final : public QObject
{
    Q_OBJECT

public:
    // Builds the settings (read once here), the catalog, the menu-bar model
    // and the update controller; everything else waits for launch.
    explicit AppDelegate(AppContext context, QObject *parent = nullptr);
    ~AppDelegate() override;

    // Start-up. Returns false when another instance runs: `urls` were handed
    // to it and this process should end.
    bool launch(const QStringList &urls);

    // Deep links, from the command line or another start.
    void openURLs(const QStringList &urls);

private:
    void removeInterruptedWrites(const QDateTime &startedAt) const;
    void buildMarketData();
    void buildLogos();
    void installUpdateBackend();
    void setupTray();
    void trayAppeared();
    void setupPopover(bool openWindowMode = true);
    void buildSettingsWindow();
    void handleNavigation(const QString &name, const QVariantMap &userInfo);
    void followLanguage(const AppSettings &settings);

    const AppContext m_context;
    FileSettingsDataStorage m_defaults;
    UserDefaultsSettingsStore m_store;
    SettingsViewModel m_settingsVM;
    std::unique_ptr<CoinCatalog> m_catalog;
    MenuBarViewModel m_menuBarVM;
    UpdateController m_updateController;

    std::unique_ptr<AppNotificationCenter> m_notifications;
    std::unique_ptr<ApplicationService> m_applicationService;

    std::unique_ptr<NetworkHTTPClient> m_marketDataSession;
    std::unique_ptr<ExchangeRateService> m_exchangeRates;
    std::unique_ptr<PriceService> m_priceService;
    std::unique_ptr<NotificationService> m_notificationService;
    std::unique_ptr<CoinListViewModel> m_coinListVM;
    std::unique_ptr<PriceHistoryService> m_priceHistory;
    std::unique_ptr<ReloadDebouncer> m_reloadDebouncer;

    std::unique_ptr<NetworkHTTPClient> m_logoSession;
    std::unique_ptr<CoinLogoStore> m_logoStore;
    std::unique_ptr<RemoteImageLoader> m_remoteImages;
    std::unique_ptr<CoinLogoPainter> m_logoPainter;
    std::unique_ptr<WatchlistLogoSync> m_logoSync;

    std::unique_ptr<WidgetSnapshotWriter> m_snapshotWriter;
    std::unique_ptr<WakeMonitor> m_wakeMonitor;
    std::unique_ptr<DesktopOverlayController> m_overlay;

    std::unique_ptr<NetworkHTTPClient> m_updateSession;
    std::unique_ptr<UpdateUserDriver> m_updateDriver;
    std::unique_ptr<FeedUpdaterBackend> m_updateBackend;

    std::unique_ptr<PopoverPresenter> m_popover;
    std::unique_ptr<SettingsWindowController> m_settingsWindow;
    std::unique_ptr<TrayItem> m_tray;
    std::unique_ptr<PanelPresence> m_panelPresence;
    std::unique_ptr<StatusMenuController> m_menu;
    std::unique_ptr<QDBusServiceWatcher> m_trayWatcher;
    std::optional<AppLanguage> m_appliedLanguage;
    bool m_launched = false;
};

} // namespace Vantrell
