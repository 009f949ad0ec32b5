// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetviews.h"

#include "coinlogopainting.h"
#include "i18n/localizationmanager.h"
#include "priceformatter.h"
#include "settings/pricecolors.h"
#include "sparkline.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Vantrell {

namespace {

constexpr qreal kRowLogoSize = 22;
constexpr qreal kHeaderLogoSize = 16;
constexpr qreal kEmptyLogoSize = 48;
constexpr qreal kEmptySpacing = 8;
constexpr qreal kBadgeFontRatio = 0.3;
constexpr qreal kSparklineWidth = 52;
constexpr qreal kSparklineHeight = 18;
constexpr qreal kChartPriceColumn = 72;
const QColor kWarningOrange(0xFF, 0x95, 0x00);

QFontMetricsF metrics(const QPainter &painter, const QFont &font)
{
    return QFontMetricsF(font, painter.device());
}

// The scale from logical to device pixels.
qreal deviceScale(const QPainter &painter)
{
    const QTransform transform = painter.deviceTransform();
    return std::max(std::hypot(transform.m11(), transform.m12()), 0.01);
}

// Three passes of a box blur approach a Gaussian; the radius is in pixels.
void blurAlpha(std::vector<uchar> &alpha, int width, int height, int radius)
{
    std::vector<uchar> line(std::max(width, height));
    const int window = 2 * radius + 1;
    const auto pass = [&](int count, int length, auto index) {
        for (int i = 0; i < count; ++i) {
            // The window [j - radius, j + radius], with transparent pixels beyond the edges.
            int sum = 0;
            for (int k = 0; k <= std::min(radius, length - 1); ++k)
                sum += alpha[index(i, k)];
            for (int j = 0; j < length; ++j) {
                line[j] = uchar(sum / window);
                if (j - radius >= 0)
                    sum -= alpha[index(i, j - radius)];
                if (j + radius + 1 < length)
                    sum += alpha[index(i, j + radius + 1)];
            }
            for (int j = 0; j < length; ++j)
                alpha[index(i, j)] = line[j];
        }
    };
    for (int p = 0; p < 3; ++p) {
        pass(height, width, [width](int row, int column) { return std::size_t(row) * width + column; });
        pass(width, height, [width](int column, int row) { return std::size_t(row) * width + column; });
    }
}

// A shadow of half a point hugs the glyphs: grow them by a pixel instead of
// blurring, which would thin the shadow out to nothing around thin strokes.
// The 3 × 3 maximum is taken as a row pass and a column pass.
void growAlpha(std::vector<uchar> &alpha, int width, int height)
{
    std::vector<uchar> rows(alpha.size());
    for (int y = 0; y < height; ++y) {
        const uchar *in = &alpha[std::size_t(y) * width];
        uchar *out = &rows[std::size_t(y) * width];
        for (int x = 0; x < width; ++x)
            out[x] = std::max({in[std::max(0, x - 1)], in[x], in[std::min(width - 1, x + 1)]});
    }
    for (int y = 0; y < height; ++y) {
        const uchar *above = &rows[std::size_t(std::max(0, y - 1)) * width];
        const uchar *same = &rows[std::size_t(y) * width];
        const uchar *below = &rows[std::size_t(std::min(height - 1, y + 1)) * width];
        uchar *out = &alpha[std::size_t(y) * width];
        for (int x = 0; x < width; ++x)
            out[x] = std::max({above[x], same[x], below[x]});
    }
}

// The halo of `text`: two black shadows centred on the glyphs, 45 % with a
// radius of half a point and 15 % with a radius of 3, made from one rendering
// of the glyphs and drawn as one image.
void paintHalo(QPainter &painter, QPointF baselineStart, const QString &text, const QFont &font)
{
    constexpr qreal wideRadius = 3;
    const qreal scale = deviceScale(painter);
    const QFontMetricsF fm = metrics(painter, font);
    const qreal margin = std::ceil(wideRadius * 2 + 1);
    const QRectF bounds = fm.boundingRect(text).translated(baselineStart).adjusted(-margin, -margin, margin, margin);
    const QSize pixels(int(std::ceil(bounds.width() * scale)), int(std::ceil(bounds.height() * scale)));
    if (pixels.isEmpty())
        return;

    QImage glyphs(pixels, QImage::Format_Alpha8);
    glyphs.fill(0);
    glyphs.setDevicePixelRatio(scale);
    // Same dots per inch as the target, so the font has the same pixel size.
    glyphs.setDotsPerMeterX(qRound(painter.device()->logicalDpiX() / 0.0254));
    glyphs.setDotsPerMeterY(qRound(painter.device()->logicalDpiY() / 0.0254));
    {
        QPainter glyphPainter(&glyphs);
        glyphPainter.setFont(font);
        glyphPainter.setPen(Qt::black);
        glyphPainter.drawText(baselineStart - bounds.topLeft(), text);
    }

    const int width = pixels.width();
    const int height = pixels.height();
    std::vector<uchar> tight(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        std::copy_n(glyphs.constScanLine(y), width, &tight[std::size_t(y) * width]);

    // The wide shadow is soft: blur it at one sample per logical pixel, which
    // at twice the resolution is a quarter of the work, and let it be scaled up.
    const int step = std::max(1, qRound(scale));
    const int wideWidth = (width + step - 1) / step;
    const int wideHeight = (height + step - 1) / step;
    std::vector<uchar> wide(std::size_t(wideWidth) * wideHeight);
    for (int y = 0; y < wideHeight; ++y) {
        for (int x = 0; x < wideWidth; ++x) {
            int sum = 0;
            int count = 0;
            for (int dy = y * step; dy < std::min(height, (y + 1) * step); ++dy) {
                for (int dx = x * step; dx < std::min(width, (x + 1) * step); ++dx, ++count)
                    sum += tight[std::size_t(dy) * width + dx];
            }
            wide[std::size_t(y) * wideWidth + x] = uchar(sum / std::max(1, count));
        }
    }
    blurAlpha(wide, wideWidth, wideHeight, std::max(1, qRound(wideRadius * step / scale / std::sqrt(3.0))));
    QImage wideShadow(wideWidth, wideHeight, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < wideHeight; ++y) {
        auto *target = reinterpret_cast<QRgb *>(wideShadow.scanLine(y));
        for (int x = 0; x < wideWidth; ++x)
            target[x] = qRgba(0, 0, 0, wide[std::size_t(y) * wideWidth + x] * 15 / 100);
    }

    if (0.5 * scale < 1.5)
        growAlpha(tight, width, height);
    else
        blurAlpha(tight, width, height, std::max(1, qRound(0.5 * scale / std::sqrt(3.0))));
    QImage tightShadow(pixels, QImage::Format_ARGB32_Premultiplied);
    tightShadow.setDevicePixelRatio(scale);
    for (int y = 0; y < height; ++y) {
        auto *target = reinterpret_cast<QRgb *>(tightShadow.scanLine(y));
        for (int x = 0; x < width; ++x)
            target[x] = qRgba(0, 0, 0, tight[std::size_t(y) * width + x] * 45 / 100);
    }

    // Already soft: no smoothing needed when it is scaled up (smoothing would
    // also hand every call to Qt's thread pool).
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(
        QRectF(bounds.topLeft(), QSizeF(wideWidth * step / scale, wideHeight * step / scale)), wideShadow);
    painter.restore();
    painter.drawImage(bounds.topLeft(), tightShadow);
}

void paintPlainText(
    QPainter &painter, QPointF baselineStart, const QString &text, const QFont &font, const QColor &color)
{
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(baselineStart, text);
}

qreal textWidth(const QPainter &painter, const QFont &font, const QString &text)
{
    return metrics(painter, font).horizontalAdvance(text);
}

} // namespace

// A font of `size` logical pixels on the painter's device, whatever its dots
// per inch: the views are laid out in logical pixels.
QFont widgetFont(const QPainter &painter, qreal size, QFont::Weight weight)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(size * 72.0 / painter.device()->logicalDpiY());
    font.setWeight(weight);
    return font;
}

