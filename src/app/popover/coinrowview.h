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
// left, price and 24-hour change on the right, and under the price the value
// of the coin's holding when there is one. Read-only: it takes no clicks.
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

private:
    Coin m_coin;

    CoinLogoWidget *m_logo = nullptr;
    ElidingLabel *m_name = nullptr;
    QLabel *m_symbol = nullptr;
    QLabel *m_price = nullptr;
    QLabel *m_change = nullptr;
    QLabel *m_holdingValue = nullptr;
};

} // namespace Vantrell
