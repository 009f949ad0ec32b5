// SPDX-License-Identifier: GPL-3.0-or-later
#include "historychartview.h"

#include "chartaccessible.h"
#include "historychart.h"
#include "i18n/localizationmanager.h"
#include "popoverlayout.h"
#include "widgetkit/sparkline.h"

#include <QKeyEvent>
#include <QPainter>

#include <cmath>

namespace Vantrell {

namespace {
constexpr qreal kTextLine = 16;
} // namespace

HistoryChartView::HistoryChartView(QWidget *parent)
    : QWidget(parent)
{
    announceAsChart(staticMetaObject);
    setFixedHeight(chartHeight);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void HistoryChartView::setCoin(
    const Coin &coin, const AppSettings &settings, const PopoverColors &colors, const QColor &lineColor)
{
    m_coin = coin;
    m_settings = settings;
    m_colors = colors;
    m_lineColor = lineColor;
    if (m_chosen && *m_chosen >= m_coin.history24h.values.size())
        m_chosen.reset();
    updateAccessibleTexts();
    update();
}

qsizetype HistoryChartView::pointIndex() const
{
    return m_chosen.value_or(m_coin.history24h.values.size() - 1);
}

QRectF HistoryChartView::plotRect() const
{
    const qreal side = PopoverMetrics::horizontalPadding;
    return QRectF(side, kTextLine + 10, width() - 2 * side, height() - 2 * kTextLine - 24);
}

void HistoryChartView::choose(std::optional<qsizetype> index)
{
    if (index == m_chosen)
        return;
    m_chosen = index;
    updateAccessibleTexts();
    update();
}

void HistoryChartView::updateAccessibleTexts()
{
    const auto readout = HistoryChartReadout::of(m_coin, pointIndex(), m_settings.baseCurrency, m_settings.language,
        m_coin.lastUpdated.value_or(QDateTime::currentDateTimeUtc()));
    setAccessibleName(localizedString(QStringLiteral("chart.name"), {m_coin.name}));
    // The chosen point first, so that a screen reader hears it as the arrow keys move it.
    QString description;
    if (readout)
        description = readout->point.isEmpty() ? readout->description
                                               : readout->point + QStringLiteral(". ") + readout->description;
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
}

void HistoryChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QList<double> &values = m_coin.history24h.values;
    const auto readout = HistoryChartReadout::of(m_coin, pointIndex(), m_settings.baseCurrency, m_settings.language,
        m_coin.lastUpdated.value_or(QDateTime::currentDateTimeUtc()));
    const QRectF plot = plotRect();
    if (hasFocus()) {
        painter.setPen(QPen(m_colors.accent, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(4, 2, -4, -2), 6, 6);
    }
    paintSparkline(painter, m_coin.history24h, plot, m_lineColor, true);
    if (!readout)
        return;

    const SparklineGeometry geometry = SparklineGeometry::of(values, plot);
    painter.setFont(popoverFont(11, QFont::Normal));
    painter.setPen(m_colors.secondary);
    const qreal side = PopoverMetrics::horizontalPadding;
    const QRectF top(side, 4, width() - 2 * side, kTextLine);
    const QRectF bottom(side, height() - kTextLine - 6, width() - 2 * side, kTextLine);
    painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, readout->high);
    painter.drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter, readout->low);
    // The high and the low marked on the line.
    for (const std::optional<qsizetype> &index : {geometry.highIndex, geometry.lowIndex}) {
        const QPointF at(SparklineGeometry::slotX(*index, values.size(), plot),
            index == geometry.highIndex ? plot.top() : plot.bottom());
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_lineColor);
        painter.drawEllipse(at, 2.5, 2.5);
    }
    // The chosen point: a rule through it and its time and price at the top right.
    if (!readout->point.isEmpty()) {
        const qsizetype index = pointIndex();
        const qreal x = SparklineGeometry::slotX(index, values.size(), plot);
        painter.setPen(QPen(withAlpha(m_colors.secondary, 0.6), 1, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(m_colors.primary);
        painter.setFont(popoverFont(11, QFont::DemiBold, true));
        painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, readout->point);
    }
}

void HistoryChartView::mouseMoveEvent(QMouseEvent *event)
{
    const QList<double> &values = m_coin.history24h.values;
    if (values.isEmpty())
        return;
    const qsizetype slot = SparklineGeometry::slotAt(event->position().x(), values.size(), plotRect());
    choose(std::isfinite(values.at(slot)) ? std::optional(slot) : m_chosen);
}

void HistoryChartView::leaveEvent(QEvent *)
{
    if (!hasFocus())
        choose(std::nullopt);
}

void HistoryChartView::keyPressEvent(QKeyEvent *event)
{
    const qsizetype index = HistoryChartReadout::stepped(m_coin.history24h.values, pointIndex(), event->key());
    if (index == pointIndex() && event->key() != Qt::Key_Home && event->key() != Qt::Key_End) {
        QWidget::keyPressEvent(event);
        return;
    }
    choose(index);
}

void HistoryChartView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void HistoryChartView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

} // namespace Vantrell
