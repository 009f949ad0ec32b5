// SPDX-License-Identifier: GPL-3.0-or-later
#include "statustitlerenderer.h"

#include "i18n/localizationmanager.h"
#include "platform/logging.h"
#include "settings/pricecolors.h"
#include "widgetkit/priceformatter.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <cmath>

namespace Vantrell {

namespace {
// The title was designed for a panel 22 points high; sizes scale from there.
constexpr qreal kDesignHeight = 22.0;
// The smallest square price icon with the symbol over the price.
constexpr int kTwoLineSize = 20;
// The least height of the price's digits in the two-line icon; below it the
// icon shows the price alone (the symbol is in the tooltip).
constexpr qreal kMinTwoLinePriceInk = 8.0;

QFont titleFont(const StatusPresentation &presentation, int height)
{
    // A plain title uses the panel's own font; a coloured one the monospaced
    // font, so that digits keep their width as the price changes.
    QFont font = presentation.plain ? QGuiApplication::font() : QFont(QStringLiteral("DejaVu Sans Mono"));
    if (!presentation.plain)
        font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(6, qRound(height * 0.6)));
    font.setWeight(QFont::Normal);
    return font;
}

// The colour of price text drawn straight onto the panel: the price colour
// moved away from the panel's lightness until it reads as text there (the
// panel's text colour says which way: light text, dark panel). A plain title
// and text on the title's own background keep their colours.
QColor textColorOnPanel(const StatusPresentation &presentation, const QColor &panelTextColor, bool onBackground)
{
    if (presentation.plain)
        return panelTextColor;
    const QColor color = presentation.textColor.resolved(panelTextColor);
    if (onBackground || presentation.textColor.isNeutral())
        return color;
    return colorOnPanel(color, panelTextColor.lightness() > 128);
}

QImage transparentImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Fills `rect` with the presentation's background, rounded to its radius at
// the scale of `height`; false when it has none.
bool paintBackground(
    QPainter &painter, QRect rect, const StatusPresentation &presentation, int height, const QColor &panelTextColor)
{
    if (presentation.plain || !presentation.background)
        return false;
    const qreal radius = std::max(0, presentation.cornerRadius) * height / kDesignHeight;
    QPainterPath path;
    path.addRoundedRect(QRectF(rect), radius, radius);
    // An invalid colour stands for the neutral price colour, the panel's text colour.
    painter.fillPath(path, presentation.background->isValid() ? *presentation.background : panelTextColor);
    return true;
}

// The face of the square price icon: a bold sans whose digits stay apart at a
// few pixels, condensed so that five characters fit a square at a readable
// height (Qt narrows the face itself where no condensed one is installed),
// with crisp baselines and tops.
QFont priceIconFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setStretch(QFont::Condensed);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

struct FittedText
{
    QFont font;
    // The ink of the text relative to its origin on the baseline.
    QRectF ink;
};

// `text` at the largest whole pixel size whose ink fits `box`.
FittedText fitText(const QString &text, QSizeF box, QFont font)
{
    constexpr int kReferencePixels = 100;
    font.setPixelSize(kReferencePixels);
    const QRectF reference = QFontMetricsF(font).tightBoundingRect(text);
    if (reference.isEmpty() || box.isEmpty())
        return {font, {}};
    // Hinting makes the ink grow a little unevenly with the size: start from
    // the proportional guess and step down until it fits.
    const qreal scale = std::min(box.width() / reference.width(), box.height() / reference.height());
    for (int pixels = int(kReferencePixels * scale) + 1; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        const QRectF ink = QFontMetricsF(font).tightBoundingRect(text);
        if (ink.width() <= box.width() && ink.height() <= box.height())
            return {font, ink};
    }
    font.setPixelSize(1);
    return {font, QFontMetricsF(font).tightBoundingRect(text)};
}

// Draws fitted text with its ink centred horizontally in `box` and its
// baseline at `baseline`, on whole pixels so that stems stay sharp.
void drawFitted(QPainter &painter, const FittedText &text, const QString &string, const QRectF &box, qreal baseline)
{
    const qreal x = std::round(box.center().x() - text.ink.width() / 2 - text.ink.left());
    painter.setFont(text.font);
    painter.drawText(QPointF(x, std::round(baseline)), string);
}
} // namespace

