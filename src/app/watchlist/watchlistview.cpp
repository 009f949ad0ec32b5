// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlistview.h"

#include "alertthreshold.h"
#include "coinlist/coinlistfeed.h"
#include "i18n/localizationmanager.h"
#include "logos/coinlogopainter.h"
#include "settingsstore/settingsviewmodel.h"
#include "ui/popoverwidgets.h"
#include "watchlistaddcoinpanel.h"
#include "watchlistreordersession.h"
#include "watchlistrow.h"
#include "watchlistviewmodel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace Vantrell {

namespace {

constexpr int kPitch = int(WatchlistReorderSession::rowPitch);
constexpr int kChipSide = 40;
constexpr int kChipLogo = 28;
constexpr int kMargin = 24;
// The delete button and the row's trailing margin.
constexpr int kDeleteColumn = 36;

// A recommended coin: its logo on a rounded square, tinted and ticked while
// the watchlist holds it.
class WatchlistChip final : public QAbstractButton
{
public:
    WatchlistChip(const CoinMetadata &coin, CoinLogoPainter *logos, QWidget *parent)
        : QAbstractButton(parent)
        , m_coin(coin)
        , m_logos(logos)
    {
        setCheckable(true);
        setFixedSize(kChipSide + 4, kChipSide + 4);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
        setToolTip(coin.symbol + QStringLiteral(" · ") + coin.name);
        setAccessibleName(coin.symbol + QStringLiteral(", ") + coin.name);
        if (logos)
            connect(logos, &CoinLogoPainter::changed, this, qOverload<>(&QWidget::update));
    }

