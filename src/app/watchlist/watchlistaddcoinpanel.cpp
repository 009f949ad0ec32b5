// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlistaddcoinpanel.h"

#include "i18n/localizationmanager.h"
#include "logos/coinlogopainter.h"
#include "ui/popoverwidgets.h"
#include "watchlistviewmodel.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace Vantrell {

namespace {

constexpr int kResultRowHeight = 40;
constexpr int kResultsPadding = 6;
constexpr int kCornerRadius = 12;
enum ResultRole { CoinIdRole = Qt::UserRole + 1, AddedRole, CoinRole };

// The state mark at the end of a result: a plus in a ring (not added), a tick
// on a green disc (added) and a minus on a red disc (added, under the pointer).
void drawStateMark(QPainter &painter, const QRectF &rect, bool added, bool hovered, const QColor &accent)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = rect.adjusted(1, 1, -1, -1);
    const QPointF c = disc.center();
    const double r = disc.width() / 2;
    if (!added) {
        const QColor color = withAlpha(accent, hovered ? 1.0 : 0.55);
        painter.setPen(QPen(color, 1.3));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(disc.adjusted(0.65, 0.65, -0.65, -0.65));
        painter.drawLine(QPointF(c.x() - r * 0.45, c.y()), QPointF(c.x() + r * 0.45, c.y()));
        painter.drawLine(QPointF(c.x(), c.y() - r * 0.45), QPointF(c.x(), c.y() + r * 0.45));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(hovered ? QColor(0xE5, 0x48, 0x4D) : QColor(0x30, 0xA4, 0x6C));
        painter.drawEllipse(disc);
        QPen mark(Qt::white, 1.6);
        mark.setCapStyle(Qt::RoundCap);
        mark.setJoinStyle(Qt::RoundJoin);
        painter.setPen(mark);
        if (hovered) {
            painter.drawLine(QPointF(c.x() - r * 0.45, c.y()), QPointF(c.x() + r * 0.45, c.y()));
        } else {
            const QPointF tick[] = {QPointF(c.x() - r * 0.42, c.y() + r * 0.02),
                QPointF(c.x() - r * 0.1, c.y() + r * 0.34), QPointF(c.x() + r * 0.45, c.y() - r * 0.32)};
            painter.drawPolyline(tick, 3);
        }
    }
    painter.restore();
}

// A magnifying glass in one colour, 14 px.
QPixmap magnifierPixmap(const QColor &color, qreal ratio)
{
    QPixmap pixmap(QSize(14, 14) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(color, 1.6);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawEllipse(QRectF(1.5, 1.5, 8, 8));
    painter.drawLine(QPointF(8.6, 8.6), QPointF(12.5, 12.5));
    return pixmap;
}

} // namespace

// The search results as a list model: one row per coin record.
class WatchlistResultModel final : public QAbstractListModel
{
public:
    explicit WatchlistResultModel(WatchlistViewModel &model, QObject *parent)
        : QAbstractListModel(parent)
        , m_model(model)
    { }

    void reload()
    {
        beginResetModel();
        m_coins = m_model.results();
        endResetModel();
    }
    // Only the added marks changed.
    void setAddedIds(const QSet<QString> &addedIds)
    {
        m_added = addedIds;
        if (!m_coins.isEmpty())
            Q_EMIT dataChanged(index(0), index(int(m_coins.size()) - 1), {AddedRole});
    }

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : int(m_coins.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_coins.size())
            return {};
        const CoinMetadata &coin = m_coins.at(index.row());
        switch (role) {
        case Qt::DisplayRole:
            return coin.symbol;
        case Qt::AccessibleTextRole:
            return QString(coin.symbol + QStringLiteral(", ") + coin.name);
        case CoinIdRole:
            return coin.id;
        case AddedRole:
            return m_added.contains(coin.id);
        case Qt::CheckStateRole:
            // Read by assistive tools as the row's selected state.
            return m_added.contains(coin.id) ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return QAbstractListModel::flags(index) | Qt::ItemIsUserCheckable;
    }

    const CoinMetadata &coin(int row) const { return m_coins.at(row); }

private:
    WatchlistViewModel &m_model;
    QList<CoinMetadata> m_coins;
    QSet<QString> m_added;
};