StatusTitleRenderer::StatusTitleRenderer(const std::optional<QString> &logoPath)
{
    if (!logoPath)
        return;
    if (QFileInfo(*logoPath).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
        auto svg = std::make_unique<QSvgRenderer>(*logoPath);
        if (svg->isValid())
            m_svg = std::move(svg);
    } else {
        m_raster = QImage(*logoPath);
    }
    if (!hasLogo())
        qCWarning(lcTray) << "Logo unreadable:" << *logoPath;
}

StatusTitleRenderer::~StatusTitleRenderer() = default;

bool StatusTitleRenderer::hasLogo() const
{
    return m_svg || !m_raster.isNull();
}

QImage StatusTitleRenderer::logoImage(int size, const QColor &color) const
{
    if (!hasLogo() || size <= 0)
        return {};
    QImage image = transparentImage(QSize(size, size));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF natural = m_svg ? QSizeF(m_svg->defaultSize()) : QSizeF(m_raster.size());
    QSizeF fitted = natural.isEmpty() ? QSizeF(size, size) : natural.scaled(size, size, Qt::KeepAspectRatio);
    const QRectF target(QPointF((size - fitted.width()) / 2, (size - fitted.height()) / 2), fitted);
    if (m_svg)
        m_svg->render(&painter, target);
    else
        painter.drawImage(target, m_raster);
    // A template image: its shape in the wanted colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

QImage StatusTitleRenderer::titleImage(
    const StatusPresentation &presentation, int height, const QColor &panelTextColor) const
{
    if (presentation.kind == StatusPresentation::Kind::icon || height <= 0)
        return logoImage(height, panelTextColor);

    const QFont font = titleFont(presentation, height);
    const QFontMetricsF metrics(font);
    const int margin = std::max(1, qRound(height * 2 / kDesignHeight));
    const int width = std::max(1, int(std::ceil(metrics.horizontalAdvance(presentation.text))) + 2 * margin);

    QImage image = transparentImage(QSize(width, height));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const bool hasBackground = paintBackground(painter, image.rect(), presentation, height, panelTextColor);

    const QColor textColor = textColorOnPanel(presentation, panelTextColor, hasBackground);
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(QRectF(margin, 0, width - 2 * margin, height), Qt::AlignCenter, presentation.text);
    return image;
}

QImage StatusTitleRenderer::priceIconImage(
    const StatusPresentation &presentation, int size, const QColor &panelTextColor) const
{
    if (presentation.kind != StatusPresentation::Kind::title || !presentation.price || size <= 0)
        return logoImage(size, panelTextColor);

    QImage image = transparentImage(QSize(size, size));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const bool hasBackground = paintBackground(painter, image.rect(), presentation, size, panelTextColor);
    painter.setPen(textColorOnPanel(presentation, panelTextColor, hasBackground));

    // A background keeps the text off its rounded edge; without one the text
    // may fill the square.
    const qreal margin = hasBackground ? std::max(1.0, std::round(size * 1.5 / kDesignHeight)) : 0.0;
    const QRectF inner = QRectF(image.rect()).adjusted(margin, margin, -margin, -margin);
    // Below 20 pixels two lines would be 4 pixels high: a small icon shows the
    // price alone, with fewer digits, and leaves the symbol to the tooltip.
    const bool small = size < kTwoLineSize;
    const QString price = formatCompactPrice(*presentation.price, small ? 2 : 3);
    const QFont font = priceIconFont();

    if (!small && !presentation.coinSymbol.isEmpty()) {
        // The price is what the icon is for: it gets the larger line, and the
        // symbol is never taller than it.
        const qreal gap = std::max(1.0, std::round(inner.height() * 0.12));
        const qreal lines = inner.height() - gap;
        const FittedText priceText = fitText(price, QSizeF(inner.width(), std::round(lines * 0.58)), font);
        if (priceText.ink.height() >= kMinTwoLinePriceInk) {
            const qreal symbolRoom = std::min(lines - priceText.ink.height(), priceText.ink.height());
            const FittedText symbolText = fitText(presentation.coinSymbol, QSizeF(inner.width(), symbolRoom), font);
            const qreal block = symbolText.ink.height() + gap + priceText.ink.height();
            const qreal top = std::round(inner.top() + (inner.height() - block) / 2);
            drawFitted(painter, symbolText, presentation.coinSymbol, inner, top - symbolText.ink.top());
            drawFitted(painter, priceText, price, inner, top + symbolText.ink.height() + gap - priceText.ink.top());
            return image;
        }
    }

    // Five characters in a small square are bound by the width: narrow the
    // face further until the digits are tall enough to read, within reason.
    FittedText fitted = fitText(price, inner.size(), font);
    for (int stretch = font.stretch() - 5; fitted.ink.height() < kMinTwoLinePriceInk && stretch >= 55; stretch -= 5) {
        QFont narrower = font;
        narrower.setStretch(stretch);
        fitted = fitText(price, inner.size(), narrower);
    }
    const qreal baseline = inner.center().y() - fitted.ink.height() / 2 - fitted.ink.top();
    drawFitted(painter, fitted, price, inner, baseline);
    return image;
}

QImage StatusTitleRenderer::indicatorImage(
    const StatusPresentation &presentation, int size, const QColor &panelTextColor) const
{
    const std::optional<QColor> color = priceColorOf(presentation);
    if (!color || size <= 0)
        return logoImage(size, panelTextColor);
    QImage image = transparentImage(QSize(size, size));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(*color);
    const qreal diameter = size * 0.5;
    painter.drawEllipse(QRectF((size - diameter) / 2, (size - diameter) / 2, diameter, diameter));
    return image;
}

std::optional<QColor> priceColorOf(const StatusPresentation &presentation)
{
    if (presentation.kind != StatusPresentation::Kind::title || presentation.plain)
        return std::nullopt;
    std::optional<QColor> color = presentation.background;
    if (!color && !presentation.textColor.isNeutral())
        color = presentation.textColor.resolved(QColor());
    if (!color || !color->isValid() || color->hslSaturation() == 0)
        return std::nullopt;
    return color;
}

TrayToolTip statusToolTip(const StatusPresentation &presentation, const QString &applicationTitle)
{
    const auto addLine = [](QString &text, const QString &line) {
        if (!line.isEmpty())
            text = text.isEmpty() ? line : text + QLatin1Char('\n') + line;
    };
    QString stale = presentation.stalePricesTime.isEmpty()
        ? QString()
        : localizedString(QStringLiteral("tray.tooltip.stale"), {presentation.stalePricesTime});
    // Says why the prices stopped, next to how old they are.
    if (presentation.networkRefused) {
        const QString refused = localizedString(QStringLiteral("market.networkRefused"));
        stale = stale.isEmpty() ? refused : refused + QLatin1Char('\n') + stale;
    }
    if (presentation.kind != StatusPresentation::Kind::title) {
        QString text = presentation.holdingsLine;
        addLine(text, stale);
        return {.title = applicationTitle, .text = text};
    }
    QString text = presentation.coinName.isEmpty() ? presentation.coinSymbol : presentation.coinName;
    if (presentation.change24hPercent) {
        const QString change = formatChangePercent(*presentation.change24hPercent);
        if (!change.isEmpty())
            text = text.isEmpty() ? change : text + QLatin1Char(' ') + change;
    }
    addLine(text, presentation.holdingsLine);
    addLine(text, stale);
    return {.title = presentation.text.trimmed(), .text = text};
}

QString labelGuide(const QString &label)
{
    QString guide = label;
    for (QChar &character : guide) {
        if (character.isDigit())
            character = QLatin1Char('8');
    }
    return guide;
}

bool paletteLooksDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor panelTextColor(bool darkPanel)
{
    return darkPanel ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace Vantrell
