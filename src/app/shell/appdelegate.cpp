// SPDX-License-Identifier: GPL-3.0-or-later
#include "appdelegate.h"

#include "alerts/notificationservice.h"
#include "applicationservice.h"
#include "coinlist/coinlistviewmodel.h"
#include "coinlist/watchlistsettings.h"
#include "i18n/localizationmanager.h"
#include "launchatloginservice.h"
#include "logos/coinlogopainter.h"
#include "logos/coinlogostore.h"
#include "logos/remoteimageloader.h"
#include "logos/watchlistlogosync.h"
#include "market/coincatalog.h"
#include "market/exchangerates.h"
#include "market/networkhttpclient.h"
#include "market/pricehistoryservice.h"
#include "market/priceservice.h"
#include "overlay/desktopoverlaycontroller.h"
#include "overlay/desktopoverlaywindow.h"
#include "platform/atomicfile.h"
#include "platform/bundle.h"
#include "platform/logging.h"
#include "platform/paths.h"
#include "popover/coinpopoverview.h"
#include "popover/popoverpresenter.h"
#include "popover/popoverwindow.h"
#include "settingswindow/aboutview.h"
#include "settingswindow/generalsettingsview.h"
#include "settingswindow/settingswindow.h"
#include "settingswindow/settingswindowcontroller.h"
#include "tray/panelpresence.h"
#include "tray/statusmenucontroller.h"
#include "tray/trayfactory.h"
#include "tray/trayiconfile.h"
#include "tray/trayitem.h"
#include "ui/notificationcenter.h"
#include "updates/dialogupdateuserdriver.h"
#include "updates/feedupdaterbackend.h"
#include "wakemonitor.h"
#include "watchlist/watchlistview.h"
#include "watchlist/watchlistviewmodel.h"
#include "widgetkit/coinlogocache.h"
#include "widgetkit/widgetsnapshot.h"
#include "widgetsync/widgetreload.h"
#include "widgetsync/widgetsnapshotwriter.h"

#include <QApplication>
#include <QDBusServiceWatcher>
#include <QFileInfo>
#include <QNetworkInformation>
#include <QTimer>

