// SPDX-License-Identifier: GPL-3.0-or-later
// One price update of the desktop overlay with 16 coins: the controller's
// apply and the repaint of the whole overlay at twice the resolution.
#include "overlay/desktopoverlaycontroller.h"
#include "overlay/desktopoverlayview.h"
#include "platform/bundle.h"
#include "widgetkit/widgetviews.h"

#include <benchmark/benchmark.h>

#include <QPainter>

using namespace Vantrell;

namespace {

class StillSurface final : public DesktopOverlaySurface
{
public:
    QRect frame() const override { return m_frame; }
    void setFrame(const QRect &frame) override { m_frame = frame; }
    bool isShown() const override { return true; }
    void showPassive() override { }
    void showAdjusting() override { }
    void hide() override { }
    QRect m_frame;
};

void applyAndRepaint(benchmark::State &state)
{
    DesktopOverlayController controller([](DesktopOverlayModel &) { return std::make_unique<StillSurface>(); },
        [] { return QList<QRectF> {QRectF(0, 0, 1920, 1080)}; });
    WidgetResources resources(Bundle::embedded(), CoinLogoCache {});
    AppSettings settings;
    settings.desktopOverlayEnabled = true;
    settings.desktopOverlayBackgroundOpacity = state.range(0) / 100.0;
    QList<Coin> coins;
    for (int i = 0; i < 16; ++i) {
        Coin coin;
        coin.id = QStringLiteral("coin-%1").arg(i);
        coin.symbol = QStringLiteral("C%1").arg(i);
        coin.name = QStringLiteral("Coin %1").arg(i);
        coin.currentPrice = 100.0 + i;
        coin.priceChange24hPercent = i - 8.0;
        coin.lastUpdated = QDateTime::currentDateTimeUtc();
        coins.append(coin);
    }
    QImage image(QSize(364, 664) * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    double tick = 0;
    for (auto _ : state) {
        coins[0].currentPrice = 100.0 + (tick += 0.01);
        controller.apply(coins, settings);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paintDesktopOverlay(painter, QRectF(0, 0, 364, 664), controller.model(), now, true, QPalette(), resources);
    }
}
// The backdrop's opacity in percent: 100, and 10 with the legibility halo.
BENCHMARK(applyAndRepaint)->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
