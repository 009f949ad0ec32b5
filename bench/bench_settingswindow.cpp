// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window as the user meets it: the first open up to the first
// paint, one drawn frame of a drag over 100 watched coins, and the memory the
// program keeps after the window was opened and closed ten times. And the
// price list's first paint over 20 coins, with and without their 24-hour lines.
#include "../tests/app/popover/popovertestsupport.h"
#include "market/coincatalog.h"
#include "memorysettingsstore.h"
#include "platform/bundle.h"
#include "platform/timer.h"
#include "popover/coinpopoverview.h"
#include "settingsstore/settingsdatastorage.h"
#include "settingsstore/settingsstore.h"
#include "settingsstore/settingsviewmodel.h"
#include "settingswindow/aboutview.h"
#include "settingswindow/generalsettingsview.h"
#include "settingswindow/settingswindow.h"
#include "settingswindow/settingswindowcontroller.h"
#include "ui/notificationcenter.h"
#include "updates/updatecontroller.h"
#include "watchlist/watchlistreordersession.h"
#include "watchlist/watchlistview.h"
#include "watchlist/watchlistviewmodel.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>

#include <cmath>

using namespace Vantrell;

namespace {

struct App
{
    explicit App(int coins)
    {
        AppSettings initial;
        initial.watchlistCoins.clear();
        for (const CoinMetadata &coin : catalog->listedCoins().mid(0, coins))
            initial.watchlistCoins.append({coin.id, CoinAlertKind::change, 2});
        store = std::make_unique<Test::MemorySettingsStore>(initial);
        settings = std::make_unique<SettingsViewModel>(*store);
        feed.setCoins(Test::sampleCoins(12));
    }

    // The window as the program builds it.
    QWidget *createWindow()
    {
        auto *general = new GeneralSettingsView(*settings, feed, notifications, {});
        auto *model = new WatchlistViewModel(*catalog, Bundle::embedded(), *settings, {}, timers, systemClock());
        watchlist = new WatchlistView(*model, *settings, feed, nullptr);
        model->setParent(watchlist);
        return new SettingsWindow(*settings, general, watchlist, new AboutView(updates, Bundle::embedded()));
    }