    QString coinId() const { return m_coin.id; }

protected:
    void nextCheckState() override
    {
        // The watchlist decides; the chip follows it.
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const PopoverColors colors = PopoverColors::fromPalette(palette());
        const bool added = isChecked();
        const QRectF chip(2, 2, kChipSide, kChipSide);
        const double line = added ? 1.5 : 1.0;
        painter.setPen(QPen(added ? colors.accent : withAlpha(colors.primary, 0.08), line));
        painter.setBrush(added ? withAlpha(colors.accent, 0.16) : palette().color(QPalette::Button));
        painter.drawRoundedRect(chip.adjusted(line / 2, line / 2, -line / 2, -line / 2), 8, 8);
        if (hasFocus()) {
            painter.setPen(QPen(colors.accent, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(chip.adjusted(-1, -1, 1, 1), 9, 9);
        }
        const QRectF logo(
            chip.center().x() - kChipLogo / 2.0, chip.center().y() - kChipLogo / 2.0, kChipLogo, kChipLogo);
        if (m_logos)
            m_logos->paint(painter, logo, CoinLogoSource::of(m_coin), colors.accent);
        if (added) {
            const QRectF badge(width() - 15, 0, 15, 15);
            painter.setPen(QPen(colors.onAccent, 1.2));
            painter.setBrush(colors.accent);
            painter.drawEllipse(badge.adjusted(0.6, 0.6, -0.6, -0.6));
            QPen tick(colors.onAccent, 1.6);
            tick.setCapStyle(Qt::RoundCap);
            tick.setJoinStyle(Qt::RoundJoin);
            painter.setPen(tick);
            const QPointF c = badge.center();
            const QPointF points[] = {c + QPointF(-3.2, 0.2), c + QPointF(-0.9, 2.5), c + QPointF(3.4, -2.4)};
            painter.drawPolyline(points, 3);
        }
    }

private:
    CoinMetadata m_coin;
    QPointer<CoinLogoPainter> m_logos;
};

// The copy of the dragged row that follows the pointer, on a raised card.
class FloatingRow final : public QWidget
{
public:
    explicit FloatingRow(const QPixmap &pixmap, QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        auto *shadow = new QGraphicsDropShadowEffect(this);
        shadow->setBlurRadius(18);
        shadow->setOffset(0, 4);
        shadow->setColor(QColor(0, 0, 0, 41));
        setGraphicsEffect(shadow);
        setPixmap(pixmap);
    }

    void setPixmap(const QPixmap &pixmap)
    {
        m_pixmap = pixmap;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const PopoverColors colors = PopoverColors::fromPalette(palette());
        const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(withAlpha(colors.primary, 0.10), 1));
        painter.setBrush(palette().color(QPalette::Window));
        painter.drawRoundedRect(card, 8, 8);
        painter.drawPixmap(0, 0, m_pixmap);
    }

private:
    QPixmap m_pixmap;
};

} // namespace

WatchlistView::WatchlistView(WatchlistViewModel &model, SettingsViewModel &settings, CoinListFeed &coins,
    CoinLogoPainter *logos, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_settings(settings)
    , m_coins(coins)
    , m_logos(logos)
{
    m_recommended = new QLabel(this);
    m_recommended->setForegroundRole(QPalette::PlaceholderText);
    m_chipStrip = new QWidget(this);
    auto *chips = new QHBoxLayout(m_chipStrip);
    chips->setContentsMargins(0, 0, 0, 0);
    chips->setSpacing(6);
    for (const CoinMetadata &coin : m_model.recommendedCoins()) {
        auto *chip = new WatchlistChip(coin, logos, m_chipStrip);
        connect(chip, &QAbstractButton::clicked, this, [this, id = coin.id] { m_model.toggle(id); });
        chip->installEventFilter(this);
        chips->addWidget(chip);
    }
    chips->addStretch(1);
    auto *chipArea = new QScrollArea(this);
    // Not a stop of its own for Tab: the controls in it are, and it scrolls to them.
    chipArea->setFocusPolicy(Qt::NoFocus);
    chipArea->setWidget(m_chipStrip);
    chipArea->setWidgetResizable(true);
    chipArea->setFrameShape(QFrame::NoFrame);
    chipArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // No scroll bar under the chips: the wheel scrolls them sideways and a
    // chip that takes the keyboard focus scrolls into view.
    chipArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chipArea->setFixedHeight(kChipSide + 8);
    chipArea->viewport()->setAutoFillBackground(false);
    chipArea->viewport()->installEventFilter(this);
    m_chipArea = chipArea;
    m_chipStrip->setAutoFillBackground(false);

    m_added = new QLabel(this);
    m_added->setFont(popoverFont(14, QFont::DemiBold));
    m_alert = new QLabel(this);
    m_alert->setForegroundRole(QPalette::PlaceholderText);
    m_alert->setFixedWidth(WatchlistRow::alertColumnWidth);
    m_holdingCaption = new QLabel(this);
    m_costCaption = new QLabel(this);
    auto *amounts = new QHBoxLayout;
    amounts->setSpacing(WatchlistRow::amountSpacing);
    for (QLabel *caption : {m_holdingCaption, m_costCaption}) {
        caption->setForegroundRole(QPalette::PlaceholderText);
        caption->setFixedWidth(WatchlistRow::amountFieldWidth);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        amounts->addWidget(caption);
    }
    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 10, 0, 10);
    // The rows' spacing, so that the captions stand over their columns.
    header->setSpacing(8);
    header->addWidget(m_added, 1);
    header->addLayout(amounts);
    header->addWidget(m_alert);
    // The delete buttons' column, and the scroll bar's while it shows.
    m_headerEnd = new QSpacerItem(kDeleteColumn, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    header->addItem(m_headerEnd);
    m_header = header;
    auto *divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setFixedHeight(1);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::WindowText, withAlpha(palette().color(QPalette::WindowText), 0.12));
    divider->setPalette(dividerPalette);

    m_empty = new QLabel(this);
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_empty->setForegroundRole(QPalette::PlaceholderText);
    m_empty->setContentsMargins(40, 40, 40, 40);
    m_rowsArea = new QScrollArea(this);
    // Not a stop of its own for Tab: the controls in it are, and it scrolls to them.
    m_rowsArea->setFocusPolicy(Qt::NoFocus);
    m_rowsArea->setFrameShape(QFrame::NoFrame);
    m_rowsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_rowsArea->setWidgetResizable(false);
    m_rowsArea->viewport()->setAutoFillBackground(false);
    m_rowsContent = new QWidget;
    m_rowsContent->setAutoFillBackground(false);
    m_rowsArea->setWidget(m_rowsContent);
    m_rowsArea->viewport()->installEventFilter(this);
    m_listStack = new QStackedWidget(this);
    m_listStack->addWidget(m_empty);
    m_listStack->addWidget(m_rowsArea);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, 8, kMargin - 8, 8);
    layout->setSpacing(6);
    layout->addWidget(m_recommended);
    layout->addWidget(chipArea);
    layout->addLayout(header);
    layout->addWidget(divider);
    layout->addWidget(m_listStack, 1);