namespace Vantrell {

namespace {
constexpr std::chrono::seconds kTrayGracePeriod {5};
} // namespace

AppDelegate::AppDelegate(AppContext context, QObject *parent)
    : QObject(parent)
    , m_context(std::move(context))
    , m_store(m_defaults)
    , m_settingsVM(m_store)
    , m_catalog(CoinCatalog::load(m_context.resources))
    , m_notifications(std::make_unique<AppNotificationCenter>())
{ }

AppDelegate::~AppDelegate()
{
    // Views first: they read the models below.
    m_settingsWindow.reset();
    m_popover.reset();
    m_menu.reset();
    m_tray.reset();
    m_panelPresence.reset();
    m_updateController.setBackend(nullptr);
}

// A kill while a file was being replaced can leave the new data under its
// temporary name beside the file. Once this instance is the only one, clear
// those names for the files it writes; nothing else in these directories.
void AppDelegate::removeInterruptedWrites(const QDateTime &startedAt) const
{
    const auto named = [](const QString &path) {
        return [name = QFileInfo(path).fileName()](QStringView file) { return file == name; };
    };
    int removed = removeInterruptedReplacements(
        Paths::settingsDirectory(), [](QStringView file) { return file.endsWith(u".json"); }, startedAt);
    removed += removeInterruptedReplacements(
        Paths::stateDirectory(), named(SettingsWindowController::defaultStateFile()), startedAt);
    removed += removeInterruptedReplacements(
        Paths::autostartDirectory(), named(QStringLiteral(VANTRELL_APP_ID ".desktop")), startedAt);
    if (const std::optional<QString> container = Paths::sharedContainerDirectory(m_context.resources)) {
        removed += removeInterruptedReplacements(
            *container,
            [](QStringView file) {
                return file == u"widget-snapshot.json" || file == u"exchange-rates.json"
                    || file == QLatin1String(PriceHistoryStore::fileName);
            },
            startedAt);
    }
    if (const std::optional<QString> logos = CoinLogoCache::inSharedContainer(m_context.resources).directory) {
        removed += removeInterruptedReplacements(
            *logos, [](QStringView file) { return file.endsWith(u".img"); }, startedAt);
    }
    removed += removeInterruptedReplacements(
        TrayIconFile::defaultDirectory(), [](QStringView file) { return file.endsWith(u".png"); }, startedAt);
    if (removed > 0)
        qCInfo(lcApp, "Removed %d temporary files of interrupted writes", removed);
}

bool AppDelegate::launch(const QStringList &urls)
{
    const QDateTime startedAt = QDateTime::currentDateTimeUtc();
    // Single instance: a later start hands its URLs to the first and ends.
    m_applicationService = std::make_unique<ApplicationService>();
    if (!m_applicationService->registerPrimary()) {
        qCInfo(lcApp, "Vantrell is already running; handing over");
        m_applicationService->forwardToPrimary(urls);
        return false;
    }
    removeInterruptedWrites(startedAt);

    followLanguage(m_settingsVM.settings());
    connect(&m_settingsVM, &SettingsViewModel::settingsChanged, this, &AppDelegate::followLanguage);

    buildMarketData();
    buildLogos();
    installUpdateBackend();

    m_popover = std::make_unique<PopoverPresenter>(m_context.timers);
    connect(m_applicationService.get(), &ApplicationService::openRequested, this, &AppDelegate::openURLs);
    connect(
        m_applicationService.get(), &ApplicationService::activateRequested, m_popover.get(), &PopoverPresenter::open);
    connect(m_notificationService.get(), &NotificationService::openPopoverRequested, m_popover.get(),
        &PopoverPresenter::open);
    openURLs(urls);
    buildSettingsWindow();
    connect(m_notifications.get(), &AppNotificationCenter::posted, this, &AppDelegate::handleNavigation);

    // One presence per panel: the tray item steps aside for a front end that
    // shows the price, and without a tray such a front end is the program's
    // presence, so no window opens at start.
    m_panelPresence = std::make_unique<PanelPresence>(QDBusConnection::sessionBus(), m_context.timers);
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
            if (!m_tray && !m_popover->window())
                setupPopover(m_panelPresence->trayItemWanted());
        });
    }

    // The desktop widgets take their prices from the snapshot file.
    m_snapshotWriter = std::make_unique<WidgetSnapshotWriter>(
        WidgetSnapshotStore::forBundle(m_context.resources), [] { requestWidgetReload(); }, m_context.timers,
        m_context.now);
    m_snapshotWriter->bind(*m_coinListVM, m_settingsVM);

    // The watchlist on the desktop, when the user switches it on.
    m_overlay = std::make_unique<DesktopOverlayController>(
        [this](
            DesktopOverlayModel &model) { return std::make_unique<DesktopOverlayWindow>(model, m_context.resources); },
        &availableScreenFrames);
    m_wakeMonitor = std::make_unique<WakeMonitor>();
    m_overlay->followScreens(*m_wakeMonitor);
    m_overlay->bind(*m_coinListVM, m_settingsVM);

    // After sleep or an outage the last prices are old: fetch now, not at the
    // next tick (a fetch that hung across the gap is dropped).
    connect(m_wakeMonitor.get(), &WakeMonitor::woke, m_coinListVM.get(), &CoinListViewModel::restartPolling);
    connect(m_wakeMonitor.get(), &WakeMonitor::woke, m_priceHistory.get(), &PriceHistoryService::refreshAll);
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, m_coinListVM.get(),
            [model = m_coinListVM.get()](QNetworkInformation::Reachability reachability) {
                if (reachability == QNetworkInformation::Reachability::Online)
                    model->restartPolling();
            });
    }

    m_notificationService->requestAuthorization();
    LaunchAtLoginService::setEnabled(m_settingsVM.settings().launchAtLogin);

    m_reloadDebouncer = std::make_unique<ReloadDebouncer>(m_context.timers, [this] {
        m_coinListVM->rebuildCoins();
        m_coinListVM->restartPolling();
    });
    m_reloadDebouncer->push(m_settingsVM.settings());
    connect(&m_settingsVM, &SettingsViewModel::settingsChanged, this,
        [this](const AppSettings &settings) { m_reloadDebouncer->push(settings); });

    m_launched = true;
    return true;
}

