// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coinrowview.h"
#include "settings/appsettings.h"

#include <QHash>
#include <QList>
#include <QWidget>

class QLabel;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

namespace Vantrell {

class AppNotificationCenter;
class BusyIndicator;
class HistoryChartView;
class CoinListFeed;
class PopoverButton;
class PopoverIconView;
class SettingsViewModel;
class UpdateController;
struct PopoverColors;

// The popover's content: a header with the product name, a warning with the
// time of the last price while the prices are stale, the loading indicator and
// the update badge; the watchlist (or the empty state); and a
// footer with the settings, watchlist and quit buttons. It sizes itself by
// popoverSize() and follows the coin list, the settings, the update state and
// the language as they change. The buttons post "vantrell.navigate" through
// `notifications`; the quit button ends the application.
class CoinPopoverView final : public QWidget
{
    Q_OBJECT

public:
    enum class Frame {
        // Rounded corners and a hairline border, for the popup window.
        rounded,
        // A plain rectangle, for a normal window.
        plain,
    };

    // `logos` draws the coins' logos (null: placeholder badges only) and must
    // outlive the view.
    CoinPopoverView(CoinListFeed &coinList, SettingsViewModel &settingsViewModel, UpdateController &updateController,
        AppNotificationCenter &notifications, CoinLogoPainter *logos, QWidget *parent = nullptr);
    ~CoinPopoverView() override;

    void setFrame(Frame frame);
    Frame frame() const { return m_frame; }
    // Lets the background be slightly see-through (only where a compositor runs).
    void setTranslucentBackground(bool translucent);

    QSize sizeHint() const override;

    QScrollArea *scrollArea() const { return m_scrollArea; }
    // Shown while the prices are stale.
    QWidget *staleNotice() const { return m_staleNotice; }
    QLabel *staleNoticeText() const { return m_staleText; }
    // Shown under the title while every exchange refuses this network.
    QLabel *refusedNotice() const { return m_refusedNotice; }
    QList<CoinRowView *> rows() const { return m_rows; }
    // The holdings block under the header and its hide-balances toggle.
    QWidget *holdingsBlock() const { return m_holdings; }
    QLabel *holdingsTotal() const { return m_holdingsTotal; }
    PopoverButton *hideBalancesButton() const { return m_hideBalances; }
    // The open 24-hour chart (under the row of its coin), or null.
    HistoryChartView *chart() const { return m_chartCoinId.isEmpty() ? nullptr : m_chart; }
    // Opens the chart of `coinId` under its row, or closes it when it is open.
    void toggleChart(const QString &coinId);

Q_SIGNALS:
    // The size the popover needs changed (the coin count moved across 4...8).
    void preferredSizeChanged(QSize size);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildHeader(QVBoxLayout *layout);
    void buildHoldings(QVBoxLayout *layout);
    void buildBody(QVBoxLayout *layout);
    void buildFooter(QVBoxLayout *layout);

    void updateCoins();
    void layoutRows();
    void refreshRows();
    void updateHoldings();
    void updateLoading();
    void updateStaleNotice();
    void updateRefusedNotice();
    // The fixed size for the rows and the notices on show; announced when it changes.
    void applyPreferredSize();
    void updateUpdateBadge();
    void retranslate();
    void applyColors();
    PopoverColors colors() const;

    CoinListFeed &m_coinList;
    SettingsViewModel &m_settingsViewModel;
    UpdateController &m_updateController;
    AppNotificationCenter &m_notifications;
    // The settings the rows show (the view model's record, taken as published).
    AppSettings m_settings;
    CoinLogoPainter *m_logos;
    Frame m_frame = Frame::rounded;
    bool m_translucent = false;

    QLabel *m_title = nullptr;
    QWidget *m_holdings = nullptr;
    int m_holdingsHeight = 0;
    QLabel *m_holdingsTotal = nullptr;
    QLabel *m_holdingsPriced = nullptr;
    QLabel *m_holdingsToday = nullptr;
    QLabel *m_holdingsGain = nullptr;
    PopoverButton *m_hideBalances = nullptr;
    QWidget *m_staleNotice = nullptr;
    PopoverIconView *m_staleIcon = nullptr;
    QLabel *m_staleText = nullptr;
    QLabel *m_refusedNotice = nullptr;
    BusyIndicator *m_loading = nullptr;
    PopoverButton *m_updateBadge = nullptr;
    QStackedWidget *m_body = nullptr;
    QScrollArea *m_scrollArea = nullptr;
    QWidget *m_list = nullptr;
    QVBoxLayout *m_listLayout = nullptr;
    HistoryChartView *m_chart = nullptr;
    QString m_chartCoinId;
    QList<QWidget *> m_laidOut;
    QWidget *m_emptyState = nullptr;
    PopoverIconView *m_emptyIcon = nullptr;
    QLabel *m_emptyText = nullptr;
    PopoverButton *m_addCoins = nullptr;
    PopoverButton *m_settingsButton = nullptr;
    PopoverButton *m_watchlistButton = nullptr;
    PopoverButton *m_quitButton = nullptr;

    QList<CoinRowView *> m_rows;
};

} // namespace Vantrell
