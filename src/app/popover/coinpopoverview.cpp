// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinpopoverview.h"

#include "coinlist/coinlistfeed.h"
#include "historychartview.h"
#include "i18n/localizationmanager.h"
#include "popoverlayout.h"
#include "popoverrowtext.h"
#include "settingsstore/settingsviewmodel.h"
#include "ui/notificationcenter.h"
#include "ui/popoverwidgets.h"
#include "updates/updatecontroller.h"
#include "widgetkit/priceformatter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace Vantrell {

namespace {

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

CoinPopoverView::CoinPopoverView(CoinListFeed &coinList, SettingsViewModel &settingsViewModel,
    UpdateController &updateController, AppNotificationCenter &notifications, CoinLogoPainter *logos, QWidget *parent)
    : QWidget(parent)
    , m_coinList(coinList)
    , m_settingsViewModel(settingsViewModel)
    , m_updateController(updateController)
    , m_notifications(notifications)
    , m_settings(settingsViewModel.settings())
    , m_logos(logos)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildHeader(layout);
    buildHoldings(layout);
    buildBody(layout);
    buildFooter(layout);

    connect(&coinList, &CoinListFeed::coinsChanged, this, &CoinPopoverView::updateCoins);
    connect(&coinList, &CoinListFeed::isLoadingChanged, this, &CoinPopoverView::updateLoading);
    connect(&coinList, &CoinListFeed::stalePricesSinceChanged, this, &CoinPopoverView::updateStaleNotice);
    connect(&coinList, &CoinListFeed::networkRefusedChanged, this, &CoinPopoverView::updateRefusedNotice);
    connect(&settingsViewModel, &SettingsViewModel::settingsChanged, this, [this](const AppSettings &settings) {
        m_settings = settings;
        refreshRows();
        updateHoldings();
        updateStaleNotice();
    });
    connect(&updateController, &UpdateController::changed, this, &CoinPopoverView::updateUpdateBadge);
    connect(&LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, &CoinPopoverView::retranslate);

    retranslate();
    updateLoading();
    updateUpdateBadge();
    updateCoins();
    applyColors();
}

CoinPopoverView::~CoinPopoverView() = default;

void CoinPopoverView::buildHeader(QVBoxLayout *layout)
{
    auto *header = new QWidget(this);
    header->setFixedHeight(PopoverMetrics::headerHeight);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(PopoverMetrics::horizontalPadding, 0, PopoverMetrics::horizontalPadding, 0);
    row->setSpacing(8);

    m_title = plainLabel(header);
    // The product name is the same in every language.
    m_title->setText(QStringLiteral("Vantrell"));
    m_title->setFont(popoverFont(14, QFont::DemiBold));
    row->addWidget(m_title, 0, Qt::AlignVCenter);
    row->addStretch(1);

    m_staleNotice = new QWidget(header);
    auto *notice = new QHBoxLayout(m_staleNotice);
    notice->setContentsMargins(0, 0, 0, 0);
    notice->setSpacing(4);
    m_staleIcon = new PopoverIconView(PopoverIcon::warning, 12, m_staleNotice);
    notice->addWidget(m_staleIcon, 0, Qt::AlignVCenter);
    m_staleText = plainLabel(m_staleNotice);
    m_staleText->setFont(popoverFont(11, QFont::Normal));
    notice->addWidget(m_staleText, 0, Qt::AlignVCenter);
    row->addWidget(m_staleNotice, 0, Qt::AlignVCenter);

    m_loading = new BusyIndicator(header);
    row->addWidget(m_loading, 0, Qt::AlignVCenter);

    m_updateBadge = new PopoverButton(PopoverButton::Kind::badge, header);
    m_updateBadge->setPopoverIcon(PopoverIcon::updateAvailable);
    connect(m_updateBadge, &QAbstractButton::clicked, this, [this] { m_updateController.checkForUpdates(); });
    row->addWidget(m_updateBadge, 0, Qt::AlignVCenter);

    layout->addWidget(header);

    // One plain sentence on a line of its own: the header row has no room for it.
    m_refusedNotice = plainLabel(this);
    m_refusedNotice->setWordWrap(true);
    m_refusedNotice->setFont(popoverFont(12, QFont::Normal));
    m_refusedNotice->setContentsMargins(PopoverMetrics::horizontalPadding, 0, PopoverMetrics::horizontalPadding, 8);
    m_refusedNotice->setVisible(false);
    layout->addWidget(m_refusedNotice);
}