void AppDelegate::buildMarketData()
{
    m_marketDataSession = std::make_unique<NetworkHTTPClient>(NetworkHTTPClient::marketDataHosts(), m_context.hostMap);
    m_exchangeRates = std::make_unique<ExchangeRateService>(*m_marketDataSession, defaultExchangeRateProviders(),
        ExchangeRateCacheStore::forBundle(m_context.resources), m_context.now);
    m_priceService = std::make_unique<PriceService>(
        *m_marketDataSession, *m_exchangeRates, defaultTickerProviders(m_context.now), m_context.now);
    m_notificationService = std::make_unique<NotificationService>(QDBusConnection::sessionBus(), m_context.now);
    m_notificationService->setIconImage(
        NotificationService::iconImageUnlessThemed(QStringLiteral(VANTRELL_APP_ID), m_context.resources));
    m_coinListVM = std::make_unique<CoinListViewModel>(
        *m_catalog, m_settingsVM, *m_priceService, *m_notificationService, m_context.timers, m_context.now);

    // The last 24 hours of the watched coins, while charts are shown.
    m_priceHistory = std::make_unique<PriceHistoryService>(*m_marketDataSession, defaultHistorySources(),
        PriceHistoryStore::forBundle(m_context.resources), m_context.timers, m_context.now);
    connect(m_priceHistory.get(), &PriceHistoryService::seriesChanged, m_coinListVM.get(),
        [this] { m_coinListVM->setPriceHistory(m_priceHistory->series()); });
    m_coinListVM->setPriceHistory(m_priceHistory->series());
    const auto followWatchlist = [this] {
        QStringList symbols;
        if (m_settingsVM.settings().show24hCharts) {
            for (const Coin &coin : m_coinListVM->coins()) {
                if (coin.status == CoinStatus::active)
                    symbols.append(coin.symbol);
            }
        }
        m_priceHistory->setSymbols(symbols);
    };
    connect(m_coinListVM.get(), &CoinListFeed::coinsChanged, m_priceHistory.get(), followWatchlist);
    followWatchlist();
}

void AppDelegate::buildLogos()
{
    // Logos of exactly the watchlist coins, fetched at launch and on every watchlist change.
    m_logoSession = std::make_unique<NetworkHTTPClient>(NetworkHTTPClient::logoHosts(), m_context.hostMap);
    m_logoStore
        = std::make_unique<CoinLogoStore>(CoinLogoCache::inSharedContainer(m_context.resources), *m_logoSession);
    m_remoteImages = std::make_unique<RemoteImageLoader>(*m_logoSession);
    m_logoPainter = std::make_unique<CoinLogoPainter>(m_context.resources, m_logoStore.get(), m_remoteImages.get());
    m_logoSync = std::make_unique<WatchlistLogoSync>(*m_logoStore, m_settingsVM, *m_catalog);
}

void AppDelegate::installUpdateBackend()
{
    if constexpr (!VANTRELL_UPDATE_CHECKS)
        return;
    const QUrl feed(m_context.resources.updateFeedURL(), QUrl::StrictMode);
    if (!feed.isValid() || feed.scheme() != QLatin1String("https") || feed.host().isEmpty()) {
        qCWarning(lcUpdates, "No valid update feed in Info.json; update checks are off");
        return;
    }
    m_updateSession = std::make_unique<NetworkHTTPClient>(QSet<QString> {feed.host()}, m_context.hostMap);
    m_updateDriver = std::make_unique<DialogUpdateUserDriver>();
    m_updateBackend = std::make_unique<FeedUpdaterBackend>(m_updateController, *m_updateSession, feed,
        m_context.resources.shortVersion(), m_defaults, *m_updateDriver, m_context.now);
    m_updateController.setBackend(m_updateBackend.get());
    m_updateController.setIsAvailable(true);
    m_updateController.refresh();
}

