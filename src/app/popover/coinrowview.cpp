// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinrowview.h"

#include "i18n/localizationmanager.h"
#include "logos/coinlogowidget.h"
#include "market/tickerprovider.h"
#include "popoverlayout.h"
#include "popoverrowtext.h"
#include "ui/popoverwidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace Vantrell {

namespace {

constexpr int kLogoSize = 32;

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
    m_change = new QLabel(this);
    m_change->setTextFormat(Qt::PlainText);
    m_change->setFont(popoverFont(10, QFont::Normal));
    m_change->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *firstLine = new QHBoxLayout;
    firstLine->setSpacing(8);
    firstLine->addWidget(m_name, 1, Qt::AlignVCenter);
    firstLine->addWidget(m_price, 0, Qt::AlignVCenter);
    auto *secondLine = new QHBoxLayout;
    secondLine->setSpacing(8);
    secondLine->addWidget(m_symbol, 0, Qt::AlignVCenter);
    secondLine->addStretch(1);
    secondLine->addWidget(m_change, 0, Qt::AlignVCenter);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addLayout(firstLine);
    texts->addLayout(secondLine);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PopoverMetrics::horizontalPadding, 0, PopoverMetrics::horizontalPadding, 0);
    layout->setSpacing(10);
    layout->addWidget(m_logo, 0, Qt::AlignVCenter);
    layout->addLayout(texts, 1);
    layout->setAlignment(texts, Qt::AlignVCenter);
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
    setToolTip(source);
    m_price->setToolTip(source);
    m_change->setText(change.text);
    setTextColor(m_change, colorOf(change, colors));
}

} // namespace Vantrell