void CoinPopoverView::buildHoldings(QVBoxLayout *layout)
{
    m_holdings = new QWidget(this);
    auto *columns = new QHBoxLayout(m_holdings);
    columns->setContentsMargins(PopoverMetrics::horizontalPadding, 0, PopoverMetrics::horizontalPadding - 8, 6);
    columns->setSpacing(8);

    // The total with the count of priced coins, the move today, the gain.
    auto *lines = new QVBoxLayout;
    lines->setSpacing(1);
    auto *first = new QHBoxLayout;
    first->setSpacing(8);
    m_holdingsTotal = plainLabel(m_holdings);
    m_holdingsTotal->setFont(popoverFont(17, QFont::DemiBold, true));
    first->addWidget(m_holdingsTotal, 0, Qt::AlignBaseline);
    m_holdingsPriced = plainLabel(m_holdings);
    m_holdingsPriced->setFont(popoverFont(10, QFont::Normal));
    first->addWidget(m_holdingsPriced, 0, Qt::AlignBaseline);
    first->addStretch(1);
    lines->addLayout(first);
    m_holdingsToday = plainLabel(m_holdings);
    m_holdingsToday->setFont(popoverFont(10, QFont::Normal));
    lines->addWidget(m_holdingsToday);
    m_holdingsGain = plainLabel(m_holdings);
    m_holdingsGain->setFont(popoverFont(10, QFont::Normal));
    lines->addWidget(m_holdingsGain);
    columns->addLayout(lines, 1);

    m_hideBalances = new PopoverButton(PopoverButton::Kind::icon, m_holdings);
    connect(m_hideBalances, &QAbstractButton::clicked, this, [this] {
        m_settingsViewModel.update([](AppSettings &settings) { settings.hideBalances = !settings.hideBalances; });
    });
    columns->addWidget(m_hideBalances, 0, Qt::AlignVCenter);

    layout->addWidget(m_holdings);
}

void CoinPopoverView::buildBody(QVBoxLayout *layout)
{
    m_body = new QStackedWidget(this);
    m_body->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    m_scrollArea = new QScrollArea(m_body);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setWidgetResizable(true);
    // No scroll bars on show; the wheel and the keyboard still scroll the list.
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->verticalScrollBar()->setSingleStep(PopoverMetrics::rowHeight / 2);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_scrollArea->setAutoFillBackground(false);

    m_list = new QWidget;
    m_listLayout = new QVBoxLayout(m_list);
    m_listLayout->setContentsMargins(0, 0, 0, 0);
    m_listLayout->setSpacing(0);
    m_listLayout->addStretch(1);
    m_scrollArea->setWidget(m_list);
    // setWidget() makes the list paint an opaque background; the popover's own
    // (slightly translucent) background must show through instead.
    m_list->setAutoFillBackground(false);
    m_body->addWidget(m_scrollArea);

    m_emptyState = new QWidget(m_body);
    auto *empty = new QVBoxLayout(m_emptyState);
    empty->setContentsMargins(PopoverMetrics::horizontalPadding, 0, PopoverMetrics::horizontalPadding, 0);
    empty->setSpacing(12);
    empty->addStretch(1);
    m_emptyIcon = new PopoverIconView(PopoverIcon::coin, 40, m_emptyState);
    empty->addWidget(m_emptyIcon, 0, Qt::AlignHCenter);
    m_emptyText = plainLabel(m_emptyState);
    m_emptyText->setFont(popoverFont(13, QFont::Normal));
    m_emptyText->setAlignment(Qt::AlignCenter);
    m_emptyText->setWordWrap(true);
    empty->addWidget(m_emptyText);
    m_addCoins = new PopoverButton(PopoverButton::Kind::prominent, m_emptyState);
    connect(m_addCoins, &QAbstractButton::clicked, this,
        [this] { m_notifications.post(AppNotificationName::navigate, navigationUserInfo(SettingsTab::watchlist)); });
    empty->addWidget(m_addCoins, 0, Qt::AlignHCenter);
    empty->addStretch(1);
    m_body->addWidget(m_emptyState);

    layout->addWidget(m_body, 1);
}