    m_panel = new WatchlistAddCoinPanel(m_model, logos, this);
    m_panel->hide();
    connect(m_panel, &WatchlistAddCoinPanel::closeRequested, this, [this] { setShowAddCoin(false); });

    // The drag of the watched list.
    WatchlistReorderSession &session = m_model.reorderSession();
    session.setScrollHandler(
        [this](double offset) { m_rowsArea->verticalScrollBar()->setValue(int(std::lround(offset))); });
    connect(m_rowsArea->verticalScrollBar(), &QScrollBar::valueChanged, this,
        [this](int value) { m_model.reorderSession().setScrollOffset(value); });
    connect(&session, &WatchlistReorderSession::changed, this, &WatchlistView::applyFrame);

    connect(&m_settings, &SettingsViewModel::settingsChanged, this, &WatchlistView::refresh);
    connect(&m_coins, &CoinListFeed::coinsChanged, this, [this] { refreshAlerts(m_settings.settings()); });
    connect(&LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, &WatchlistView::retranslate);
    retranslate();
    refresh(m_settings.settings());
    readAnimationSetting();
}

WatchlistView::~WatchlistView()
{
    m_model.reorderSession().cancel();
    m_model.reorderSession().setScrollHandler({});
    qApp->removeEventFilter(this);
}

QList<QAbstractButton *> WatchlistView::chips() const
{
    return m_chipStrip->findChildren<QAbstractButton *>();
}

void WatchlistView::readAnimationSetting()
{
    // The settings portal carries the desktop's "enable animations" switch
    // (GNOME and the desktops that share its setting). Asked without waiting;
    // the answer counts from the next drag on.
    QDBusMessage read = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"), QStringLiteral("org.freedesktop.portal.Settings"),
        QStringLiteral("Read"));
    read << QStringLiteral("org.gnome.desktop.interface") << QStringLiteral("enable-animations");
    read.setAutoStartService(false);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusMessage reply = call->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return;
        // The value comes wrapped in a variant, once more in older portals.
        QVariant value = reply.arguments().first();
        for (int depth = 0; depth < 2 && value.canConvert<QDBusVariant>(); ++depth)
            value = value.value<QDBusVariant>().variant();
        if (value.typeId() == QMetaType::Bool)
            m_animationsOff = !value.toBool();
    });
}

void WatchlistView::setShowAddCoin(bool show)
{
    if (m_showAddCoin == show)
        return;
    m_showAddCoin = show;
    if (show) {
        placePanel();
        m_panel->show();
        m_panel->raise();
        // A press anywhere else closes the panel.
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        m_panel->hide();
        m_model.setSearchText(QString());
    }
    Q_EMIT showAddCoinChanged(show);
}

