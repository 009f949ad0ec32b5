// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coinlogopainter.h"

#include <QPointer>
#include <QWidget>

namespace Vantrell {

// A coin's logo as a fixed-size square widget (32 × 32 in the popover rows).
// Repaints when the painter reports a change. Without a painter it shows the
// placeholder.
class CoinLogoWidget final : public QWidget
{
    Q_OBJECT

public:
    explicit CoinLogoWidget(CoinLogoPainter *logos, int side = 32, QWidget *parent = nullptr);

    const CoinLogoSource &source() const { return m_source; }
    void setSource(const CoinLogoSource &source);

    int side() const { return m_side; }
    void setSide(int side);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<CoinLogoPainter> m_logos;
    CoinLogoSource m_source;
    int m_side;
};

} // namespace Vantrell
