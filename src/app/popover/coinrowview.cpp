// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinrowview.h"

#include "chartaccessible.h"
#include "i18n/localizationmanager.h"
#include "logos/coinlogowidget.h"
#include "market/tickerprovider.h"
#include "popoverlayout.h"
#include "popoverrowtext.h"
#include "ui/popoverwidgets.h"
#include "widgetkit/sparkline.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace Vantrell {

namespace {
constexpr int kLogoSize = 32;
constexpr QSize kSparklineSize(56, 24);
constexpr int kPriceColumn = 64;
} // namespace

// The row's 24-hour line.
class RowSparklineView final : public QWidget
{
    Q_OBJECT

public:
    explicit RowSparklineView(QWidget *parent)
        : QWidget(parent)
    {
        announceAsChart(staticMetaObject);
        setFixedSize(kSparklineSize);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void setHistory(const PriceHistory24h &history, const QColor &color)
    {
        if (history == m_history && color == m_color)
            return;
        m_history = history;
        m_color = color;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintSparkline(painter, m_history, QRectF(rect()).adjusted(1, 3, -1, -3), m_color);
    }

private:
    PriceHistory24h m_history;
    QColor m_color;
};

namespace {

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QColor colorOf(const RowText &text, const PopoverColors &colors)
{
    return text.role == RowTextRole::secondary ? colors.secondary : text.color.resolved(colors.primary);
}

} // namespace

CoinRowView::CoinRowView(const Coin &coin, CoinLogoPainter *logos, QWidget *parent)
    : QWidget(parent)
    , m_coin(coin)
{
    setFixedHeight(PopoverMetrics::rowHeight);

    m_logo = new CoinLogoWidget(logos, kLogoSize, this);
    m_logo->setSource(CoinLogoSource::of(coin));

    m_name = new ElidingLabel(this);
    m_name->setFont(popoverFont(13, QFont::Medium));
    m_name->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_symbol = new QLabel(this);
    m_symbol->setTextFormat(Qt::PlainText);
    m_symbol->setFont(popoverFont(10, QFont::Normal));
    m_price = new QLabel(this);
    m_price->setTextFormat(Qt::PlainText);
    m_price->setFont(popoverFont(13, QFont::DemiBold, true));
    m_price->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A column of its own, so that the rows' lines line up.
    m_price->setMinimumWidth(kPriceColumn);
    m_change = new QLabel(this);
    m_change->setTextFormat(Qt::PlainText);
    m_change->setFont(popoverFont(10, QFont::Normal));
    m_change->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_holdingValue = new QLabel(this);
    m_holdingValue->setTextFormat(Qt::PlainText);
    m_holdingValue->setFont(popoverFont(10, QFont::Medium, true));
    m_holdingValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_holdingValue->hide();

    m_sparkline = new RowSparklineView(this);
    m_sparkline->hide();

    auto *names = new QVBoxLayout;
    names->setSpacing(2);
    names->addWidget(m_name);
    names->addWidget(m_symbol);
    auto *prices = new QVBoxLayout;
    prices->setSpacing(2);
    prices->addWidget(m_price);
    // The holding's value beside the change, under the price.
    auto *changeLine = new QHBoxLayout;
    changeLine->setSpacing(8);
    changeLine->addStretch(1);
    changeLine->addWidget(m_change);
    changeLine->addWidget(m_holdingValue);
    prices->addLayout(changeLine);
    m_changeLine = changeLine;

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PopoverMetrics::horizontalPadding, 0, PopoverMetrics::horizontalPadding, 0);
    layout->setSpacing(10);
    layout->addWidget(m_logo, 0, Qt::AlignVCenter);
    layout->addLayout(names, 1);
    layout->setAlignment(names, Qt::AlignVCenter);
    layout->addWidget(m_sparkline, 0, Qt::AlignVCenter);
    layout->addLayout(prices);
    layout->setAlignment(prices, Qt::AlignVCenter);
}

int CoinRowView::priceColumnHint() const
{
    return std::max({kPriceColumn, m_price->sizeHint().width(), m_changeLine->sizeHint().width()});
}

void CoinRowView::setPriceColumnWidth(int width)
{
    m_price->setMinimumWidth(std::max(kPriceColumn, width));
}

bool CoinRowView::hasChart() const
{
    return !m_sparkline->isHidden();
}

void CoinRowView::mouseReleaseEvent(QMouseEvent *event)
{
    if (hasChart() && rect().contains(event->position().toPoint()))
        Q_EMIT chartRequested();
    QWidget::mouseReleaseEvent(event);
}

void CoinRowView::keyPressEvent(QKeyEvent *event)
{
    const bool activate
        = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
    if (hasChart() && activate) {
        Q_EMIT chartRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CoinRowView::setCoin(const Coin &coin)
{
    m_coin = coin;
    m_logo->setSource(CoinLogoSource::of(coin));
}

void CoinRowView::refresh(const AppSettings &settings, const PopoverColors &colors)
{
    const RowText price = priceText(m_coin, settings);
    const RowText change = changeText(m_coin, settings);

    m_name->setText(m_coin.name);
    m_name->setToolTip(m_coin.name);
    setTextColor(m_name, colors.primary);
    m_symbol->setText(m_coin.symbol);
    setTextColor(m_symbol, colors.secondary);
    m_price->setText(price.text);
    setTextColor(m_price, colorOf(price, colors));
    // Where the price on show comes from; nothing for a fixed price.
    const QString source = m_coin.priceSource.isEmpty()
        ? QString()
        : localizedString(QStringLiteral("popover.row.source"), {exchangeDisplayName(m_coin.priceSource)});
    m_price->setToolTip(source);
    m_change->setText(change.text);
    setTextColor(m_change, colorOf(change, colors));
    const RowText holding = holdingValueText(m_coin, settings);
    m_holdingValue->setText(holding.text);
    m_holdingValue->setVisible(!holding.text.isEmpty());
    setTextColor(m_holdingValue, colorOf(holding, colors));

    const bool chart = settings.show24hCharts && !m_coin.history24h.isEmpty();
    m_chartColor = change.text.isEmpty() ? colors.secondary : colorOf(change, colors);
    static_cast<RowSparklineView *>(m_sparkline)->setHistory(m_coin.history24h, m_chartColor);
    m_sparkline->setVisible(chart);
    setFocusPolicy(chart ? Qt::StrongFocus : Qt::NoFocus);
    setCursor(chart ? Qt::PointingHandCursor : Qt::ArrowCursor);
    const QString chartName = localizedString(QStringLiteral("chart.name"), {m_coin.name});
    if (m_sparkline->accessibleName() != chartName)
        m_sparkline->setAccessibleName(chartName);
    setAccessibleName(m_coin.name + QStringLiteral(", ") + m_coin.symbol);
    // The row's tip: where the price comes from, and what a click does.
    QStringList tip;
    if (!source.isEmpty())
        tip.append(source);
    if (chart)
        tip.append(localizedString(QStringLiteral("popover.row.chart.help")));
    setToolTip(tip.join(u'\n'));
    setAccessibleDescription(tip.join(QStringLiteral(". ")));
}

} // namespace Vantrell

#include "coinrowview.moc"
