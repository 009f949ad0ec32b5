// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/appsettings.h"
#include "ui/popoverwidgets.h"

#include <QWidget>

namespace Vantrell {

// The 24-hour chart under a popover row: the line with a faint fill, the high
// and the low with their times, and the time and price of the point under the
// pointer or chosen with the arrow keys (Home and End for the ends).
class HistoryChartView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int chartHeight = 132;

    explicit HistoryChartView(QWidget *parent = nullptr);

    void setCoin(const Coin &coin, const AppSettings &settings, const PopoverColors &colors, const QColor &lineColor);
    // The slot shown in the readout; the newest when nothing is chosen.
    qsizetype pointIndex() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QRectF plotRect() const;
    void choose(std::optional<qsizetype> index);
    void updateAccessibleTexts();

    Coin m_coin;
    AppSettings m_settings;
    PopoverColors m_colors;
    QColor m_lineColor;
    std::optional<qsizetype> m_chosen;
};

} // namespace Vantrell