WidgetEnvironment WidgetEnvironment::fromPalette(const QPalette &palette, qreal textBoost, bool textHalo)
{
    WidgetEnvironment environment;
    environment.textBoost = textBoost;
    environment.textHalo = textHalo;
    environment.textColor = palette.color(QPalette::WindowText);
    environment.secondaryTextColor = environment.textColor;
    environment.secondaryTextColor.setAlphaF(0.55f);
    environment.accentColor = palette.color(QPalette::Highlight);
    return environment;
}

WidgetResources::WidgetResources(Bundle bundle, CoinLogoCache logoCache)
    : m_bundled(std::move(bundle))
    , m_logoCache(std::move(logoCache))
{ }

QImage WidgetResources::image(const QString &name, int pixelSide)
{
    return m_bundled.image(name, pixelSide);
}

QImage WidgetResources::coinLogo(const WidgetRow &row, int pixelSide)
{
    if (row.logoAssetName) {
        const QImage shipped = m_bundled.image(*row.logoAssetName, pixelSide);
        if (!shipped.isNull())
            return shipped;
    }
    const std::optional<QString> path = m_logoCache.fileURL(row.id);
    if (!path)
        return {};
    // The application replaces cached logos while we run: reload on a change.
    const QFileInfo info(*path);
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    const auto kept = m_cachedLogos.constFind(row.id);
    if (kept != m_cachedLogos.cend() && kept->modified == modified)
        return kept->image;
    const QImage image = modified.isValid() ? m_logoCache.loadImage(row.id) : QImage();
    m_cachedLogos.insert(row.id, {modified, image});
    return image;
}