void CoinPopoverView::buildFooter(QVBoxLayout *layout)
{
    auto *footer = new QWidget(this);
    footer->setFixedHeight(PopoverMetrics::footerHeight);
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(PopoverMetrics::horizontalPadding, 0, PopoverMetrics::horizontalPadding, 0);
    row->setSpacing(0);

    m_settingsButton = new PopoverButton(PopoverButton::Kind::icon, footer);
    m_settingsButton->setPopoverIcon(PopoverIcon::settings, Qt::AlignLeft);
    connect(m_settingsButton, &QAbstractButton::clicked, this,
        [this] { m_notifications.post(AppNotificationName::navigate, navigationUserInfo(SettingsTab::general)); });
    row->addWidget(m_settingsButton, 0, Qt::AlignVCenter);
    row->addSpacerItem(new QSpacerItem(12, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));

    m_watchlistButton = new PopoverButton(PopoverButton::Kind::tinted, footer);
    connect(m_watchlistButton, &QAbstractButton::clicked, this,
        [this] { m_notifications.post(AppNotificationName::navigate, navigationUserInfo(SettingsTab::watchlist)); });
    row->addWidget(m_watchlistButton, 0, Qt::AlignVCenter);
    row->addSpacerItem(new QSpacerItem(12, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));

    m_quitButton = new PopoverButton(PopoverButton::Kind::icon, footer);
    m_quitButton->setPopoverIcon(PopoverIcon::quit, Qt::AlignRight);
    connect(m_quitButton, &QAbstractButton::clicked, this, [] { QCoreApplication::quit(); });
    row->addWidget(m_quitButton, 0, Qt::AlignVCenter);

    layout->addWidget(footer);
}

void CoinPopoverView::setFrame(Frame frame)
{
    m_frame = frame;
    update();
}

void CoinPopoverView::setTranslucentBackground(bool translucent)
{
    m_translucent = translucent;
    update();
}

QSize CoinPopoverView::sizeHint() const
{
    const bool chartOpen = m_chart && !m_chart->isHidden();
    QSize size = popoverSize(int(m_rows.size()), m_holdingsHeight, chartOpen ? HistoryChartView::chartHeight : 0);
    if (m_refusedNotice && !m_refusedNotice->isHidden())
        size.rheight() += m_refusedNotice->heightForWidth(size.width());
    return size;
}

void CoinPopoverView::applyPreferredSize()
{
    const QSize size = sizeHint();
    if (size != minimumSize() || size != maximumSize()) {
        setFixedSize(size);
        Q_EMIT preferredSizeChanged(size);
    }
}

void CoinPopoverView::updateCoins()
{
    const QList<Coin> coins = m_coinList.coins();

    // Rows are kept by coin id, so a price update or a reorder does not make
    // logos load again.
    QHash<QString, CoinRowView *> previous;
    for (CoinRowView *row : std::as_const(m_rows))
        previous.insert(row->coin().id, row);
    QList<CoinRowView *> rows;
    rows.reserve(coins.size());
    for (const Coin &coin : coins) {
        CoinRowView *row = previous.take(coin.id);
        if (row) {
            row->setCoin(coin);
        } else {
            row = new CoinRowView(coin, m_logos, m_list);
            m_laidOut.clear(); // a new row may take a deleted one's address
            connect(row, &CoinRowView::chartRequested, this, [this, id = coin.id] { toggleChart(id); });
        }
        rows.append(row);
    }
    qDeleteAll(previous);
    m_rows = rows;

    m_body->setCurrentWidget(m_rows.isEmpty() ? m_emptyState : static_cast<QWidget *>(m_scrollArea));
    refreshRows();
    updateHoldings();
    applyPreferredSize();
}

