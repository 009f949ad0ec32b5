// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlistrow.h"

#include "i18n/localizationmanager.h"
#include "logos/coinlogowidget.h"
#include "settings/settingsenums.h"
#include "ui/popoverwidgets.h"
#include "widgetkit/priceformatter.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace Vantrell {

namespace {

constexpr int kRowHeight = 44;
constexpr int kHandleWidth = 20;
constexpr int kKindMenuWidth = 88;
constexpr int kLogoSide = 24;

} // namespace

WatchlistHandle::WatchlistHandle(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(kHandleWidth, kRowHeight);
    setCursor(Qt::OpenHandCursor);
    // Reached by Tab for keyboard reordering; a press of the pointer leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(localizedString(QStringLiteral("watchlist.reorder")));
}

void WatchlistHandle::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    update();
}

void WatchlistHandle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const PopoverColors colors = PopoverColors::fromPalette(palette());
    const QColor color = m_active ? colors.accent : withAlpha(colors.primary, hasFocus() ? 0.7 : 0.28);
    QPen pen(color, 1.5);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const double centreY = height() / 2.0;
    for (const double dy : {-4.0, 0.0, 4.0})
        painter.drawLine(QPointF(5, centreY + dy), QPointF(width() - 5, centreY + dy));
    if (hasFocus()) {
        painter.setPen(QPen(colors.accent, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 10.5, -1.5, -10.5), 4, 4);
    }
}

void WatchlistHandle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressed = true;
    setCursor(Qt::ClosedHandCursor);
    Q_EMIT pressed(event->globalPosition());
}

void WatchlistHandle::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed)
        Q_EMIT moved(event->globalPosition());
}

void WatchlistHandle::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    setCursor(Qt::OpenHandCursor);
    Q_EMIT released();
}

WatchlistRow::WatchlistRow(const CoinMetadata &coin, CoinLogoPainter *logos, QWidget *parent)
    : QWidget(parent)
    , m_coin(coin)
{
    setFixedHeight(kRowHeight);
    setAutoFillBackground(false);

    m_handle = new WatchlistHandle(this);
    m_logo = new CoinLogoWidget(logos, kLogoSide, this);
    m_logo->setSource(CoinLogoSource::of(coin));
    // Elided when the row is narrow, so that every row's columns line up.
    m_symbol = new ElidingLabel(this);
    m_symbol->setText(coin.symbol);
    m_symbol->setFont(popoverFont(13, QFont::DemiBold));
    m_name = new ElidingLabel(this);
    m_name->setText(coin.name);
    m_name->setFont(popoverFont(11, QFont::Normal));
    auto *texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(0);
    texts->addStretch(1);
    texts->addWidget(m_symbol);
    texts->addWidget(m_name);
    texts->addStretch(1);

    m_kind = new QComboBox(this);
    m_kind->setFixedWidth(kKindMenuWidth);
    for (const CoinAlertKind kind : allCases<CoinAlertKind>())
        m_kind->addItem(displayName(kind), rawValue(kind));
    connect(m_kind, &QComboBox::activated, this,
        [this](int index) { Q_EMIT alertKindChosen(allCases<CoinAlertKind>()[size_t(index)]); });

    m_fieldFrame = makeFieldFrame(m_field);
    auto *frameLayout = static_cast<QHBoxLayout *>(m_fieldFrame->layout());
    m_percent = new QLabel(QStringLiteral("%"), m_fieldFrame);
    m_percent->setFont(popoverFont(11, QFont::Normal));
    m_percent->setForegroundRole(QPalette::PlaceholderText);
    frameLayout->addWidget(m_percent);
    m_dash = new QLabel(WatchlistAlertField::notSetText(), this);
    m_dash->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_dash->setFont(popoverFont(12, QFont::Normal));
    m_dash->setForegroundRole(QPalette::PlaceholderText);
    connect(m_field, &QLineEdit::textEdited, this, [this](const QString &typed) {
        const QString kept = m_alert.type(typed);
        if (kept != typed)
            m_field->setText(kept);
    });
    connect(m_field, &QLineEdit::editingFinished, this, &WatchlistRow::finishEditing);

    m_holdingFrame = makeFieldFrame(m_holdingField);
    m_holdingFrame->setFixedWidth(amountFieldWidth);
    bindAmountField(m_holdingField, m_holding, &WatchlistRow::holdingCommitted);
    m_costFrame = makeFieldFrame(m_costField);
    m_costFrame->setFixedWidth(amountFieldWidth);
    bindAmountField(m_costField, m_cost, &WatchlistRow::averageCostCommitted);

    m_delete = new QToolButton(this);
    m_delete->setAutoRaise(true);
    m_delete->setIcon(QIcon::fromTheme(
        QStringLiteral("user-trash-symbolic"), QApplication::style()->standardIcon(QStyle::SP_TrashIcon)));
    m_delete->setIconSize(QSize(16, 16));
    connect(m_delete, &QToolButton::clicked, this, &WatchlistRow::deleteRequested);

    // The alert column is a layout, not a widget of its own: the kind menu stays
    // a sibling of the symbol, which names the coin to a screen reader.
    constexpr int alertSpacing = 6;
    m_fieldFrame->setFixedWidth(alertColumnWidth - kKindMenuWidth - alertSpacing);
    m_dash->setFixedWidth(alertColumnWidth - kKindMenuWidth - alertSpacing);
    m_symbol->setBuddy(m_kind);
    auto *alert = new QHBoxLayout;
    alert->setContentsMargins(0, 0, 0, 0);
    alert->setSpacing(alertSpacing);
    alert->addWidget(m_kind);
    alert->addWidget(m_fieldFrame);
    alert->addWidget(m_dash);

    auto *amounts = new QHBoxLayout;
    amounts->setContentsMargins(0, 0, 0, 0);
    amounts->setSpacing(amountSpacing);
    amounts->addWidget(m_holdingFrame);
    amounts->addWidget(m_costFrame);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 8, 0);
    layout->setSpacing(8);
    layout->addWidget(m_handle);
    layout->addWidget(m_logo);
    layout->addLayout(texts, 1);
    layout->addLayout(amounts);
    layout->addLayout(alert);
    layout->addWidget(m_delete);

    // Alt+Up / Alt+Down reach the row from any of its controls; the kind menu
    // would otherwise open on Alt+Down.
    for (QWidget *control : std::initializer_list<QWidget *> {m_handle, m_kind, m_delete})
        control->installEventFilter(this);
    setTabOrder(m_handle, m_holdingField);
    setTabOrder(m_holdingField, m_costField);
    setTabOrder(m_costField, m_kind);
    setTabOrder(m_kind, m_field);
    setTabOrder(m_field, m_delete);

    updateColors();
    retranslate();
    applyAlert();
}

