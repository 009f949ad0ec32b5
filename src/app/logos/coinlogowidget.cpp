// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlogowidget.h"

#include <QPainter>

namespace Vantrell {

CoinLogoWidget::CoinLogoWidget(CoinLogoPainter *logos, int side, QWidget *parent)
    : QWidget(parent)
    , m_logos(logos)
    , m_side(std::max(1, side))
{
    setFixedSize(m_side, m_side);
    setAttribute(Qt::WA_TranslucentBackground);
    if (m_logos)
        connect(m_logos, &CoinLogoPainter::changed, this, qOverload<>(&QWidget::update));
}

void CoinLogoWidget::setSource(const CoinLogoSource &source)
{
    if (source == m_source)
        return;
    m_source = source;
    update();
}

void CoinLogoWidget::setSide(int side)
{
    side = std::max(1, side);
    if (side == m_side)
        return;
    m_side = side;
    setFixedSize(m_side, m_side);
    update();
}

void CoinLogoWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF frame(0, 0, m_side, m_side);
    const QColor accent = palette().color(QPalette::Highlight);
    if (m_logos)
        m_logos->paint(painter, frame, m_source, accent);
    else
        paintCoinLogoPlaceholder(painter, frame, m_source.symbol, accent);
}

} // namespace Vantrell
