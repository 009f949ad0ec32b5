// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlogopainting.h"

#include <QBrush>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace Vantrell {

namespace {
constexpr qreal kPlaceholderFillOpacity = 0.15;

// The circle inscribed in `rect`, centred in it.
QRectF inscribedCircle(const QRectF &rect)
{
    const qreal side = std::min(rect.width(), rect.height());
    return QRectF(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
}
} // namespace

QString coinLogoPlaceholderText(const QString &symbol)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, symbol);
    qsizetype end = 0;
    for (int count = 0; count < 3; ++count) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            break;
        end = next;
    }
    return symbol.left(end);
}

void paintCircularLogo(QPainter &painter, const QRectF &rect, const QImage &image)
{
    if (image.isNull() || rect.isEmpty())
        return;
    // A brush drawn through an antialiased ellipse gives the circle a soft
    // edge; a clip path would be aliased on the raster engine.
    const QSizeF device = painter.deviceTransform().mapRect(rect).size();
    QImage source = image;
    const QSize target(std::max(1, int(std::ceil(device.width()))), std::max(1, int(std::ceil(device.height()))));
    // Bilinear sampling skips pixels when shrinking a lot; shrink smoothly first.
    if (source.width() > 2 * target.width() || source.height() > 2 * target.height())
        source = source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    QTransform toRect;
    toRect.translate(rect.x(), rect.y());
    toRect.scale(rect.width() / source.width(), rect.height() / source.height());
    QBrush brush(source);
    brush.setTransform(toRect);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawEllipse(inscribedCircle(rect));
    painter.restore();
}

void paintCoinLogoPlaceholder(
    QPainter &painter, const QRectF &rect, const QString &symbol, const QColor &accent, qreal fontSizeRatio)
{
    if (rect.isEmpty())
        return;
    const QRectF circle = inscribedCircle(rect);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QColor fill = accent;
    fill.setAlphaF(float(accent.alphaF() * kPlaceholderFillOpacity));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(circle);

    const QString text = coinLogoPlaceholderText(symbol);
    if (!text.isEmpty()) {
        QFont font = QGuiApplication::font();
        font.setPixelSize(std::max(1, int(std::lround(circle.width() * fontSizeRatio))));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(accent);
        painter.drawText(circle, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    painter.restore();
}

} // namespace Vantrell