namespace {

class ResultDelegate final : public QStyledItemDelegate
{
public:
    ResultDelegate(const WatchlistResultModel &model, CoinLogoPainter *logos, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_model(model)
        , m_logos(logos)
    { }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return {WatchlistAddCoinPanel::panelWidth - 2 * kResultsPadding, kResultRowHeight};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const CoinMetadata &coin = m_model.coin(index.row());
        const bool added = index.data(AddedRole).toBool();
        const bool hovered = option.state.testFlag(QStyle::State_MouseOver);
        const bool current = option.state.testFlag(QStyle::State_HasFocus);
        const PopoverColors colors = PopoverColors::fromPalette(option.palette);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF cell = QRectF(option.rect).adjusted(0, 1, 0, -1);
        if (hovered || current) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(withAlpha(added && hovered ? QColor(0xE5, 0x48, 0x4D) : colors.accent, 0.12));
            painter->drawRoundedRect(cell, 6, 6);
        }
        const QRectF content = cell.adjusted(8, 0, -8, 0);
        const QRectF logo(content.left(), content.center().y() - 12, 24, 24);
        if (m_logos)
            m_logos->paint(*painter, logo, CoinLogoSource::of(coin), colors.accent);
        const QRectF mark(content.right() - 16, content.center().y() - 8, 16, 16);
        drawStateMark(*painter, mark, added, hovered, colors.accent);
        const double textLeft = logo.right() + 8;
        const double textWidth = mark.left() - 8 - textLeft;
        const QFont symbolFont = popoverFont(13, QFont::Medium);
        const QFont nameFont = popoverFont(11, QFont::Normal);
        painter->setFont(symbolFont);
        painter->setPen(colors.primary);
        const QRectF symbolRect(textLeft, content.top() + 3, textWidth, content.height() / 2 - 2);
        painter->drawText(symbolRect, Qt::AlignLeft | Qt::AlignBottom,
            QFontMetrics(symbolFont).elidedText(coin.symbol, Qt::ElideRight, int(textWidth)));
        painter->setFont(nameFont);
        painter->setPen(colors.secondary);
        const QRectF nameRect(textLeft, content.center().y() + 1, textWidth, content.height() / 2 - 4);
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignTop,
            QFontMetrics(nameFont).elidedText(coin.name, Qt::ElideRight, int(textWidth)));
        painter->restore();
    }

private:
    const WatchlistResultModel &m_model;
    QPointer<CoinLogoPainter> m_logos;
};

} // namespace

WatchlistAddCoinPanel::WatchlistAddCoinPanel(WatchlistViewModel &model, CoinLogoPainter *logos, QWidget *parent)
    : QFrame(parent)
    , m_model(model)
{
    setFixedWidth(panelWidth);
    setAttribute(Qt::WA_StyledBackground, false);
    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setBlurRadius(32);
    shadow->setOffset(0, 6);
    shadow->setColor(QColor(0, 0, 0, 46));
    setGraphicsEffect(shadow);

    auto *searchBar = new QFrame(this);
    searchBar->setObjectName(QStringLiteral("searchBar"));
    auto *bar = new QHBoxLayout(searchBar);
    bar->setContentsMargins(8, 4, 4, 4);
    bar->setSpacing(6);
    auto *magnifier = new QLabel(searchBar);
    magnifier->setPixmap(magnifierPixmap(PopoverColors::fromPalette(palette()).secondary, devicePixelRatioF()));
    m_search = new QLineEdit(searchBar);
    m_search->setFrame(false);
    m_search->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    m_search->setClearButtonEnabled(false);
    m_search->installEventFilter(this);
    m_clear = new QToolButton(searchBar);
    m_clear->setAutoRaise(true);
    m_clear->setIcon(QIcon::fromTheme(QStringLiteral("edit-clear-symbolic"),
        QIcon::fromTheme(
            QStringLiteral("edit-clear"), QApplication::style()->standardIcon(QStyle::SP_LineEditClearButton))));
    m_clear->setIconSize(QSize(14, 14));
    m_clear->setFocusPolicy(Qt::NoFocus);
    m_clear->hide();
    bar->addWidget(magnifier);
    bar->addWidget(m_search, 1);
    bar->addWidget(m_clear);

    auto *divider = new QWidget(this);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::Window, withAlpha(palette().color(QPalette::WindowText), 0.10));
    divider->setPalette(dividerPalette);

    m_resultModel = new WatchlistResultModel(model, this);
    m_results = new QListView(this);
    m_results->setModel(m_resultModel);
    m_results->setItemDelegate(new ResultDelegate(*m_resultModel, logos, m_results));
    m_results->setFrameShape(QFrame::NoFrame);
    m_results->setUniformItemSizes(true);
    m_results->setMouseTracking(true);
    m_results->setAttribute(Qt::WA_Hover);
    m_results->viewport()->setAttribute(Qt::WA_Hover);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_results->setSelectionMode(QAbstractItemView::NoSelection);
    m_results->setSpacing(0);
    m_results->viewport()->setAutoFillBackground(false);
    m_results->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    m_results->installEventFilter(this);
    m_noResults = new QLabel(this);
    m_noResults->setAlignment(Qt::AlignCenter);
    m_noResults->setForegroundRole(QPalette::PlaceholderText);
    m_noResults->setMinimumHeight(56);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    auto *barMargins = new QVBoxLayout;
    barMargins->setContentsMargins(10, 10, 10, 10);
    barMargins->addWidget(searchBar);
    layout->addLayout(barMargins);
    layout->addWidget(divider);
    auto *resultMargins = new QVBoxLayout;
    resultMargins->setContentsMargins(kResultsPadding, kResultsPadding, kResultsPadding, kResultsPadding);
    resultMargins->addWidget(m_results);
    layout->addLayout(resultMargins);
    layout->addWidget(m_noResults);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_clear->setVisible(!text.isEmpty());
        m_model.setSearchText(text);
    });
    connect(&m_model, &WatchlistViewModel::searchTextChanged, this, [this](const QString &text) {
        if (m_search->text() != text)
            m_search->setText(text);
        updateResults();
    });
    connect(m_clear, &QToolButton::clicked, this, [this] {
        m_search->clear();
        m_search->setFocus();
    });
    connect(m_search, &QLineEdit::returnPressed, this, [this] { m_model.submitSearch(); });
    connect(m_results, &QListView::clicked, this,
        [this](const QModelIndex &index) { m_model.toggle(index.data(CoinIdRole).toString()); });

    retranslate();
    updateResults();
}