int WatchlistRow::trailingWidth() const
{
    return layout()->contentsMargins().right() + static_cast<QBoxLayout *>(layout())->spacing()
        + m_delete->sizeHint().width();
}

void WatchlistRow::showAlert(CoinAlertKind kind, double value, std::optional<double> referencePrice)
{
    m_alert.show(kind, value, referencePrice);
    applyAlert();
}

QWidget *WatchlistRow::makeFieldFrame(QLineEdit *&field)
{
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("fieldFrame"));
    frame->setAttribute(Qt::WA_StyledBackground);
    frame->setFixedHeight(26);
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->setContentsMargins(6, 3, 6, 3);
    frameLayout->setSpacing(3);
    field = new QLineEdit(frame);
    field->setFrame(false);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setFont(popoverFont(12, QFont::Normal, true));
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    field->installEventFilter(this);
    frameLayout->addWidget(field, 1);
    return frame;
}

void WatchlistRow::bindAmountField(
    QLineEdit *field, WatchlistAmountField &state, void (WatchlistRow::*committed)(std::optional<double>))
{
    connect(field, &QLineEdit::textEdited, this, [field, &state](const QString &typed) {
        const QString kept = state.type(typed);
        if (kept != typed)
            field->setText(kept);
    });
    connect(field, &QLineEdit::editingFinished, this, [this, &state, committed] {
        const std::optional<AmountEdit> edit = state.endEditing();
        // A text that does not parse shows the stored value again.
        applyAmounts();
        if (edit)
            Q_EMIT(this->*committed)(edit->value);
    });
}

void WatchlistRow::showHoldings(std::optional<double> holding, std::optional<double> averageCost,
    std::optional<double> referencePrice, bool hideBalances)
{
    m_holding.show(holding, referencePrice);
    m_cost.show(averageCost, referencePrice);
    m_hideBalances = hideBalances;
    applyAmounts();
}

