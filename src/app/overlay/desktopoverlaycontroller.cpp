// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopoverlaycontroller.h"

#include "coinlist/coinlistfeed.h"
#include "desktopoverlaylayout.h"
#include "settingsstore/settingsviewmodel.h"
#include "wakemonitor.h"

#include <QGuiApplication>
#include <QScreen>

namespace Vantrell {

namespace {

QRect toWindowFrame(const QRectF &frame)
{
    return QRect(qRound(frame.x()), qRound(frame.y()), qRound(frame.width()), qRound(frame.height()));
}

QSize sizeOf(const DesktopOverlayModel &model)
{
    return overlaySize(model.content(), model.textSize()).toSize();
}

} // namespace

DesktopOverlayController::DesktopOverlayController(SurfaceFactory createSurface, ScreenFrames screens, QObject *parent)
    : QObject(parent)
    , m_createSurface(std::move(createSurface))
    , m_screens(std::move(screens))
{
    m_model.onDoneAdjusting = [self = QPointer<DesktopOverlayController>(this)] {
        if (self)
            self->endAdjusting();
    };
}

DesktopOverlayController::~DesktopOverlayController() = default;

void DesktopOverlayController::bind(CoinListFeed &coinList, SettingsViewModel &settings)
{
    m_settingsVM = &settings;
    connect(&coinList, &CoinListFeed::coinsChanged, this, [this, &coinList] { setCoins(coinList.coins()); });
    connect(&settings, &SettingsViewModel::settingsChanged, this, &DesktopOverlayController::setSettings);
    m_latestCoins = coinList.coins();
    setSettings(settings.settings());
}

void DesktopOverlayController::followScreens(WakeMonitor &wake)
{
    connect(&wake, &WakeMonitor::woke, this, &DesktopOverlayController::placeWindow);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watchScreen(screen);
        placeWindow();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &DesktopOverlayController::placeWindow);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &DesktopOverlayController::placeWindow);
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens)
        watchScreen(screen);
}

void DesktopOverlayController::watchScreen(QScreen *screen)
{
    connect(screen, &QScreen::availableGeometryChanged, this, &DesktopOverlayController::placeWindow);
}

void DesktopOverlayController::setCoins(const QList<Coin> &coins)
{
    m_latestCoins = coins;
    if (m_latestSettings)
        apply(*m_latestCoins, *m_latestSettings);
}

void DesktopOverlayController::setSettings(const AppSettings &settings)
{
    m_latestSettings = settings;
    if (m_latestCoins)
        apply(*m_latestCoins, *m_latestSettings);
}

void DesktopOverlayController::apply(const QList<Coin> &coins, const AppSettings &settings)
{
    const std::optional<DesktopOverlayOrigin> previousTopLeft = m_settings.desktopOverlayTopLeft;
    const bool justEnabled
        = m_appliedSettings && !m_appliedSettings->desktopOverlayEnabled && settings.desktopOverlayEnabled;
    m_settings = settings;
    m_appliedSettings = settings;

    if (!settings.desktopOverlayEnabled) {
        if (m_window) {
            // An adjustment in progress is abandoned, not saved.
            m_model.setAdjusting(false);
            m_window->hide();
        }
        return;
    }

    m_model.setContent(makeOverlayContent(coins, settings));
    m_model.setBackgroundOpacity(settings.desktopOverlayBackgroundOpacity);
    m_model.setTextSize(settings.desktopOverlayTextSize);

    const bool existed = m_window != nullptr;
    if (!m_window)
        m_window = m_createSurface(m_model);

    const QSize size = sizeOf(m_model);
    if (m_model.isAdjusting()) {
        // The user is placing it: keep the top-left corner, only fit the new size.
        const QRect frame = m_window->frame();
        if (frame.size() != size) {
            const DesktopOverlayOrigin corner {double(frame.x()), double(frame.y())};
            m_window->setFrame(toWindowFrame(overlayFrame(corner, m_screens(), size)));
        }
    } else {
        const bool unmoved = existed && m_window->isShown() && m_window->frame().size() == size
            && previousTopLeft == settings.desktopOverlayTopLeft;
        if (!unmoved)
            placeWindow();
        if (!m_window->isShown())
            m_window->showPassive();
    }
    if (justEnabled)
        beginAdjusting();
}

void DesktopOverlayController::placeWindow()
{
    if (!m_window || m_model.isAdjusting())
        return;
    m_window->setFrame(toWindowFrame(overlayFrame(m_settings.desktopOverlayTopLeft, m_screens(), sizeOf(m_model))));
}

void DesktopOverlayController::beginAdjusting()
{
    if (!m_settings.desktopOverlayEnabled || !m_window)
        return;
    m_model.setAdjusting(true);
    m_window->showAdjusting();
}

void DesktopOverlayController::endAdjusting()
{
    if (!m_window || !m_model.isAdjusting())
        return;
    m_model.setAdjusting(false);
    m_window->showPassive();
    if (m_settingsVM) {
        const QRect frame = m_window->frame();
        // Publishing the new corner comes back through apply(), which places and clamps it.
        m_settingsVM->update([&frame](AppSettings &settings) {
            settings.desktopOverlayTopLeft = DesktopOverlayOrigin {double(frame.x()), double(frame.y())};
        });
    }
}

} // namespace Vantrell