StringBundle WidgetResources::strings(AppLanguage language)
{
    const auto kept = m_strings.constFind(language);
    if (kept != m_strings.cend())
        return kept.value();
    const StringBundle strings = LocalizationManager::bundle(language, m_bundled.bundle());
    m_strings.insert(language, strings);
    return strings;
}

qreal WidgetListLayout::rowHeight(bool large, qreal textBoost)
{
    return (large ? 38 : 30) + 2 * textBoost;
}

qreal WidgetListLayout::headerHeight(qreal textBoost)
{
    return kHeaderLogoSize + textBoost / 2;
}

qreal WidgetListLayout::height(int rowCount, bool large, qreal textBoost)
{
    if (rowCount <= 0)
        return headerHeight(textBoost);
    return headerHeight(textBoost) + spacing + rowCount * rowHeight(large, textBoost) + (rowCount - 1) * dividerHeight;
}

WidgetListLayout WidgetListLayout::of(const QRectF &rect, int rowCount, bool large, qreal textBoost)
{
    WidgetListLayout layout;
    layout.header = QRectF(rect.left(), rect.top(), rect.width(), headerHeight(textBoost));
    qreal y = layout.header.bottom() + spacing;
    const qreal height = rowHeight(large, textBoost);
    for (int i = 0; i < rowCount; ++i) {
        if (i > 0) {
            layout.dividers.append(y);
            y += dividerHeight;
        }
        layout.rows.append(QRectF(rect.left(), y, rect.width(), height));
        y += height;
    }
    return layout;
}

void SignalText::paint(
    QPainter &painter, QPointF baselineStart, const QFont &font, const WidgetEnvironment &environment) const
{
    if (!color || !environment.textHalo || symbol.isEmpty()) {
        TextHalo::paintText(painter, baselineStart, run(), font, color.value_or(environment.textColor), environment);
        return;
    }
    // Under the halo only the symbol carries the colour; the number stays legible.
    const QString head = symbol + QLatin1Char(' ');
    TextHalo::paintText(painter, baselineStart, head, font, *color, environment);
    TextHalo::paintText(painter, baselineStart + QPointF(textWidth(painter, font, head), 0), text, font,
        environment.textColor, environment);
}

QColor SecondaryText::color(const WidgetEnvironment &environment)
{
    return environment.textHalo ? QColor(255, 255, 255, 217) : environment.secondaryTextColor;
}

void TextHalo::paintText(QPainter &painter, QPointF baselineStart, const QString &text, const QFont &font,
    const QColor &color, const WidgetEnvironment &environment)
{
    if (text.isEmpty())
        return;
    if (environment.textHalo) {
        paintHalo(painter, baselineStart, text, font);
    }
    paintPlainText(painter, baselineStart, text, font, color);
}

