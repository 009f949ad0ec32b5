// SPDX-License-Identifier: GPL-3.0-or-later
#include "appdelegate.h"

#include "alerts/notificationservice.h"
#include "applicationservice.h"
#include "coinlist/coinlistviewmodel.h"
#include "i18n/localizationmanager.h"
#include "logos/coinlogopainter.h"
#include "logos/coinlogostore.h"
#include "logos/remoteimageloader.h"
#include "market/coincatalog.h"
#include "market/exchangerates.h"
#include "market/networkhttpclient.h"
#include "market/priceservice.h"
#include "notificationcenter.h"
#include "overlay/desktopoverlaycontroller.h"
#include "overlay/desktopoverlaywindow.h"
#include "platform/bundle.h"
#include "platform/logging.h"
#include "popover/coinlistfeed.h"
#include "popover/coinpopoverview.h"
#include "popover/popoverwindow.h"
#include "tray/trayfactory.h"
#include "tray/trayitem.h"
#include "updates/dialogupdateuserdriver.h"
#include "updates/feedupdaterbackend.h"
#include "updates/launchatloginservice.h"
#include "wakemonitor.h"
#include "widgetkit/coinlogocache.h"
#include "widgetkit/widgetsnapshot.h"
#include "widgetsync/widgetreload.h"
#include "widgetsync/widgetsnapshotwriter.h"

#include <QApplication>
#include <QCursor>
#include <QDBusServiceWatcher>
#include <QNetworkInformation>
#include <QTimer>

