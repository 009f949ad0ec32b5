// SPDX-License-Identifier: GPL-3.0-or-later
#include "statustitlerenderer.h"

#include "platform/logging.h"
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

QImage transparentImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
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

    if (!presentation.plain && presentation.background) {
        const qreal radius = std::max(0, presentation.cornerRadius) * height / kDesignHeight;
        QPainterPath path;
        path.addRoundedRect(QRectF(image.rect()), radius, radius);
        // An invalid colour stands for the neutral price colour, the panel's text colour.
        painter.fillPath(path, presentation.background->isValid() ? *presentation.background : panelTextColor);
    }

    const QColor textColor = presentation.plain ? panelTextColor : presentation.textColor.resolved(panelTextColor);
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(QRectF(margin, 0, width - 2 * margin, height), Qt::AlignCenter, presentation.text);
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
    if (presentation.kind != StatusPresentation::Kind::title)
        return {.title = applicationTitle};
    QString text = presentation.coinName.isEmpty() ? presentation.coinSymbol : presentation.coinName;
    if (presentation.change24hPercent) {
        const QString change = formatChangePercent(*presentation.change24hPercent);
        if (!change.isEmpty())
            text = text.isEmpty() ? change : text + QLatin1Char(' ') + change;
    }
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
