// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"

#include <QWidget>

class QLabel;

namespace Vantrell {

class CoinLogoPainter;
class CoinLogoWidget;
class ElidingLabel;
struct AppSettings;
struct PopoverColors;

// One coin of the popover list, 52 pixels high: logo, name and symbol on the
// left, the 24-hour sparkline, and price and 24-hour change on the right,
// beside the change the value of the coin's holding when there is one.
// With a sparkline shown, a click (or Return or Space) asks for the chart.
class CoinRowView final : public QWidget
{
    Q_OBJECT

public:
    // `logos` draws the coin's logo; null shows the placeholder badge.
    CoinRowView(const Coin &coin, CoinLogoPainter *logos, QWidget *parent = nullptr);

    const Coin &coin() const { return m_coin; }
    void setCoin(const Coin &coin);

    // Redraws texts and colours from the coin and `settings`.
    void refresh(const AppSettings &settings, const PopoverColors &colors);

    CoinLogoWidget *logo() const { return m_logo; }
    QLabel *holdingValue() const { return m_holdingValue; }
    // The width its price column needs, and the width it is given (at least
    // the fixed minimum).
    int priceColumnHint() const;
    void setPriceColumnWidth(int width);
    // The sparkline is shown, and the row answers clicks.
    bool hasChart() const;
    // The colour of the sparkline: the change's.
    QColor chartColor() const { return m_chartColor; }

Q_SIGNALS:
    void chartRequested();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Coin m_coin;

    CoinLogoWidget *m_logo = nullptr;
    ElidingLabel *m_name = nullptr;
    QLabel *m_symbol = nullptr;
    QLabel *m_price = nullptr;
    QLabel *m_change = nullptr;
    QLabel *m_holdingValue = nullptr;
    QLayout *m_changeLine = nullptr;
    QWidget *m_sparkline = nullptr;
    QColor m_chartColor;
};

} // namespace Vantrell