std::optional<WidgetChangeText::Text> WidgetChangeText::make(
    const WidgetRow &row, const WidgetEntryContent &content, const StringBundle &strings)
{
    if (!row.hasMarket)
        return Text {{{}, strings.string(QStringLiteral("coin.status.delisted")), {}}, true};
    if (!row.change24hPercent)
        return std::nullopt;
    const double change = *row.change24hPercent;
    const QString number = formatChangePercent(change);
    if (number.isEmpty())
        return std::nullopt;
    const bool rise = isRise(change + 0.0);
    std::optional<QColor> color;
    if (content.colorByChange)
        color = parseHexColor(rise ? content.upColorHex : content.downColorHex);
    return Text {{rise ? QStringLiteral("\u25B2") : QStringLiteral("\u25BC"), number, color}, false};
}

std::optional<WidgetHoldingsText> WidgetHoldingsText::make(const WidgetEntryContent &content)
{
    if (!content.holdings)
        return std::nullopt;
    WidgetHoldingsText text;
    text.total = formatHoldingsAmount(content.holdings->totalValue, content.currency, false);
    WidgetRow total;
    total.change24hPercent = content.holdings->change24hPercent;
    if (const auto change = WidgetChangeText::make(total, content, StringBundle()))
        text.change = change->signal;
    return text;
}

void WidgetChangeText::Text::paint(
    QPainter &painter, QPointF baselineStart, const QFont &font, const WidgetEnvironment &environment) const
{
    if (secondary)
        TextHalo::paintText(painter, baselineStart, signal.run(), font, SecondaryText::color(environment), environment);
    else
        signal.paint(painter, baselineStart, font, environment);
}

void WidgetUpdatedText::Text::paint(
    QPainter &painter, QPointF baselineStart, const QFont &font, const WidgetEnvironment &environment) const
{
    if (stale)
        signal.paint(painter, baselineStart, font, environment);
    else
        TextHalo::paintText(painter, baselineStart, signal.text, font, SecondaryText::color(environment), environment);
}

std::optional<WidgetUpdatedText::Text> WidgetUpdatedText::make(const WidgetEntryContent &content, const QDateTime &now)
{
    if (!content.updatedAt)
        return std::nullopt;
    const QString time = shortTime(content.updatedAt->toLocalTime().time(), content.language);
    if (content.updatedAt->msecsTo(now) > staleAfterSeconds * 1000)
        return Text {{QStringLiteral("\u26A0\uFE0E"), time, kWarningOrange}, true};
    return Text {{{}, time, {}}, false};
}

bool widgetDrawsTheSame(
    const WidgetEntryContent &a, const QDateTime &aNow, const WidgetEntryContent &b, const QDateTime &bNow)
{
    if (WidgetUpdatedText::make(a, aNow) != WidgetUpdatedText::make(b, bNow))
        return false;
    WidgetEntryContent untimedA = a;
    WidgetEntryContent untimedB = b;
    untimedA.updatedAt.reset();
    untimedB.updatedAt.reset();
    return untimedA == untimedB;
}

void WidgetCoinLogo::paint(QPainter &painter, const QRectF &square, const WidgetRow &row, WidgetResources &resources,
    const WidgetEnvironment &environment)
{
    const int pixelSide = qCeil(square.width() * deviceScale(painter));
    const QImage logo = resources.coinLogo(row, pixelSide);
    if (!logo.isNull())
        paintCircularLogo(painter, square, logo);
    else
        paintCoinLogoPlaceholder(painter, square, row.symbol, environment.accentColor, kBadgeFontRatio);
}

