// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "holdingfield.h"
#include "market/coinmetadata.h"
#include "watchlistalertfield.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace Vantrell {

class CoinLogoPainter;
class CoinLogoWidget;
class ElidingLabel;

// The grip at the leading edge of a watched row. The pointer drags the row
// by it; with the keyboard it takes focus, and Alt+Up / Alt+Down (anywhere in
// the row) move the row by one place.
class WatchlistHandle final : public QWidget
{
    Q_OBJECT

public:
    explicit WatchlistHandle(QWidget *parent = nullptr);

    void setActive(bool active);

Q_SIGNALS:
    // Pointer positions in global coordinates.
    void pressed(QPointF globalPosition);
    void moved(QPointF globalPosition);
    void released();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_active = false;
    bool m_pressed = false;
};

// One coin of the watched list, exactly one pitch (44 px) high: handle, logo,
// symbol and name, the holding and average-cost fields, the alert's kind menu
// and threshold field, and the delete button. It shows what it is given and reports what the user does; the list
// decides the rest.
class WatchlistRow final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int alertColumnWidth = 220;
    // The holding and average-cost fields with the space between them.
    static constexpr int amountFieldWidth = 72;
    static constexpr int amountSpacing = 6;
    static constexpr int holdingsColumnWidth = 2 * amountFieldWidth + amountSpacing;

    WatchlistRow(const CoinMetadata &coin, CoinLogoPainter *logos, QWidget *parent = nullptr);

    QString coinId() const { return m_coin.id; }
    QString symbol() const { return m_coin.symbol; }
    WatchlistHandle *handle() const { return m_handle; }
    QComboBox *kindMenu() const { return m_kind; }
    QLineEdit *thresholdField() const { return m_field; }
    QLineEdit *holdingField() const { return m_holdingField; }
    QLineEdit *averageCostField() const { return m_costField; }
    QToolButton *deleteButton() const { return m_delete; }
    bool isEditingThreshold() const { return m_alert.isEditing(); }
    // From the alert column's end to the row's end: the delete button with
    // the space around it.
    int trailingWidth() const;

    // The entry's alert in display units and the coin's price in the display
    // currency. A threshold being typed is left alone.
    void showAlert(CoinAlertKind kind, double value, std::optional<double> referencePrice);
    // The holding in coins and the average cost in the display currency. A
    // value being typed is left alone. While balances are hidden a field
    // shows "••••" until it takes the focus.
    void showHoldings(std::optional<double> holding, std::optional<double> averageCost,
        std::optional<double> referencePrice, bool hideBalances = false);
    void retranslate();

Q_SIGNALS:
    void alertKindChosen(CoinAlertKind kind);
    void thresholdCommitted(double value);
    // None removes the value.
    void holdingCommitted(std::optional<double> holding);
    void averageCostCommitted(std::optional<double> averageCost);
    void deleteRequested();
    // Alt+Up (-1) or Alt+Down (+1).
    void moveRequested(int delta);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyAlert();
    void finishEditing();
    QWidget *makeFieldFrame(QLineEdit *&field);
    void applyAmounts();
    void bindAmountField(
        QLineEdit *field, WatchlistAmountField &state, void (WatchlistRow::*committed)(std::optional<double>));
    void updateColors();

    CoinMetadata m_coin;
    WatchlistAlertField m_alert;
    WatchlistAmountField m_holding {WatchlistAmountField::Kind::holding};
    WatchlistAmountField m_cost {WatchlistAmountField::Kind::averageCost};
    bool m_hideBalances = false;
    WatchlistHandle *m_handle = nullptr;
    CoinLogoWidget *m_logo = nullptr;
    ElidingLabel *m_symbol = nullptr;
    ElidingLabel *m_name = nullptr;
    QComboBox *m_kind = nullptr;
    QWidget *m_fieldFrame = nullptr;
    QLineEdit *m_field = nullptr;
    QLabel *m_percent = nullptr;
    QWidget *m_holdingFrame = nullptr;
    QLineEdit *m_holdingField = nullptr;
    QWidget *m_costFrame = nullptr;
    QLineEdit *m_costField = nullptr;
    QLabel *m_dash = nullptr;
    QToolButton *m_delete = nullptr;
};

} // namespace Vantrell