namespace Vantrell {

namespace {
// The settings window arrives with a later release; until then its menu
// entries and buttons are shown disabled.
constexpr bool kSettingsWindowAvailable = false;
constexpr int kOpenPopoverRetries = 10;
constexpr std::chrono::milliseconds kOpenPopoverRetryDelay {200};
constexpr std::chrono::seconds kTrayGracePeriod {5};
} // namespace

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
    , m_store(m_defaults)
    , m_settingsVM(m_store)
    , m_catalog(CoinCatalog::load(Bundle::main()))
    , m_notifications(std::make_unique<AppNotificationCenter>())
{ }

AppDelegate::~AppDelegate()
{
    // Views first: they read the models below.
    delete m_popover;
    m_popover = nullptr;
    m_tray.reset();
    m_updateController.setBackend(nullptr);
}

CoinListViewModel &AppDelegate::coinListViewModel()
{
    if (!m_coinListVM) {
        m_marketDataSession = std::make_unique<NetworkHTTPClient>(NetworkHTTPClient::marketDataHosts());
        m_exchangeRates = std::make_unique<ExchangeRateService>(*m_marketDataSession, defaultExchangeRateProviders(),
            ExchangeRateCacheStore::forBundle(Bundle::main()), systemClock());
        m_priceService = std::make_unique<PriceService>(
            *m_marketDataSession, *m_exchangeRates, defaultTickerProviders(systemClock()), systemClock());
        m_notificationService = std::make_unique<NotificationService>();
        m_notificationService->setIconImage(
            NotificationService::iconImageUnlessThemed(QStringLiteral(VANTRELL_APP_ID), Bundle::main()));
        connect(m_notificationService.get(), &NotificationService::openPopoverRequested, this,
            [this] { openPopover(kOpenPopoverRetries); });
        m_coinListVM = std::make_unique<CoinListViewModel>(
            *m_catalog, m_settingsVM, *m_priceService, *m_notificationService, QtTimerFactory::shared());
    }
    return *m_coinListVM;
}

CoinLogoStore &AppDelegate::logoStore()
{
    if (!m_logoStore) {
        m_logoSession = std::make_unique<NetworkHTTPClient>(NetworkHTTPClient::logoHosts());
        m_logoStore = std::make_unique<CoinLogoStore>(CoinLogoCache::inSharedContainer(Bundle::main()), *m_logoSession);
        m_remoteImages = std::make_unique<RemoteImageLoader>(*m_logoSession);
        m_logoPainter = std::make_unique<CoinLogoPainter>(Bundle::main(), m_logoStore.get(), m_remoteImages.get());
    }
    return *m_logoStore;
}

bool AppDelegate::launch(const QStringList &urls)
{
    // Single instance: a later start hands its URLs to the first and ends.
    m_applicationService = std::make_unique<ApplicationService>();
    if (!m_applicationService->registerPrimary()) {
        qCInfo(lcApp, "Vantrell is already running; handing over");
        m_applicationService->forwardToPrimary(urls);
        return false;
    }
    connect(m_applicationService.get(), &ApplicationService::openRequested, this, &AppDelegate::openURLs);
    connect(m_applicationService.get(), &ApplicationService::activateRequested, this,
        [this] { openPopover(kOpenPopoverRetries); });
    openURLs(urls);

    installUpdateBackend();
    setupTray();
    if (m_tray) {
        setupPopover();
    } else {
        // At login the panel may start after us: give it a moment before
        // falling back to a window, and move into the panel whenever it comes.
        m_trayWatcher = std::make_unique<QDBusServiceWatcher>(QStringLiteral("org.kde.StatusNotifierWatcher"),
            QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForRegistration);
        connect(m_trayWatcher.get(), &QDBusServiceWatcher::serviceRegistered, this, &AppDelegate::trayAppeared);
        QTimer::singleShot(kTrayGracePeriod, this, [this] {
            if (!m_tray && !m_popover)
                setupPopover();
        });
    }

    // Logos of exactly the watchlist coins, fetched at launch and on every watchlist change.
    const auto syncLogos = [this](const AppSettings &settings) {
        QStringList ids;
        for (const WatchlistCoin &coin : settings.watchlistCoins)
            ids.append(coin.coinId);
        if (ids == m_lastLogoWatchlist && m_launched)
            return;
        m_lastLogoWatchlist = ids;
        logoStore().sync(watchlistRecords(settings, m_catalog->byID()));
    };
    syncLogos(m_settingsVM.settings());
    connect(&m_settingsVM, &SettingsViewModel::settingsChanged, this, syncLogos);

    m_launched = true;
    if (m_opensPopoverAfterLaunch) {
        m_opensPopoverAfterLaunch = false;
        openPopover(kOpenPopoverRetries);
    }

    coinListViewModel();
    // The desktop widgets take their prices from the snapshot file.
    m_snapshotWriter = std::make_unique<WidgetSnapshotWriter>(
        WidgetSnapshotStore::forBundle(Bundle::main()), [] { requestWidgetReload(); }, QtTimerFactory::shared());
    m_snapshotWriter->start(coinListViewModel(), m_settingsVM);
    // The watchlist on the desktop, when the user switches it on.
    m_overlay = std::make_unique<DesktopOverlayController>(
        [](DesktopOverlayModel &model) { return std::make_unique<DesktopOverlayWindow>(model); },
        &availableScreenFrames);
    m_wakeMonitor = std::make_unique<WakeMonitor>();
    m_overlay->followScreens(*m_wakeMonitor);
    // After sleep or an outage the last prices are old: fetch now, not at the
    // next tick (a fetch that hung across the gap is dropped).
    connect(m_wakeMonitor.get(), &WakeMonitor::woke, this, [this] { coinListViewModel().restartPolling(); });
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability reachability) {
                if (reachability == QNetworkInformation::Reachability::Online)
                    coinListViewModel().restartPolling();
            });
    }
    m_overlay->bind(coinListViewModel(), m_settingsVM);
    m_notificationService->requestAuthorization();
    LaunchAtLoginService::setEnabled(m_settingsVM.settings().launchAtLogin);

    m_reloadDebouncer = std::make_unique<ReloadDebouncer>(QtTimerFactory::shared(), [this] {
        coinListViewModel().rebuildCoins();
        coinListViewModel().restartPolling();
    });
    m_reloadDebouncer->push(m_settingsVM.settings());
    connect(&m_settingsVM, &SettingsViewModel::settingsChanged, this,
        [this](const AppSettings &settings) { m_reloadDebouncer->push(settings); });

    applyLanguage(m_settingsVM.settings().language);
    connect(&m_settingsVM, &SettingsViewModel::settingsChanged, this,
        [this](const AppSettings &settings) { applyLanguage(settings.language); });

    connect(m_notifications.get(), &AppNotificationCenter::posted, this, &AppDelegate::handleNavigation);

    // Menu titles, the displayed coin's check mark and the update entry follow their sources.
    connect(&m_settingsVM, &SettingsViewModel::settingsChanged, this, [this] {
        // The new record is stored right after this signal; rebuild from it.
        QTimer::singleShot(0, this, &AppDelegate::rebuildMenu);
    });
    connect(&LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, &AppDelegate::rebuildMenu);
    connect(m_catalog.get(), &CoinCatalog::coinsChanged, this, &AppDelegate::rebuildMenu);
    connect(&m_updateController, &UpdateController::changed, this, &AppDelegate::rebuildMenu);
    rebuildMenu();
    return true;
}

void AppDelegate::installUpdateBackend()
{
    if constexpr (!VANTRELL_UPDATE_CHECKS)
        return;
    const QUrl feed(Bundle::main().updateFeedURL(), QUrl::StrictMode);
    if (!feed.isValid() || feed.scheme() != QLatin1String("https") || feed.host().isEmpty()) {
        qCWarning(lcUpdates, "No valid update feed in Info.json; update checks are off");
        return;
    }
    m_updateSession = std::make_unique<NetworkHTTPClient>(QSet<QString> {feed.host()});
    m_updateDriver = std::make_unique<DialogUpdateUserDriver>();
    m_updateBackend = std::make_unique<FeedUpdaterBackend>(m_updateController, *m_updateSession, feed,
        Bundle::main().shortVersion(), m_defaults, *m_updateDriver, systemClock());
    m_updateController.setBackend(m_updateBackend.get());
    m_updateController.setIsAvailable(true);
    m_updateController.refresh();
}

