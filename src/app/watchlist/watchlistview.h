// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/appsettings.h"

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QHBoxLayout;
class QSpacerItem;
class QLabel;
class QScrollArea;
class QStackedWidget;

namespace Vantrell {

class CoinListFeed;
class CoinLogoPainter;
class SettingsViewModel;
class WatchlistAddCoinPanel;
class WatchlistRow;
class WatchlistViewModel;

// The Watchlist tab: the strip of recommended coins, the watched coins with
// their alert controls, drag handles and delete buttons, and the floating
// add-coin panel. Every edit goes through the watchlist view model; the view
// draws what the settings and the reorder session say.
class WatchlistView final : public QWidget
{
    Q_OBJECT

public:
    WatchlistView(WatchlistViewModel &model, SettingsViewModel &settings, CoinListFeed &coins, CoinLogoPainter *logos,
        QWidget *parent = nullptr);
    ~WatchlistView() override;

    bool showAddCoin() const { return m_showAddCoin; }
    void setShowAddCoin(bool show);

    WatchlistAddCoinPanel *addCoinPanel() const { return m_panel; }
    // The watched rows in display order.
    QList<WatchlistRow *> rows() const { return m_rows; }
    QList<QAbstractButton *> chips() const;

Q_SIGNALS:
    void showAddCoinChanged(bool show);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void readAnimationSetting();
    void refresh(const AppSettings &settings);
    void refreshAlerts(const AppSettings &settings);
    WatchlistRow *makeRow(const CoinMetadata &coin);
    void applyFrame();
    void layoutRows();
    void placePanel();
    void retranslate();
    double viewportY(QPointF globalPosition) const;

    WatchlistViewModel &m_model;
    SettingsViewModel &m_settings;
    CoinListFeed &m_coins;
    QPointer<CoinLogoPainter> m_logos;

    QLabel *m_recommended = nullptr;
    QWidget *m_chipStrip = nullptr;
    QScrollArea *m_chipArea = nullptr;
    QLabel *m_added = nullptr;
    QLabel *m_alert = nullptr;
    QLabel *m_holdingCaption = nullptr;
    QLabel *m_costCaption = nullptr;
    QHBoxLayout *m_header = nullptr;
    QSpacerItem *m_headerEnd = nullptr;
    QStackedWidget *m_listStack = nullptr;
    QLabel *m_empty = nullptr;
    QScrollArea *m_rowsArea = nullptr;
    QWidget *m_rowsContent = nullptr;
    QWidget *m_floating = nullptr;
    QPixmap m_floatingPixmap;
    WatchlistAddCoinPanel *m_panel = nullptr;

    QList<WatchlistRow *> m_rows;
    QHash<QString, WatchlistRow *> m_rowsById;
    bool m_showAddCoin = false;
    // The desktop's animation switch as last read: motion is reduced while the
    // desktop has its animations turned off, and stays on until it says so.
    bool m_animationsOff = false;
};

} // namespace Vantrell