WatchlistAddCoinPanel::~WatchlistAddCoinPanel() = default;

void WatchlistAddCoinPanel::setAddedIds(const QSet<QString> &addedIds)
{
    m_resultModel->setAddedIds(addedIds);
}

void WatchlistAddCoinPanel::updateResults()
{
    m_resultModel->reload();
    const int count = m_resultModel->rowCount({});
    m_results->setVisible(count > 0);
    m_noResults->setVisible(count == 0);
    m_results->setFixedHeight(std::min(maximumResultsHeight - 2 * kResultsPadding, count * kResultRowHeight));
    m_results->scrollToTop();
    // adjustSize() reads the layouts' cached hints; activating first renews
    // those of the nested layouts too, or the panel would keep its old height
    // and hand the difference to the search bar.
    layout()->activate();
    adjustSize();
}

void WatchlistAddCoinPanel::retranslate()
{
    m_search->setPlaceholderText(localizedString(QStringLiteral("watchlist.search.placeholder")));
    m_search->setAccessibleName(localizedString(QStringLiteral("watchlist.search.placeholder")));
    m_clear->setToolTip(localizedString(QStringLiteral("watchlist.search.clear")));
    m_clear->setAccessibleName(localizedString(QStringLiteral("watchlist.search.clear")));
    m_noResults->setText(localizedString(QStringLiteral("watchlist.search.noResults")));
    m_results->setAccessibleName(localizedString(QStringLiteral("watchlist.addCoin")));
}

bool WatchlistAddCoinPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::InputMethod)
        m_composing = !static_cast<QInputMethodEvent *>(event)->preeditString().isEmpty();
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            // Escape while composing belongs to the input method.
            if (watched == m_search && m_composing)
                return false;
            Q_EMIT closeRequested();
            return true;
        }
        if (watched == m_results
            && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space)) {
            const QModelIndex current = m_results->currentIndex();
            if (current.isValid())
                m_model.toggle(current.data(CoinIdRole).toString());
            return true;
        }
        if (watched == m_search && key->key() == Qt::Key_Down && m_results->isVisible()) {
            m_results->setFocus();
            m_results->setCurrentIndex(m_resultModel->index(0));
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void WatchlistAddCoinPanel::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    m_composing = false;
    m_search->setFocus(Qt::PopupFocusReason);
}

void WatchlistAddCoinPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const PopoverColors colors = PopoverColors::fromPalette(palette());
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(withAlpha(colors.primary, 0.10), 1));
    painter.setBrush(palette().color(QPalette::Window));
    painter.drawRoundedRect(frame, kCornerRadius, kCornerRadius);
    // The search bar's soft background.
    if (const auto *bar = findChild<QFrame *>(QStringLiteral("searchBar"))) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(withAlpha(colors.primary, 0.06));
        painter.drawRoundedRect(QRectF(bar->geometry()), 7, 7);
    }
}

} // namespace Vantrell