void WatchlistView::refresh(const AppSettings &settings)
{
    QSet<QString> added;
    for (const WatchlistCoin &entry : settings.watchlistCoins)
        added.insert(entry.coinId);
    for (QAbstractButton *chip : chips())
        chip->setChecked(added.contains(static_cast<WatchlistChip *>(chip)->coinId()));
    m_panel->setAddedIds(added);

    const QList<CoinMetadata> watched = m_model.watchedCoins(settings);
    QList<WatchlistRow *> rows;
    QHash<QString, WatchlistRow *> byId;
    for (const CoinMetadata &coin : watched) {
        // A coin listed twice shows once.
        if (byId.contains(coin.id))
            continue;
        WatchlistRow *row = m_rowsById.take(coin.id);
        if (!row)
            row = makeRow(coin);
        rows.append(row);
        byId.insert(coin.id, row);
    }
    for (WatchlistRow *gone : std::as_const(m_rowsById)) {
        gone->hide();
        gone->deleteLater();
    }
    m_rows = rows;
    m_rowsById = byId;
    m_listStack->setCurrentWidget(m_rows.isEmpty() ? static_cast<QWidget *>(m_empty) : m_rowsArea);
    refreshAlerts(settings);
    layoutRows();
}

void WatchlistView::refreshAlerts(const AppSettings &settings)
{
    const double rate = m_coins.usdToTargetRate();
    QHash<QString, std::optional<double>> prices;
    for (const Coin &coin : m_coins.coins())
        prices.insert(coin.id, coin.currentPrice);
    for (WatchlistRow *row : std::as_const(m_rows)) {
        for (const WatchlistCoin &entry : settings.watchlistCoins) {
            if (entry.coinId != row->coinId())
                continue;
            const std::optional<double> price = prices.value(row->coinId());
            row->showAlert(entry.alertKind, displayedThreshold(entry, rate), price);
            const std::optional<double> cost = entry.averageCostUSD
                ? std::optional<double>(*entry.averageCostUSD * effectiveUsdRate(rate))
                : std::nullopt;
            row->showHoldings(entry.holding, cost, price, settings.hideBalances);
            break;
        }
    }
}

WatchlistRow *WatchlistView::makeRow(const CoinMetadata &coin)
{
    auto *row = new WatchlistRow(coin, m_logos, m_rowsContent);
    const QString id = coin.id;
    const auto price = [this, id]() -> std::optional<double> {
        for (const Coin &listed : m_coins.coins()) {
            if (listed.id == id)
                return listed.currentPrice;
        }
        return std::nullopt;
    };
    connect(row, &WatchlistRow::alertKindChosen, this,
        [this, id, price](CoinAlertKind kind) { m_model.setAlertKind(id, kind, price(), m_coins.usdToTargetRate()); });
    connect(row, &WatchlistRow::thresholdCommitted, this,
        [this, id](double value) { m_model.setAlertValue(id, value, m_coins.usdToTargetRate()); });
    connect(row, &WatchlistRow::holdingCommitted, this,
        [this, id](std::optional<double> holding) { m_model.setHolding(id, holding); });
    connect(row, &WatchlistRow::averageCostCommitted, this,
        [this, id](std::optional<double> cost) { m_model.setAverageCost(id, cost, m_coins.usdToTargetRate()); });
    connect(row, &WatchlistRow::deleteRequested, this, [this, id] { m_model.deleteCoin(id); });
    connect(row, &WatchlistRow::moveRequested, this, [this, row](int delta) {
        if (m_model.moveRow(int(m_rows.indexOf(row)), delta))
            m_rowsArea->ensureWidgetVisible(row, 0, 0);
    });
    WatchlistHandle *handle = row->handle();
    connect(handle, &WatchlistHandle::pressed, this, [this, row](QPointF global) {
        m_model.reorderSession().setReduceMotion(m_animationsOff);
        m_model.beginReorderDrag(int(m_rows.indexOf(row)), viewportY(global));
    });
    connect(handle, &WatchlistHandle::moved, this,
        [this](QPointF global) { m_model.reorderSession().move(viewportY(global)); });
    connect(handle, &WatchlistHandle::released, this, [this] { m_model.reorderSession().release(); });
    row->show();
    return row;
}

double WatchlistView::viewportY(QPointF globalPosition) const
{
    return m_rowsArea->viewport()->mapFromGlobal(globalPosition).y();
}