void CoinPopoverView::updateHoldings()
{
    const HoldingsHeader header = holdingsHeader(
        holdingsTotals(m_settings.watchlistCoins, m_coinList.coins(), m_coinList.usdToTargetRate()), m_settings);
    const bool sizeChanges = header.height() != m_holdingsHeight;
    m_holdingsHeight = header.height();
    m_holdings->setVisible(header.visible);
    m_holdings->setFixedHeight(m_holdingsHeight);
    const PopoverColors palette = colors();
    m_holdingsTotal->setText(header.total);
    m_holdingsTotal->setAccessibleName(localizedString(QStringLiteral("popover.holdings.title")) + QStringLiteral(": ")
        + (m_settings.hideBalances ? localizedString(QStringLiteral("popover.holdings.hidden")) : header.total));
    setTextColor(m_holdingsTotal, palette.primary);
    m_holdingsPriced->setText(header.priced);
    m_holdingsPriced->setVisible(!header.priced.isEmpty());
    setTextColor(m_holdingsPriced, palette.secondary);
    for (const auto &[label, text] :
        {std::pair {m_holdingsToday, header.today}, std::pair {m_holdingsGain, header.gain}}) {
        label->setText(text.text);
        label->setVisible(!text.text.isEmpty());
        setTextColor(
            label, text.role == RowTextRole::secondary ? palette.secondary : text.color.resolved(palette.primary));
    }
    const bool hidden = m_settings.hideBalances;
    m_hideBalances->setPopoverIcon(hidden ? PopoverIcon::balancesHidden : PopoverIcon::balancesShown, Qt::AlignRight);
    const QString toggle
        = localizedString(hidden ? QStringLiteral("popover.showBalances") : QStringLiteral("popover.hideBalances"));
    m_hideBalances->setToolTip(toggle);
    m_hideBalances->setAccessibleName(toggle);
    m_hideBalances->update();
    if (sizeChanges)
        applyPreferredSize();
}

void CoinPopoverView::layoutRows()
{
    // Laid out again only when the order or the chart's place changed.
    QList<QWidget *> order;
    for (CoinRowView *row : std::as_const(m_rows)) {
        order.append(row);
        if (m_chart && row->coin().id == m_chartCoinId)
            order.append(m_chart);
    }
    if (order == m_laidOut)
        return;
    m_laidOut = order;
    while (QLayoutItem *item = m_listLayout->takeAt(0))
        delete item;
    for (CoinRowView *row : std::as_const(m_rows)) {
        m_listLayout->addWidget(row);
        if (m_chart && row->coin().id == m_chartCoinId)
            m_listLayout->addWidget(m_chart);
    }
    m_listLayout->addStretch(1);
}

void CoinPopoverView::refreshRows()
{
    const PopoverColors palette = colors();
    CoinRowView *charted = nullptr;
    for (CoinRowView *row : std::as_const(m_rows)) {
        row->refresh(m_settings, palette);
        if (row->coin().id == m_chartCoinId && row->hasChart())
            charted = row;
    }
    // One width for every row's price column (a holding's value widens it), so
    // that the sparklines line up.
    int priceColumn = 0;
    for (CoinRowView *row : std::as_const(m_rows))
        priceColumn = std::max(priceColumn, row->priceColumnHint());
    for (CoinRowView *row : std::as_const(m_rows))
        row->setPriceColumnWidth(priceColumn);
    // The chart goes with its coin's history: charts switched off, a coin
    // without history or one no longer listed close it.
    if (!charted)
        m_chartCoinId.clear();
    if (m_chart) {
        m_chart->setVisible(charted != nullptr);
        if (charted)
            m_chart->setCoin(charted->coin(), m_settings, palette, charted->chartColor());
    }
    layoutRows();
    applyPreferredSize();
}

