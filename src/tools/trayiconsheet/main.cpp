// SPDX-License-Identifier: GPL-3.0-or-later
// vantrell-trayiconsheet DIRECTORY: writes one PNG per panel look (light and
// dark, with and without the text background, with and without price
// colours) showing the tray's square price icon for several coins and 24-hour
// changes at every size the item publishes, at their real size and magnified
// four times.
#include "settings/appsettings.h"
#include "tray/menubarviewmodel.h"
#include "tray/statustitlerenderer.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

using namespace Vantrell;

namespace {
constexpr int kSizes[] = {16, 22, 24, 32, 48};
constexpr int kSpacing = 4;
constexpr int kMagnification = 4;

struct Sample
{
    const char *symbol;
    double price;
    std::optional<double> change;
};

const Sample kSamples[] = {
    {"BTC", 43714.2, 2.31},
    {"ETH", 2238.4, -1.2},
    {"DOGE", 0.08199, std::nullopt},
    {"XVG", 0.008123, 0.4},
    {"SHIB", 0.00001234, -3.0},
    {"MATIC", 0.5432, 1.0},
    {"BTC", 1234567.0, 1.0},
};

// The icons at their real size on the panel's colour, a row per sample and a
// column per size.
QImage sheet(bool darkPanel, bool background, bool colours)
{
    const StatusTitleRenderer renderer(std::nullopt);
    int width = kSpacing;
    for (const int size : kSizes)
        width += size + kSpacing;
    const int rowHeight = kSizes[std::size(kSizes) - 1] + kSpacing;
    QImage image(width, kSpacing + int(std::size(kSamples)) * rowHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(darkPanel ? QColor(0x2b, 0x2b, 0x2b) : QColor(0xf2, 0xf2, 0xf2));
    QPainter painter(&image);

    AppSettings settings;
    settings.priceColorEnabled = colours;
    settings.showMenuBarBackground = background;
    int y = kSpacing;
    for (const Sample &sample : kSamples) {
        Coin coin;
        coin.id = QString::fromLatin1(sample.symbol).toLower();
        coin.symbol = QString::fromLatin1(sample.symbol);
        coin.name = coin.symbol;
        coin.currentPrice = sample.price;
        coin.priceChange24hPercent = sample.change;
        settings.displayedCoinId = coin.id;
        const StatusPresentation presentation = MenuBarViewModel::presentation({coin}, settings, darkPanel);
        int x = kSpacing;
        for (const int size : kSizes) {
            painter.drawImage(x, y, renderer.priceIconImage(presentation, size, panelTextColor(darkPanel)));
            x += size + kSpacing;
        }
        y += rowHeight;
    }
    return image;
}
} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const QDir directory(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    for (const bool dark : {false, true}) {
        for (const auto &[background, colours] :
            {std::pair(false, true), std::pair(true, true), std::pair(true, false)}) {
            const QString name = QStringLiteral("trayicons-%1-%2-%3.png")
                                     .arg(dark ? QStringLiteral("dark") : QStringLiteral("light"),
                                         background ? QStringLiteral("background") : QStringLiteral("text"),
                                         colours ? QStringLiteral("colours") : QStringLiteral("plain"));
            const QImage image = sheet(dark, background, colours);
            // Magnified without smoothing, so that every pixel can be judged.
            const QImage zoomed = image.scaled(image.size() * kMagnification);
            QString zoomedName = name;
            zoomedName.replace(QLatin1String(".png"), QLatin1String("-x4.png"));
            if (!image.save(directory.filePath(name)) || !zoomed.save(directory.filePath(zoomedName))) {
                std::fprintf(stderr, "Cannot write %s\n", qPrintable(directory.filePath(name)));
                return 1;
            }
        }
    }
    return 0;
}
