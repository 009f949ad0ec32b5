// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/localizationmanager.h"
#include "platform/bundle.h"
#include "testenvironment.h"
#include "tray/menubarviewmodel.h"
#include "tray/statustitlerenderer.h"
#include "widgetkit/holdingstext.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Vantrell;

Q_DECLARE_METATYPE(Vantrell::StatusPresentation)
Q_DECLARE_METATYPE(Vantrell::HoldingsTotals)

namespace {
constexpr int kHeight = 44;

StatusPresentation title(
    const QString &text, bool plain, PriceColor textColor, std::optional<QColor> background, int cornerRadius)
{
    StatusPresentation presentation;
    presentation.kind = StatusPresentation::Kind::title;
    presentation.text = text;
    presentation.plain = plain;
    presentation.textColor = textColor;
    presentation.background = background;
    presentation.cornerRadius = cornerRadius;
    presentation.coinSymbol = QStringLiteral("BTC");
    presentation.coinName = QStringLiteral("Bitcoin");
    presentation.change24hPercent = 2.314;
    return presentation;
}

bool near(QColor a, QColor b, int tolerance = 8)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

QColor pixel(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y).toRgb();
}

// Opaque pixels of `color` (glyph cores are fully covered).
int countPixels(const QImage &image, QColor color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (near(pixel(image, x, y), color))
                ++count;
        }
    }
    return count;
}

// The rows and columns holding text: bands of rows (text lines) and the ink's
// horizontal extent. A pixel is ink when it is at least half covered by the
// text: more opaque than not, and nearer to the text colour than to the
// background.
struct Ink
{
    int lines = 0;
    int left = -1;
    int right = -1;
    int lastLineHeight = 0; // rows of the last line of text: the price
};

int distance(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

Ink inkOf(const QImage &image, QColor text, QColor background)
{
    Ink ink;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        bool rowHasInk = false;
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = pixel(image, x, y);
            const bool isInk = colour.alpha() >= 128
                && (background.alpha() == 0 || distance(colour, text) < distance(colour, background));
            if (!isInk)
                continue;
            rowHasInk = true;
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
        if (rowHasInk && !inLine) {
            ++ink.lines;
            ink.lastLineHeight = 0;
        }
        if (rowHasInk)
            ++ink.lastLineHeight;
        inLine = rowHasInk;
    }
    return ink;
}

// A 20 x 20 logo: a blue square with a transparent border of 4 pixels.
QString writeLogo(const QString &directory)
{
    QImage logo(20, 20, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.fillRect(4, 4, 12, 12, Qt::blue);
    painter.end();
    const QString path = directory + QStringLiteral("/logo.png");
    logo.save(path);
    return path;
}
} // namespace