void WidgetEmptyView::paint(QPainter &painter, const QRectF &rect, const WidgetEntryContent &content,
    WidgetResources &resources, const WidgetEnvironment &environment)
{
    const QString text = resources.strings(content.language).string(QStringLiteral("widget.empty"));
    const QFont font = widgetFont(painter, 12 + environment.textBoost, QFont::Normal);
    const QFontMetricsF fm = metrics(painter, font);

    // Wrapped to the width (Chinese has no spaces to break at; QTextLayout knows where it may).
    QTextLayout layout(text, font, painter.device());
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal textHeight = 0;
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(rect.width());
        line.setPosition(QPointF(0, textHeight));
        textHeight += line.height();
    }
    layout.endLayout();

    const qreal top = rect.center().y() - (kEmptyLogoSize + kEmptySpacing + textHeight) / 2;
    const QRectF logo(rect.center().x() - kEmptyLogoSize / 2, top, kEmptyLogoSize, kEmptyLogoSize);
    const QImage image = resources.image(QStringLiteral("app-logo"), qCeil(kEmptyLogoSize * deviceScale(painter)));
    if (!image.isNull())
        painter.drawImage(logo, image);

    const qreal textTop = logo.bottom() + kEmptySpacing;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const QString part = text.mid(line.textStart(), line.textLength()).trimmed();
        const qreal width = fm.horizontalAdvance(part);
        const QPointF baseline(rect.center().x() - width / 2, textTop + line.y() + line.ascent());
        TextHalo::paintText(painter, baseline, part, font, SecondaryText::color(environment), environment);
    }
}

void WidgetListRow::paint(QPainter &painter, const QRectF &rect, const WidgetRow &row,
    const WidgetEntryContent &content, bool chart, WidgetResources &resources, const WidgetEnvironment &environment)
{
    const qreal boost = environment.textBoost;
    const QFont symbolFont = widgetFont(painter, 13 + boost, QFont::DemiBold);
    const QFont nameFont = widgetFont(painter, 11 + boost, QFont::Normal);
    const QFont priceFont = widgetFont(painter, 13 + boost, QFont::DemiBold);
    const QFont changeFont = widgetFont(painter, 11.5 + boost, QFont::DemiBold);
    const QFontMetricsF symbolMetrics = metrics(painter, symbolFont);
    const QFontMetricsF nameMetrics = metrics(painter, nameFont);

    // Symbol over name, the ink between the symbol's cap height and the name's
    // baseline centred in the row (a font's line box has room above the caps
    // that would push the pair down); price and change share the symbol's baseline.
    const qreal lineGap = symbolMetrics.descent() + nameMetrics.ascent();
    const qreal ink = symbolMetrics.capHeight() + lineGap + nameMetrics.descent() / 2;
    const qreal baseline = rect.center().y() - ink / 2 + symbolMetrics.capHeight();
    const qreal nameBaseline = baseline + lineGap;

    const QRectF logo(rect.left(), rect.center().y() - kRowLogoSize / 2, kRowLogoSize, kRowLogoSize);
    WidgetCoinLogo::paint(painter, logo, row, resources, environment);

    const qreal changeWidth = 74 + 6.5 * boost;
    const qreal changeLeft = rect.right() - changeWidth;
    if (const auto change = WidgetChangeText::make(row, content, resources.strings(content.language))) {
        const QString run = change->signal.run();
        const QString shown = metrics(painter, changeFont).elidedText(run, Qt::ElideRight, changeWidth);
        const QPointF start(rect.right() - textWidth(painter, changeFont, shown), baseline);
        if (change->secondary)
            TextHalo::paintText(painter, start, shown, changeFont, SecondaryText::color(environment), environment);
        else
            change->signal.paint(painter, start, changeFont, environment);
    }

    qreal textRight = changeLeft - WidgetListLayout::spacing;
    if (row.price) {
        const QString price = formatPrice(*row.price, content.currency, true);
        const qreal width = textWidth(painter, priceFont, price);
        const qreal left = textRight - width;
        TextHalo::paintText(painter, QPointF(left, baseline), price, priceFont, environment.textColor, environment);
        // With lines drawn, prices take a column of their own, so that the lines line up.
        textRight
            = (chart ? std::min(left, textRight - kChartPriceColumn - 6.5 * boost) : left) - WidgetListLayout::spacing;
    }
    // The 24-hour line between the name and the price, in the change's colour,
    // when there is room for it beside a legible name.
    if (chart && !row.history24h.isEmpty() && textRight - logo.right() > kSparklineWidth + 64) {
        const QRectF line(
            textRight - kSparklineWidth, rect.center().y() - kSparklineHeight / 2, kSparklineWidth, kSparklineHeight);
        const auto change = WidgetChangeText::make(row, content, resources.strings(content.language));
        const QColor color = change && !change->secondary && change->signal.color ? *change->signal.color
                                                                                  : SecondaryText::color(environment);
        paintSparkline(painter, row.history24h, line, color);
        textRight = line.left() - WidgetListLayout::spacing;
    }

    const qreal textLeft = logo.right() + WidgetListLayout::spacing;
    const qreal available = std::max<qreal>(0, textRight - textLeft);
    TextHalo::paintText(painter, QPointF(textLeft, baseline),
        symbolMetrics.elidedText(row.symbol, Qt::ElideRight, available), symbolFont, environment.textColor,
        environment);
    TextHalo::paintText(painter, QPointF(textLeft, nameBaseline),
        nameMetrics.elidedText(row.name, Qt::ElideRight, available), nameFont, SecondaryText::color(environment),
        environment);
}