void WatchlistView::layoutRows()
{
    const int width = m_rowsArea->viewport()->width();
    const int scrollBar = m_rowsArea->width() - width;
    // The captions stand over the rows' columns: the header ends where a
    // row's delete column and the scroll bar begin.
    const int end = (m_rows.isEmpty() ? kDeleteColumn : m_rows.constFirst()->trailingWidth()) + scrollBar;
    if (m_headerEnd->sizeHint().width() != end) {
        m_headerEnd->changeSize(end, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
        m_header->invalidate();
        layout()->activate();
    }
    m_rowsContent->resize(width, int(m_rows.size()) * kPitch);
    for (WatchlistRow *row : std::as_const(m_rows))
        row->resize(width, kPitch);
    applyFrame();
}

void WatchlistView::applyFrame()
{
    const WatchlistReorderSession &session = m_model.reorderSession();
    const WatchlistReorderFrame frame = session.frame();
    const std::optional<QString> dragged = session.draggedID();
    for (int i = 0; i < m_rows.size(); ++i) {
        WatchlistRow *row = m_rows.at(i);
        const double offset = frame.rowOffsets.value(i, 0.0);
        row->move(0, i * kPitch + int(std::lround(offset)));
        row->handle()->setActive(dragged == row->coinId());
        if (i == frame.hiddenRow && m_floatingPixmap.isNull())
            m_floatingPixmap = row->grab();
        row->setVisible(i != frame.hiddenRow);
    }
    if (frame.floatingY && !m_floatingPixmap.isNull()) {
        if (!m_floating)
            m_floating = new FloatingRow(m_floatingPixmap, m_rowsArea->viewport());
        m_floating->setGeometry(0, int(std::lround(*frame.floatingY)), m_rowsArea->viewport()->width(), kPitch);
        m_floating->show();
        m_floating->raise();
    } else {
        delete m_floating;
        m_floating = nullptr;
        m_floatingPixmap = QPixmap();
    }
}

void WatchlistView::placePanel()
{
    m_panel->adjustSize();
    m_panel->move(width() - m_panel->width() - 8, 4);
}

void WatchlistView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_showAddCoin)
        placePanel();
}

bool WatchlistView::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_chipArea || !m_rowsArea || !m_panel)
        return QWidget::eventFilter(watched, event);
    if (watched == m_rowsArea->viewport() && event->type() == QEvent::Resize) {
        m_model.reorderSession().setViewportHeight(m_rowsArea->viewport()->height());
        layoutRows();
    }
    if (watched == m_chipArea->viewport() && event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const QPoint delta = wheel->pixelDelta().isNull() ? wheel->angleDelta() / 2 : wheel->pixelDelta();
        QScrollBar *bar = m_chipArea->horizontalScrollBar();
        bar->setValue(bar->value() - (delta.y() != 0 ? delta.y() : delta.x()));
        return true;
    }
    if (event->type() == QEvent::FocusIn && watched->parent() == m_chipStrip)
        m_chipArea->ensureWidgetVisible(static_cast<QWidget *>(watched), 8, 0);
    if (m_showAddCoin && event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto *target = static_cast<QWidget *>(watched);
        const bool inPanel = target == m_panel || m_panel->isAncestorOf(target);
        // The toolbar button toggles the panel itself.
        const bool isToggle = target->property("togglesAddCoin").toBool();
        if (!inPanel && !isToggle && target->window() == window()) {
            setShowAddCoin(false);
            // A press on the tab only closes the panel.
            return target == this || isAncestorOf(target);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WatchlistView::retranslate()
{
    m_recommended->setText(localizedString(QStringLiteral("watchlist.recommended")));
    m_added->setText(localizedString(QStringLiteral("watchlist.added")));
    m_alert->setText(localizedString(QStringLiteral("watchlist.alert")));
    m_holdingCaption->setText(localizedString(QStringLiteral("watchlist.holding")));
    m_costCaption->setText(localizedString(QStringLiteral("watchlist.averageCost")));
    m_empty->setText(localizedString(QStringLiteral("watchlist.empty")));
    for (WatchlistRow *row : std::as_const(m_rows))
        row->retranslate();
    m_panel->retranslate();
}

} // namespace Vantrell