class TestStatusTitleRenderer final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void titleFollowsTheColourTable_data()
    {
        QTest::addColumn<StatusPresentation>("presentation");
        QTest::addColumn<QColor>("panelText");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("text");

        const QColor none = Qt::transparent;
        QTest::newRow("colour on, background off")
            << title(QStringLiteral("BTC 97,342"), false, PriceColor::of(kRiseGreen), std::nullopt, 0)
            << QColor(Qt::white) << none << kRiseGreen;
        QTest::newRow("colour on, background on")
            << title(QStringLiteral(" BTC 97,342 "), false, PriceColor::of(Qt::white), kFallRed, 4) << QColor(Qt::black)
            << kFallRed << QColor(Qt::white);
        QTest::newRow("colour off, background on, dark panel")
            << title(QStringLiteral(" BTC 97,342 "), false, PriceColor::of(Qt::black), QColor(Qt::white), 4)
            << QColor(Qt::white) << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("colour off, background on, light panel")
            << title(QStringLiteral(" BTC 97,342 "), false, PriceColor::of(Qt::white), QColor(Qt::black), 4)
            << QColor(Qt::black) << QColor(Qt::black) << QColor(Qt::white);
        QTest::newRow("colour off, background off: panel's text colour")
            << title(QStringLiteral("BTC 97,342"), true, PriceColor::neutral(), std::nullopt, 0) << QColor(Qt::white)
            << none << QColor(Qt::white);
        QTest::newRow("neutral change on a background: panel's text colour")
            << title(QStringLiteral(" BTC 97,342 "), false, PriceColor::of(Qt::white), QColor(), 4) << QColor(Qt::black)
            << QColor(Qt::black) << QColor(Qt::white);
        QTest::newRow("neutral change without background")
            << title(QStringLiteral("BTC 97,342"), false, PriceColor::neutral(), std::nullopt, 0) << QColor(Qt::black)
            << none << QColor(Qt::black);
    }

    void titleFollowsTheColourTable()
    {
        QFETCH(StatusPresentation, presentation);
        QFETCH(QColor, panelText);
        QFETCH(QColor, background);
        QFETCH(QColor, text);
        const StatusTitleRenderer renderer(std::nullopt);

        const QImage image = renderer.titleImage(presentation, kHeight, panelText);
        QCOMPARE(image.height(), kHeight);
        QVERIFY2(image.width() > 3 * kHeight, "a wide image, not an icon");
        const int w = image.width();

        // Edges away from the corners show the background (or nothing).
        for (const QPoint at :
            {QPoint(0, kHeight / 2), QPoint(w - 1, kHeight / 2), QPoint(w / 2, 0), QPoint(w / 2, kHeight - 1)})
            QVERIFY2(near(pixel(image, at.x(), at.y()), background),
                qPrintable(QStringLiteral("at %1,%2: %3")
                               .arg(at.x())
                               .arg(at.y())
                               .arg(pixel(image, at.x(), at.y()).name(QColor::HexArgb))));
        // A background is rounded: its corners stay clear.
        for (const QPoint at : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, kHeight - 1), QPoint(w - 1, kHeight - 1)})
            QCOMPARE(pixel(image, at.x(), at.y()).alpha(), 0);
        QVERIFY2(countPixels(image, text) > 20, "the text is drawn in its colour");
    }

    void digitsKeepTheirWidth()
    {
        const StatusTitleRenderer renderer(std::nullopt);
        const auto widthOf = [&](const QString &text) {
            return renderer
                .titleImage(title(text, false, PriceColor::of(kRiseGreen), std::nullopt, 0), kHeight, Qt::white)
                .width();
        };
        QCOMPARE(widthOf(QStringLiteral("BTC 11,111")), widthOf(QStringLiteral("BTC 88,888")));
        QVERIFY(widthOf(QStringLiteral("BTC 111,111")) > widthOf(QStringLiteral("BTC 11,111")));
    }

    void logoIsATemplateTintedWithTheGivenColour()
    {
        const StatusTitleRenderer renderer(writeLogo(m_dir.path()));
        QVERIFY(renderer.hasLogo());
        const QImage image = renderer.logoImage(40, kFallRed);
        QCOMPARE(image.size(), QSize(40, 40));
        QVERIFY(near(pixel(image, 20, 20), kFallRed));
        QCOMPARE(pixel(image, 2, 2).alpha(), 0);

        StatusPresentation icon;
        QCOMPARE(renderer.titleImage(icon, 40, kFallRed), image);
    }

    void bundledSvgLogoRenders()
    {
        const StatusTitleRenderer renderer(QStringLiteral(VANTRELL_RESOURCES_DIR "/bundle/images/menubar-logo.svg"));
        QVERIFY(renderer.hasLogo());
        const QImage image = renderer.logoImage(36, kRiseGreen);
        QVERIFY(countPixels(image, kRiseGreen) > 36);
        QCOMPARE(countPixels(image, Qt::black), 0);
    }

    void missingOrBrokenLogoGivesNoImage()
    {
        const QString broken = m_dir.path() + QStringLiteral("/broken.svg");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<svg");
        file.close();
        for (const std::optional<QString> &path : {std::optional<QString>(), std::optional(broken),
                 std::optional<QString>(m_dir.path() + QStringLiteral("/none.png"))}) {
            if (path)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Logo unreadable")));
            const StatusTitleRenderer renderer(path);
            QVERIFY(!renderer.hasLogo());
            QVERIFY(renderer.logoImage(22, Qt::white).isNull());
        }
    }

    // The square icon follows the same colour table as the wide title.
    void priceIconFillsTheSquare_data() { titleFollowsTheColourTable_data(); }

    void priceIconFillsTheSquare()
    {
        QFETCH(StatusPresentation, presentation);
        QFETCH(QColor, panelText);
        QFETCH(QColor, background);
        QFETCH(QColor, text);
        presentation.price = 43714.2;
        const StatusTitleRenderer renderer(std::nullopt);

        for (const int size : {16, 22, 24, 32}) {
            const QImage image = renderer.priceIconImage(presentation, size, panelText);
            QCOMPARE(image.size(), QSize(size, size));
            // The background's fill at the side; without one the text may
            // reach the sides, so the corner shows the transparency.
            QVERIFY(near(background.alpha() > 0 ? pixel(image, 0, size / 2) : pixel(image, 0, 0), background));
            // Rounded corners.
            if (background.alpha() > 0)
                QVERIFY(pixel(image, 0, 0).alpha() < 32);
            const Ink ink = inkOf(image, text, background);
            // "BTC" over "43.7k" where the price stays 8 pixels tall below
            // it, else the price alone ("43.7k", "44k" below 20 pixels).
            QCOMPARE(ink.lines, size < 32 ? 1 : 2);
            if (size >= 22)
                QVERIFY2(ink.lastLineHeight >= 8,
                    qPrintable(QStringLiteral("%1 px: the price is %2 px tall").arg(size).arg(ink.lastLineHeight)));
            const int margin = background.alpha() > 0 ? 1 : 0;
            QVERIFY2(ink.left >= margin && ink.right <= size - 1 - margin, qPrintable(QString::number(size)));
            QVERIFY2(ink.right - ink.left + 1 >= size * 3 / 4 - 2 * margin,
                qPrintable(QStringLiteral("%1 px: ink %2 to %3").arg(size).arg(ink.left).arg(ink.right)));
        }
    }

    void priceIconWithoutAPriceIsTheLogo()
    {
        const StatusTitleRenderer renderer(writeLogo(m_dir.path()));
        StatusPresentation noPrice = title(QStringLiteral("BTC 1"), false, PriceColor::of(kRiseGreen), std::nullopt, 0);
        QCOMPARE(renderer.priceIconImage(noPrice, 22, Qt::white), renderer.logoImage(22, Qt::white));
        QCOMPARE(renderer.priceIconImage(StatusPresentation(), 22, Qt::white), renderer.logoImage(22, Qt::white));
    }

    void indicatorShowsThePriceColour_data()
    {
        QTest::addColumn<StatusPresentation>("presentation");
        QTest::addColumn<QColor>("centre");

        const QColor logo(Qt::white);
        QTest::newRow("coloured text") << title(QStringLiteral("BTC 1"), false, PriceColor::of(kRiseGreen),
            std::nullopt, 0) << kRiseGreen;
        QTest::newRow("coloured background")
            << title(QStringLiteral(" BTC 1 "), false, PriceColor::of(Qt::white), kFallRed, 4) << kFallRed;
        QTest::newRow("appearance background: logo")
            << title(QStringLiteral(" BTC 1 "), false, PriceColor::of(Qt::black), QColor(Qt::white), 4) << logo;
        QTest::newRow("plain: logo") << title(QStringLiteral("BTC 1"), true, PriceColor::neutral(), std::nullopt, 0)
                                     << logo;
        QTest::newRow("neutral: logo") << title(QStringLiteral("BTC 1"), false, PriceColor::neutral(), std::nullopt, 0)
                                       << logo;
        QTest::newRow("icon: logo") << StatusPresentation() << logo;
    }

    void indicatorShowsThePriceColour()
    {
        QFETCH(StatusPresentation, presentation);
        QFETCH(QColor, centre);
        const StatusTitleRenderer renderer(writeLogo(m_dir.path()));
        const QImage image = renderer.indicatorImage(presentation, 32, Qt::white);
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(near(pixel(image, 16, 16), centre));
        QCOMPARE(pixel(image, 1, 1).alpha(), 0);
    }

    void toolTip_data()
    {
        QTest::addColumn<StatusPresentation>("presentation");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");

        StatusPresentation rising
            = title(QStringLiteral(" BTC 97,342 "), false, PriceColor::of(Qt::white), kRiseGreen, 4);
        QTest::newRow("rising, spaces of the background trimmed") << rising << "BTC 97,342"
                                                                  << "Bitcoin +2.31%";
        StatusPresentation falling = rising;
        falling.change24hPercent = -0.567;
        QTest::newRow("falling") << falling << "BTC 97,342"
                                 << "Bitcoin -0.57%";
        StatusPresentation unknownChange = rising;
        unknownChange.change24hPercent.reset();
        QTest::newRow("no change known") << unknownChange << "BTC 97,342"
                                         << "Bitcoin";
        StatusPresentation nanChange = rising;
        nanChange.change24hPercent = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("unreadable change") << nanChange << "BTC 97,342"
                                           << "Bitcoin";
        StatusPresentation noName = rising;
        noName.coinName.clear();
        QTest::newRow("no name: the symbol") << noName << "BTC 97,342"
                                             << "BTC +2.31%";
        QTest::newRow("icon") << StatusPresentation() << "Vantrell"
                              << "";
        StatusPresentation stale = rising;
        stale.stalePricesTime = QStringLiteral("2:05 PM");
        QTest::newRow("stale title") << stale << "BTC 97,342"
                                     << "Bitcoin +2.31%\nPrices are stale, last update 2:05 PM";
        StatusPresentation staleIcon;
        staleIcon.stalePricesTime = QStringLiteral("2:05 PM");
        QTest::newRow("stale icon") << staleIcon << "Vantrell"
                                    << "Prices are stale, last update 2:05 PM";
        StatusPresentation held = stale;
        held.holdingsLine = QStringLiteral("Holdings: $12,346 (+2.10% today)");
        QTest::newRow("holdings before the stale line")
            << held << "BTC 97,342"
            << "Bitcoin +2.31%\nHoldings: $12,346 (+2.10% today)\nPrices are stale, last update 2:05 PM";
        StatusPresentation heldIcon;
        heldIcon.holdingsLine = held.holdingsLine;
        QTest::newRow("holdings under the icon") << heldIcon << "Vantrell"
                                                 << "Holdings: $12,346 (+2.10% today)";
        StatusPresentation refusedIcon = staleIcon;
        refusedIcon.networkRefused = true;
        QTest::newRow("refused, the reason first") << refusedIcon << "Vantrell"
                                                   << "The exchanges refuse connections from this network.\n"
                                                      "Prices are stale, last update 2:05 PM";
        StatusPresentation refusedTitle = rising;
        refusedTitle.networkRefused = true;
        QTest::newRow("refused under a title") << refusedTitle << "BTC 97,342"
                                               << "Bitcoin +2.31%\nThe exchanges refuse connections from this network.";
    }

    void holdingsLine_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<HoldingsTotals>("totals");
        QTest::addColumn<BaseCurrency>("currency");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("line");

        const HoldingsTotals all {4, 4, 12345.67, 253.9, 2.1};
        const HoldingsTotals some {4, 3, 12345.67, 253.9, 2.1};
        QTest::newRow("nothing held") << AppLanguage::en << HoldingsTotals {} << BaseCurrency::usd << false << "";
        QTest::newRow("all priced") << AppLanguage::en << all << BaseCurrency::usd << false
                                    << "Holdings: $12,346 (+2.10% today)";
        QTest::newRow("some unpriced") << AppLanguage::en << some << BaseCurrency::usd << false
                                       << QStringLiteral("Holdings: $12,346 (+2.10% today) · 3 of 4 coins priced");
        QTest::newRow("none priced") << AppLanguage::en << HoldingsTotals {2, 0, 0} << BaseCurrency::usd << false
                                     << QStringLiteral("Holdings: -- · 0 of 2 coins priced");
        QTest::newRow("no change") << AppLanguage::en << HoldingsTotals {1, 1, 99.5} << BaseCurrency::gbp << false
                                   << QStringLiteral("Holdings: £99.50");
        QTest::newRow("hidden") << AppLanguage::en << all << BaseCurrency::usd << true
                                << QStringLiteral("Holdings: •••• (+2.10% today)");
        QTest::newRow("simplified chinese") << AppLanguage::zhHans << some << BaseCurrency::cny << false
                                            << QStringLiteral("持仓：¥12,346（今日 +2.10%） · 4 个币中 3 个有价格");
    }

    // The panel item's presentation carries the line from the watchlist and
    // the prices, under a title and under the icon alike.
    void presentationCarriesTheHoldingsLine_data()
    {
        QTest::addColumn<std::optional<double>>("holding");
        QTest::addColumn<bool>("iconMode");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("line");

        QTest::newRow("title") << std::optional<double>(0.5) << false << false
                               << QStringLiteral("Holdings: $48,671 (+2.31% today)");
        QTest::newRow("icon, hidden") << std::optional<double>(0.5) << true << true
                                      << QStringLiteral("Holdings: •••• (+2.31% today)");
        QTest::newRow("nothing held") << std::optional<double>() << false << false << QString();
    }

    void presentationCarriesTheHoldingsLine()
    {
        QFETCH(std::optional<double>, holding);
        QFETCH(bool, iconMode);
        QFETCH(bool, hidden);
        QFETCH(QString, line);
        LocalizationManager::shared().setBundle(
            LocalizationManager::bundle(AppLanguage::en, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {}));
        AppSettings settings;
        settings.menuBarContent = iconMode ? MenuBarContent::icon : MenuBarContent::price;
        settings.hideBalances = hidden;
        settings.watchlistCoins = {{QStringLiteral("bitcoin"), CoinAlertKind::change, 2.0, holding}};
        Coin bitcoin;
        bitcoin.id = QStringLiteral("bitcoin");
        bitcoin.symbol = QStringLiteral("BTC");
        bitcoin.currentPrice = 97342.6;
        bitcoin.priceChange24hPercent = 2.31;
        const StatusPresentation presentation = MenuBarViewModel::presentation({bitcoin}, settings, false);
        QCOMPARE(presentation.holdingsLine, line);
        QCOMPARE(presentation.kind == StatusPresentation::Kind::icon, iconMode);
    }

    void holdingsLine()
    {
        QFETCH(AppLanguage, language);
        QFETCH(HoldingsTotals, totals);
        QFETCH(BaseCurrency, currency);
        QFETCH(bool, hidden);
        QFETCH(QString, line);
        LocalizationManager::shared().setBundle(
            LocalizationManager::bundle(language, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {}));
        QCOMPARE(holdingsToolTipLine(totals, currency, hidden), line);
    }

    void toolTip()
    {
        LocalizationManager::shared().setBundle(
            LocalizationManager::bundle(AppLanguage::en, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {}));
        QFETCH(StatusPresentation, presentation);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QCOMPARE(statusToolTip(presentation, QStringLiteral("Vantrell")), (TrayToolTip {title, text}));
    }
};

QTEST_MAIN(TestStatusTitleRenderer)
#include "tst_statustitlerenderer.moc"