void AppDelegate::setupTray()
{
    m_tray = createTrayItem(applicationTrayOptions());
    if (!m_tray) {
        qCWarning(lcTray, "No system tray on this desktop; showing the price list as a window");
        return;
    }
    m_menuBarVM.bind(coinListViewModel(), m_settingsVM, *m_tray);
    connect(m_tray.get(), &TrayItem::activated, this, &AppDelegate::togglePopover);
    connect(m_tray.get(), &TrayItem::contextMenuRequested, this, &AppDelegate::showContextMenu);
    connect(m_tray.get(), &TrayItem::menuItemTriggered, this, &AppDelegate::handleMenuItem);
}

void AppDelegate::trayAppeared()
{
    if (m_tray)
        return;
    setupTray();
    if (!m_tray)
        return;
    qCInfo(lcTray, "A system tray appeared; moving the price list into the panel");
    // Not deleted inside its own signal.
    m_trayWatcher.release()->deleteLater();
    // A window-mode price list gives way to the popover under the tray item.
    delete m_popover;
    m_popover = nullptr;
    setupPopover();
    rebuildMenu();
}

void AppDelegate::setupPopover()
{
    logoStore();
    if (!m_popoverFeed)
        m_popoverFeed = std::make_unique<CoinListViewModelFeed>(coinListViewModel());
    auto *content
        = new CoinPopoverView(*m_popoverFeed, m_settingsVM, m_updateController, *m_notifications, m_logoPainter.get());
    content->setSettingsAvailable(kSettingsWindowAvailable);
    // Without a tray the price list is the program's window.
    m_popover = new PopoverWindow(content, m_tray ? PopoverWindow::Mode::popup : PopoverWindow::Mode::window);
    // Traced so that deep links and tray clicks can be followed from outside the process.
    connect(m_popover, &PopoverWindow::shownChanged, this,
        [](bool shown) { qCDebug(lcApp, "Popover %s", shown ? "shown" : "hidden"); });
    if (!m_tray || std::exchange(m_opensPopoverAfterLaunch, false))
        m_popover->open();
}

void AppDelegate::togglePopover(QPoint anchor)
{
    if (!m_popover)
        return;
    m_popover->toggle(anchor.isNull() ? QCursor::pos() : anchor);
}

void AppDelegate::openPopover(int attempts)
{
    if (!m_launched || !m_popover) {
        m_opensPopoverAfterLaunch = true;
        return;
    }
    if (!m_popover->isShown())
        m_popover->open(QCursor::pos());
    if (!m_popover->isShown() && attempts >= 1) {
        QPointer<AppDelegate> self(this);
        QTimer::singleShot(kOpenPopoverRetryDelay, this, [self, attempts] {
            if (self)
                self->openPopover(attempts - 1);
        });
    }
}

void AppDelegate::openURLs(const QStringList &urls)
{
    if (!ApplicationService::containsDeepLink(urls))
        return;
    if (!m_launched) {
        m_opensPopoverAfterLaunch = true;
        return;
    }
    // A shown popover stays shown.
    if (m_popover && !m_popover->isShown())
        openPopover(kOpenPopoverRetries);
}

void AppDelegate::rebuildMenu()
{
    if (!m_tray)
        return;
    const StatusMenuState state {m_updateController.canCheckForUpdates(), kSettingsWindowAvailable};
    m_tray->setMenu(buildStatusMenu(m_settingsVM.settings(), m_catalog->byID(), state, m_coinMenuIds));
}

void AppDelegate::showContextMenu(QPoint anchor)
{
    if (m_tray)
        m_tray->popupMenu(anchor.isNull() ? QCursor::pos() : anchor);
}

void AppDelegate::handleMenuItem(int id)
{
    switch (id) {
    case MenuIds::settings:
    case MenuIds::about:
        // Entries of the settings window, disabled until it exists.
        return;
    case MenuIds::checkForUpdates:
        m_updateController.checkForUpdates();
        return;
    case MenuIds::quit:
        QCoreApplication::quit();
        return;
    default:
        if (const auto coinId = m_coinMenuIds.coinFor(id))
            changeCoin(*coinId);
    }
}

void AppDelegate::changeCoin(const QString &coinId)
{
    m_settingsVM.update([&](AppSettings &settings) { settings.displayedCoinId = coinId; });
}

void AppDelegate::handleNavigation(const QString &name, const QVariantMap &userInfo)
{
    if (name == AppNotificationName::adjustDesktopOverlay && m_overlay) {
        m_overlay->beginAdjusting();
        return;
    }
    if (name != AppNotificationName::navigate)
        return;
    const SettingsTab tab = navigationTab(userInfo);
    if (m_popover && m_popover->isShown() && m_popover->mode() == PopoverWindow::Mode::popup)
        m_popover->dismiss();
    qCInfo(lcApp, "Settings requested at tab %s; the settings window is not part of this build",
        qUtf8Printable(rawValue(tab)));
    m_settingsVM.setSettingsWindowTab(tab);
}

void AppDelegate::applyLanguage(AppLanguage language)
{
    if (m_appliedLanguage == language)
        return;
    m_appliedLanguage = language;
    LocalizationManager::shared().setBundle(LocalizationManager::bundle(language));
}

} // namespace Vantrell
