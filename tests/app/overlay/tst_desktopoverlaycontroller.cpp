// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlist/coinlistviewmodel.h"
#include "fakepriceservice.h"
#include "faketimer.h"
#include "market/coincatalog.h"
#include "memorysettingsstore.h"
#include "overlay/desktopoverlaycontroller.h"
#include "platform/bundle.h"
#include "recordingnotifier.h"
#include "settingsstore/settingsviewmodel.h"

#include <QTest>

using namespace Vantrell;

namespace {

const QRectF kScreen(0, 0, 1280, 800);

// Records what the controller does with its window.
class FakeSurface final : public DesktopOverlaySurface
{
public:
    QRect frame() const override { return m_frame; }
    void setFrame(const QRect &frame) override
    {
        m_frame = frame;
        ++moves;
    }
    bool isShown() const override { return shown; }
    void showPassive() override
    {
        shown = true;
        adjusting = false;
    }
    void showAdjusting() override
    {
        shown = true;
        adjusting = true;
    }
    void hide() override { shown = false; }

    QRect m_frame;
    bool shown = false;
    bool adjusting = false;
    int moves = 0;
};

QList<Coin> coins(int count)
{
    QList<Coin> result;
    for (int i = 0; i < count; ++i) {
        Coin coin;
        coin.id = QStringLiteral("coin-%1").arg(i);
        coin.currentPrice = 10.0 + i;
        coin.lastUpdated = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
        result.append(coin);
    }
    return result;
}

AppSettings enabled(std::optional<DesktopOverlayOrigin> topLeft = std::nullopt)
{
    AppSettings settings;
    settings.desktopOverlayEnabled = true;
    settings.desktopOverlayTopLeft = topLeft;
    return settings;
}

struct Fixture
{
    Test::MemorySettingsStore store;
    SettingsViewModel settings {store};
    QList<QRectF> screens {kScreen};
    FakeSurface *surface = nullptr;
    int created = 0;
    DesktopOverlayController controller {[this](DesktopOverlayModel &) {
                                             ++created;
                                             auto made = std::make_unique<FakeSurface>();
                                             surface = made.get();
                                             return made;
                                         },
        [this] { return screens; }};
};

} // namespace

class TestDesktopOverlayController final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstApplyShowsPassiveAtTheTopRight()
    {
        Fixture f;
        f.controller.apply(coins(5), enabled());
        QVERIFY(f.surface && f.surface->shown && !f.surface->adjusting);
        QCOMPARE(f.surface->frame(), QRect(892, 24, 364, 244));
        QVERIFY(!f.controller.model().isAdjusting());
    }

    void disabledCreatesNothing()
    {
        Fixture f;
        f.controller.apply(coins(5), AppSettings());
        QCOMPARE(f.created, 0);
        f.controller.beginAdjusting();
        QCOMPARE(f.created, 0);
    }

    void priceUpdateOfTheSameSizeDoesNotMove()
    {
        Fixture f;
        f.controller.apply(coins(5), enabled());
        const int moves = f.surface->moves;
        QList<Coin> moved = coins(5);
        moved[0].currentPrice = 99.0;
        f.controller.apply(moved, enabled());
        QCOMPARE(f.surface->moves, moves);
        QCOMPARE(f.controller.model().content().rows.first().price, 99.0);

        // A new row changes the size: placed again, same corner.
        f.controller.apply(coins(6), enabled());
        QCOMPARE(f.surface->moves, moves + 1);
        QCOMPARE(f.surface->frame(), QRect(892, 24, 364, 283));
        QCOMPARE(f.created, 1);
    }

    // Switched on while running: shown in adjust mode; Done stores the corner,
    // which comes back through the settings and is clamped to the screen.
    void enablingLaterAdjustsAndDoneSavesTheCorner()
    {
        Fixture f;
        CoinCatalog catalog(
            {CoinMetadata {QStringLiteral("bitcoin"), QStringLiteral("BTC"), QStringLiteral("Bitcoin")}}, Bundle());
        Test::FakeTimerFactory timers;
        Test::FakePriceService prices;
        Test::RecordingNotifier notifier;
        CoinListViewModel coinList(catalog, f.settings, prices, notifier, timers, systemClock());
        f.controller.bind(coinList, f.settings);
        QCOMPARE(f.created, 0);

        f.settings.update([](AppSettings &settings) { settings.desktopOverlayEnabled = true; });
        QVERIFY(f.surface && f.surface->adjusting);
        QVERIFY(f.controller.model().isAdjusting());

        // The user drags it half off the screen and presses Done.
        f.surface->m_frame.moveTopLeft(QPoint(1200, 700));
        f.controller.model().onDoneAdjusting();
        QVERIFY(!f.surface->adjusting);
        QCOMPARE(f.store.stored->desktopOverlayTopLeft, (DesktopOverlayOrigin {1200, 700}));
        const QSize size = f.surface->frame().size();
        QCOMPARE(f.surface->frame().topLeft(), QPoint(1280 - size.width(), 800 - size.height()));
    }

    void disablingAbandonsAnAdjustment()
    {
        Fixture f;
        f.controller.apply(coins(2), AppSettings());
        f.controller.apply(coins(2), enabled());
        QVERIFY(f.controller.model().isAdjusting());
        f.controller.apply(coins(2), AppSettings());
        QVERIFY(!f.controller.model().isAdjusting());
        QVERIFY(!f.surface->shown);
        QCOMPARE(f.store.saves, 0);
    }

    void placeWindowFollowsScreens()
    {
        Fixture f;
        f.controller.apply(coins(5), enabled(DesktopOverlayOrigin {1500, 300}));
        f.screens = {kScreen, QRectF(1280, 0, 1920, 1080)};
        f.controller.placeWindow();
        QCOMPARE(f.surface->frame().topLeft(), QPoint(1500, 300));
        // The second screen is unplugged: back to the nearest one, inside it.
        f.screens = {kScreen};
        f.controller.placeWindow();
        QCOMPARE(f.surface->frame().topLeft(), QPoint(916, 300));
    }
};

QTEST_GUILESS_MAIN(TestDesktopOverlayController)
#include "tst_desktopoverlaycontroller.moc"