void CoinPopoverView::toggleChart(const QString &coinId)
{
    const bool open = m_chartCoinId != coinId;
    m_chartCoinId = open ? coinId : QString();
    if (open && !m_chart)
        m_chart = new HistoryChartView(m_list);
    refreshRows();
    // Scrolled into view once the list has made room for it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (chart())
                m_scrollArea->ensureWidgetVisible(m_chart, 0, 0);
        },
        Qt::QueuedConnection);
}

void CoinPopoverView::updateLoading()
{
    m_loading->setVisible(m_coinList.isLoading());
}

void CoinPopoverView::updateStaleNotice()
{
    const std::optional<QDateTime> since = m_coinList.stalePricesSince();
    m_staleNotice->setVisible(since.has_value());
    if (!since)
        return;
    const QString time = shortTime(since->toLocalTime().time(), m_settings.language);
    m_staleText->setText(localizedString(QStringLiteral("popover.stale"), {time}));
    const QString help = localizedString(QStringLiteral("popover.stale.help"), {time});
    m_staleNotice->setToolTip(help);
    m_staleNotice->setAccessibleName(help);
}

void CoinPopoverView::updateRefusedNotice()
{
    const bool refused = m_coinList.networkRefused();
    m_refusedNotice->setText(refused ? localizedString(QStringLiteral("market.networkRefused")) : QString());
    m_refusedNotice->setAccessibleName(m_refusedNotice->text());
    m_refusedNotice->setVisible(refused);
    applyPreferredSize();
}

void CoinPopoverView::updateUpdateBadge()
{
    m_updateBadge->setVisible(m_updateController.updateAvailable());
}

void CoinPopoverView::retranslate()
{
    const auto tip = [](QWidget *widget, const QString &text) {
        widget->setToolTip(text);
        widget->setAccessibleName(text);
    };
    m_updateBadge->setText(localizedString(QStringLiteral("popover.updateAvailable")));
    m_updateBadge->setToolTip(localizedString(QStringLiteral("popover.updateAvailable.help")));
    m_emptyText->setText(localizedString(QStringLiteral("popover.empty")));
    m_addCoins->setText(localizedString(QStringLiteral("popover.addCoins")));
    tip(m_settingsButton, localizedString(QStringLiteral("popover.settings.help")));
    m_watchlistButton->setText(localizedString(QStringLiteral("popover.watchlist")));
    m_watchlistButton->setToolTip(localizedString(QStringLiteral("popover.watchlist.help")));
    tip(m_quitButton, localizedString(QStringLiteral("popover.quit")));
    for (PopoverButton *button : {m_updateBadge, m_addCoins, m_watchlistButton})
        button->updateGeometry();
    updateStaleNotice();
    updateRefusedNotice();
    // The delisted label is a localized text too.
    refreshRows();
    updateHoldings();
}

void CoinPopoverView::applyColors()
{
    const PopoverColors palette = colors();
    setTextColor(m_title, palette.primary);
    m_staleIcon->setColor(palette.warning);
    setTextColor(m_staleText, palette.secondary);
    setTextColor(m_refusedNotice, palette.warning);
    m_loading->setColor(palette.secondary);
    m_emptyIcon->setColor(palette.secondary);
    setTextColor(m_emptyText, palette.secondary);
    for (PopoverButton *button :
        {m_updateBadge, m_addCoins, m_settingsButton, m_watchlistButton, m_quitButton, m_hideBalances})
        button->setColors(palette);
    refreshRows();
    updateHoldings();
    update();
}

PopoverColors CoinPopoverView::colors() const
{
    return PopoverColors::fromPalette(palette(), m_translucent);
}

void CoinPopoverView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        applyColors();
    QWidget::changeEvent(event);
}

void CoinPopoverView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const PopoverColors palette = colors();
    if (m_frame == Frame::plain) {
        painter.fillRect(rect(), palette.background);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = PopoverMetrics::cornerRadius;
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), radius, radius);
    painter.fillPath(shape, palette.background);
    painter.setPen(QPen(palette.border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
}

} // namespace Vantrell
