// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QSet>

class QLabel;
class QLineEdit;
class QListView;
class QToolButton;

namespace Vantrell {

class CoinLogoPainter;
class WatchlistResultModel;
class WatchlistViewModel;

// The floating panel that adds coins by search: a search field (focused when
// the panel opens, with a clear button while it holds text) over up to 320 px
// of results. A result toggles its coin; Return adds the first result not yet
// added and keeps the panel open; Escape closes it, except while an input
// method is composing text in the field.
class WatchlistAddCoinPanel final : public QFrame
{
    Q_OBJECT

public:
    static constexpr int panelWidth = 300;
    static constexpr int maximumResultsHeight = 320;

    WatchlistAddCoinPanel(WatchlistViewModel &model, CoinLogoPainter *logos, QWidget *parent = nullptr);
    ~WatchlistAddCoinPanel() override;

    QLineEdit *searchField() const { return m_search; }
    QListView *resultsView() const { return m_results; }
    // The added marks of the results: the watchlist changed.
    void setAddedIds(const QSet<QString> &addedIds);
    void retranslate();

Q_SIGNALS:
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void updateResults();

    WatchlistViewModel &m_model;
    QLineEdit *m_search = nullptr;
    QToolButton *m_clear = nullptr;
    QListView *m_results = nullptr;
    QLabel *m_noResults = nullptr;
    WatchlistResultModel *m_resultModel = nullptr;
    // An input method holds uncommitted text in the search field.
    bool m_composing = false;
};

} // namespace Vantrell