    QtTimerFactory timers;
    std::unique_ptr<CoinCatalog> catalog = CoinCatalog::load(Bundle::embedded());
    std::unique_ptr<Test::MemorySettingsStore> store;
    std::unique_ptr<SettingsViewModel> settings;
    Test::FakeCoinListFeed feed;
    AppNotificationCenter notifications;
    UpdateController updates;
    WatchlistView *watchlist = nullptr;
};

class FirstPaint final : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void closeAndSettle(SettingsWindowController &controller)
{
    controller.window()->close();
    while (controller.window())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

double pssKiB()
{
    QFile file(QStringLiteral("/proc/self/smaps_rollup"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toDouble();
    }
    return 0;
}

// From openSettings() to the first paint of the window, with 25 watched coins.
void firstOpenToFirstPaint(benchmark::State &state)
{
    App app(25);
    QTemporaryDir dir;
    SettingsWindowController controller(
        *app.settings, [&app] { return app.createWindow(); }, dir.filePath(QStringLiteral("settings-window.json")));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        controller.openSettings(SettingsTab::watchlist);
        FirstPaint paint;
        controller.window()->installEventFilter(&paint);
        while (!paint.painted)
            QCoreApplication::processEvents();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        controller.window()->removeEventFilter(&paint);
        closeAndSettle(controller);
    }
}
BENCHMARK(firstOpenToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// From a new price list over 20 coins to its first paint; Arg(1) with each
// row's 24-hour line (97 values), Arg(0) without.
void popoverFirstPaint(benchmark::State &state)
{
    AppSettings initial;
    initial.show24hCharts = state.range(0) != 0;
    Test::MemorySettingsStore store(initial);
    SettingsViewModel settings(store);
    QList<Coin> coins;
    for (int i = 0; i < 20; ++i) {
        Coin coin = Test::sampleCoins(12).at(i % 12);
        coin.id += QString::number(i);
        if (coin.currentPrice) {
            for (int slot = 0; slot < 97; ++slot)
                coin.history24h.values.append(*coin.currentPrice * (1 + 0.02 * std::sin(slot / 6.0 + i)));
            coin.history24h.values.last() = *coin.currentPrice;
        }
        coins.append(coin);
    }
    Test::FakeCoinListFeed feed;
    feed.setCoins(coins);
    UpdateController updates;
    AppNotificationCenter notifications;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto view = std::make_unique<CoinPopoverView>(feed, settings, updates, notifications, nullptr);
        FirstPaint paint;
        view->installEventFilter(&paint);
        view->resize(view->sizeHint());
        view->show();
        while (!paint.painted)
            QCoreApplication::processEvents();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(popoverFirstPaint)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// One pointer move of a drag over 100 coins and the list drawn again.
void reorderFrameDrawn(benchmark::State &state)
{
    App app(100);
    auto *window = app.createWindow();
    app.settings->setSettingsWindowTab(SettingsTab::watchlist);
    window->resize(786, 500);
    window->show();
    QCoreApplication::processEvents();
    auto *area = app.watchlist->findChildren<QScrollArea *>().last();
    WatchlistReorderSession &session = app.watchlist->findChild<WatchlistViewModel *>()->reorderSession();
    session.setReduceMotion(true);
    area->verticalScrollBar()->setValue(1000);
    app.watchlist->findChild<WatchlistViewModel *>()->beginReorderDrag(30, 30 * 44 - 1000 + 10);
    double y = 100;
    double step = 7;
    for (auto _ : state) {
        y += step;
        if (y > 300 || y < 100)
            step = -step;
        session.move(y);
        area->viewport()->repaint();
    }
    session.cancel();
    delete window;
}
BENCHMARK(reorderFrameDrawn)->Unit(benchmark::kMillisecond);

// One step of the overlay opacity slider while dragged: published, saved to
// appSettings.json (atomically and durably) and the percentage redrawn.
void opacitySliderStep(benchmark::State &state)
{
    QTemporaryDir dir;
    FileSettingsDataStorage storage(dir.path());
    UserDefaultsSettingsStore store(storage);
    SettingsViewModel settings(store);
    settings.update([](AppSettings &s) { s.desktopOverlayEnabled = true; });
    Test::FakeCoinListFeed feed;
    AppNotificationCenter notifications;
    GeneralSettingsView view(settings, feed, notifications, {});
    view.resize(560, 900);
    view.show();
    QCoreApplication::processEvents();
    auto *slider = view.findChild<QSlider *>();
    int value = 0;
    for (auto _ : state) {
        value = (value + 1) % 101;
        slider->setValue(value);
        view.repaint();
    }
}
BENCHMARK(opacitySliderStep)->Unit(benchmark::kMillisecond);

// The program's memory after ten opens and closes, against before them.
void memoryAfterTenOpens(benchmark::State &state)
{
    App app(25);
    QTemporaryDir dir;
    SettingsViewModel &settings = *app.settings;
    SettingsWindowController controller(
        settings, [&app] { return app.createWindow(); }, dir.filePath(QStringLiteral("settings-window.json")));
    // Fonts, styles and the icon theme load on the first open and stay.
    for (int i = 0; i < 2; ++i) {
        controller.openSettings(SettingsTab::general);
        QCoreApplication::processEvents();
        closeAndSettle(controller);
    }
    double before = 0;
    double after = 0;
    for (auto _ : state) {
        before = pssKiB();
        for (int i = 0; i < 10; ++i) {
            controller.openSettings(i % 2 ? SettingsTab::watchlist : SettingsTab::general);
            QCoreApplication::processEvents();
            closeAndSettle(controller);
        }
        after = pssKiB();
    }
    state.counters["pssBeforeKiB"] = before;
    state.counters["pssGrowthKiB"] = after - before;
}
BENCHMARK(memoryAfterTenOpens)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