void AppDelegate::buildSettingsWindow()
{
    // Built on each first open and let go on close; only the controller stays.
    const auto createWindow = [this]() -> QWidget * {
        auto *general = new GeneralSettingsView(
            m_settingsVM, *m_coinListVM, *m_notifications, [](bool on) { LaunchAtLoginService::setEnabled(on); });
        auto *watchlistModel = new WatchlistViewModel(
            *m_catalog, m_context.resources, m_settingsVM,
            [this] {
                m_coinListVM->rebuildCoins();
                m_coinListVM->restartPolling();
            },
            m_context.timers, m_context.now);
        auto *watchlist = new WatchlistView(*watchlistModel, m_settingsVM, *m_coinListVM, m_logoPainter.get());
        watchlistModel->setParent(watchlist);
        auto *about = new AboutView(m_updateController, m_context.resources);
        auto *window = new SettingsWindow(m_settingsVM, general, watchlist, about);
        connect(window, &SettingsWindow::addCoinToggled, watchlist,
            [watchlist] { watchlist->setShowAddCoin(!watchlist->showAddCoin()); });
        connect(&m_settingsVM, &SettingsViewModel::settingsWindowTabChanged, watchlist, [watchlist](SettingsTab tab) {
            if (tab != SettingsTab::watchlist)
                watchlist->setShowAddCoin(false);
        });
        return window;
    };
    m_settingsWindow = std::make_unique<SettingsWindowController>(
        m_settingsVM, createWindow, SettingsWindowController::defaultStateFile());
}

void AppDelegate::setupTray()
{
    m_tray = createTrayItem(applicationTrayOptions(m_context.resources));
    if (!m_tray) {
        qCWarning(lcTray, "No system tray on this desktop; showing the price list as a window");
        return;
    }
    m_menuBarVM.bind(*m_coinListVM, m_settingsVM, *m_tray);
    m_tray->setWithdrawn(!m_panelPresence->trayItemWanted());
    connect(m_panelPresence.get(), &PanelPresence::trayItemWantedChanged, m_tray.get(),
        [this](bool wanted) { m_tray->setWithdrawn(!wanted); });
    connect(m_tray.get(), &TrayItem::activated, m_popover.get(), &PopoverPresenter::toggle);
    m_menu = std::make_unique<StatusMenuController>(*m_tray, m_settingsVM, *m_catalog, m_updateController);
    connect(m_menu.get(), &StatusMenuController::settingsRequested, m_settingsWindow.get(), [this](SettingsTab tab) {
        m_popover->dismissPopup();
        m_settingsWindow->openSettings(tab);
    });
    connect(m_menu.get(), &StatusMenuController::quitRequested, qApp, &QCoreApplication::quit);
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
    setupPopover();
}

void AppDelegate::setupPopover(bool openWindowMode)
{
    auto *content
        = new CoinPopoverView(*m_coinListVM, m_settingsVM, m_updateController, *m_notifications, m_logoPainter.get());
    // Without a tray the price list is the program's window.
    m_popover->setWindow(
        new PopoverWindow(content, m_tray ? PopoverWindow::Mode::popup : PopoverWindow::Mode::window), openWindowMode);
}

void AppDelegate::openURLs(const QStringList &urls)
{
    // A shown popover stays shown; before the tray exists the open waits.
    if (ApplicationService::containsDeepLink(urls))
        m_popover->open();
}

void AppDelegate::handleNavigation(const QString &name, const QVariantMap &userInfo)
{
    if (name == AppNotificationName::adjustDesktopOverlay && m_overlay) {
        m_overlay->beginAdjusting();
        return;
    }
    if (name != AppNotificationName::navigate)
        return;
    m_popover->dismissPopup();
    m_settingsWindow->openSettings(navigationTab(userInfo));
}

void AppDelegate::followLanguage(const AppSettings &settings)
{
    if (m_appliedLanguage == settings.language)
        return;
    m_appliedLanguage = settings.language;
    LocalizationManager::shared().setBundle(LocalizationManager::bundle(settings.language, m_context.resources));
}

} // namespace Vantrell