void WidgetListView::paint(QPainter &painter, const QRectF &rect, const WidgetEntryContent &content,
    const QDateTime &now, bool large, WidgetResources &resources, const WidgetEnvironment &environment)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!content.hasPrices()) {
        WidgetEmptyView::paint(painter, rect, content, resources, environment);
        painter.restore();
        return;
    }

    const qreal boost = environment.textBoost;
    const WidgetListLayout layout = WidgetListLayout::of(rect, int(content.rows.size()), large, boost);

    // Header: logo, title, and the update time at the trailing end.
    const QRectF header = layout.header;
    const QRectF logo(header.left(), header.center().y() - kHeaderLogoSize / 2, kHeaderLogoSize, kHeaderLogoSize);
    const QImage appLogo = resources.image(QStringLiteral("app-logo"), qCeil(kHeaderLogoSize * deviceScale(painter)));
    if (!appLogo.isNull())
        painter.drawImage(logo, appLogo);
    const QFont titleFont = widgetFont(painter, 12 + boost, QFont::DemiBold);
    const QFont timeFont = widgetFont(painter, 11 + boost, QFont::Normal);
    const QFontMetricsF titleMetrics = metrics(painter, titleFont);
    const qreal headerBaseline = header.center().y() + (titleMetrics.ascent() - titleMetrics.descent()) / 2;

    qreal titleRight = header.right();
    if (const auto updated = WidgetUpdatedText::make(content, now)) {
        const qreal width = textWidth(painter, timeFont, updated->signal.run());
        const QPointF start(header.right() - width, headerBaseline);
        updated->paint(painter, start, timeFont, environment);
        titleRight = start.x() - WidgetListLayout::spacing;
    }
    const qreal titleLeft = logo.right() + WidgetListLayout::spacing;
    if (const auto holdings = WidgetHoldingsText::make(content)) {
        // The total in place of the title, its change after it when there is room.
        const QString total
            = titleMetrics.elidedText(holdings->total, Qt::ElideRight, std::max<qreal>(0, titleRight - titleLeft));
        TextHalo::paintText(
            painter, QPointF(titleLeft, headerBaseline), total, titleFont, environment.textColor, environment);
        const qreal changeLeft = titleLeft + textWidth(painter, titleFont, total) + WidgetListLayout::spacing;
        if (holdings->change && changeLeft + textWidth(painter, timeFont, holdings->change->run()) <= titleRight)
            holdings->change->paint(painter, QPointF(changeLeft, headerBaseline), timeFont, environment);
    } else {
        const QString title
            = titleMetrics.elidedText(resources.strings(content.language).string(QStringLiteral("widget.list.title")),
                Qt::ElideRight, std::max<qreal>(0, titleRight - titleLeft));
        TextHalo::paintText(
            painter, QPointF(titleLeft, headerBaseline), title, titleFont, environment.textColor, environment);
    }

    QColor divider = environment.textHalo ? QColor(Qt::white) : environment.textColor;
    divider.setAlphaF(0.2f * 0.5f);
    for (const qreal y : layout.dividers)
        painter.fillRect(QRectF(rect.left(), y, rect.width(), WidgetListLayout::dividerHeight), divider);

    for (int i = 0; i < layout.rows.size(); ++i)
        WidgetListRow::paint(painter, layout.rows.at(i), content.rows.at(i), content, large && content.showCharts,
            resources, environment);
    painter.restore();
}

} // namespace Vantrell