void WatchlistRow::applyAmounts()
{
    const auto apply = [this](QLineEdit *field, const WatchlistAmountField &state, const QString &placeholder) {
        if (state.isEditing())
            return;
        // Hidden balances stay hidden here too until the field takes the focus.
        const bool masked = m_hideBalances && !field->hasFocus() && !state.text().isEmpty();
        field->setPlaceholderText(masked ? hiddenAmount() : placeholder);
        const QString text = masked ? QString() : state.text();
        if (field->text() != text)
            field->setText(text);
    };
    apply(m_holdingField, m_holding, localizedString(QStringLiteral("watchlist.holding.placeholder")));
    apply(m_costField, m_cost, localizedString(QStringLiteral("watchlist.averageCost.placeholder")));
}

void WatchlistRow::applyAlert()
{
    const auto cases = allCases<CoinAlertKind>();
    const int index = int(std::find(cases.begin(), cases.end(), m_alert.kind()) - cases.begin());
    if (m_kind->currentIndex() != index)
        m_kind->setCurrentIndex(index);
    m_fieldFrame->setVisible(m_alert.hasField());
    m_dash->setVisible(!m_alert.hasField());
    m_percent->setVisible(!m_alert.suffix().isEmpty());
    if (!m_alert.isEditing() && m_field->text() != m_alert.text())
        m_field->setText(m_alert.text());
}

void WatchlistRow::finishEditing()
{
    const std::optional<double> value = m_alert.endEditing();
    // A text that does not parse shows the stored value again.
    applyAlert();
    if (value)
        Q_EMIT thresholdCommitted(*value);
}

void WatchlistRow::retranslate()
{
    const QString label = m_coin.symbol + QStringLiteral(", ") + m_coin.name;
    const QString alert = localizedString(QStringLiteral("watchlist.alert"));
    m_handle->setAccessibleName(localizedString(QStringLiteral("watchlist.reorder")) + QStringLiteral(": ") + label);
    m_handle->setToolTip(localizedString(QStringLiteral("watchlist.reorder")));
    // A combo box is named by its current choice; the symbol beside it names
    // the coin, and the description says what the choice is.
    m_kind->setAccessibleDescription(alert + QStringLiteral(": ") + label);
    for (int i = 0; i < m_kind->count(); ++i)
        m_kind->setItemText(i, displayName(allCases<CoinAlertKind>()[size_t(i)]));
    m_field->setAccessibleName(alert + QStringLiteral(": ") + label);
    const QString holding = localizedString(QStringLiteral("watchlist.holding"));
    m_holdingField->setAccessibleName(holding + QStringLiteral(": ") + label);
    m_holdingField->setToolTip(localizedString(QStringLiteral("watchlist.holding.help")));
    const QString cost = localizedString(QStringLiteral("watchlist.averageCost"));
    m_costField->setAccessibleName(cost + QStringLiteral(": ") + label);
    m_costField->setToolTip(localizedString(QStringLiteral("watchlist.averageCost.help")));
    const QString remove = localizedString(QStringLiteral("watchlist.delete"));
    m_delete->setToolTip(remove);
    m_delete->setAccessibleName(remove + QStringLiteral(": ") + label);
    applyAmounts();
}

bool WatchlistRow::eventFilter(QObject *watched, QEvent *event)
{
    // Focus shows a hidden amount for editing; leaving hides it again.
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        && (watched == m_holdingField || watched == m_costField))
        applyAmounts();
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::AltModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            Q_EMIT moveRequested(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WatchlistRow::paintEvent(QPaintEvent *)
{
    // The divider lies over the row's bottom edge, so the pitch stays 44.
    QPainter painter(this);
    const PopoverColors colors = PopoverColors::fromPalette(palette());
    painter.fillRect(QRect(0, height() - 1, width(), 1), withAlpha(colors.primary, 0.08));
}

void WatchlistRow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        updateColors();
    QWidget::changeEvent(event);
}

void WatchlistRow::updateColors()
{
    const PopoverColors colors = PopoverColors::fromPalette(palette());
    QPalette names = m_name->palette();
    names.setColor(QPalette::WindowText, colors.secondary);
    m_name->setPalette(names);
    // The fields sit on rounded text-background frames.
    const QString frameStyle = QStringLiteral("QWidget#fieldFrame { background: %1; border: 1px solid %2; "
                                              "border-radius: 6px; } QLineEdit { background: transparent; }")
                                   .arg(palette().color(QPalette::Base).name(QColor::HexArgb),
                                       withAlpha(colors.primary, 0.12).name(QColor::HexArgb));
    for (QWidget *frame : {m_fieldFrame, m_holdingFrame, m_costFrame})
        frame->setStyleSheet(frameStyle);
}

} // namespace Vantrell
