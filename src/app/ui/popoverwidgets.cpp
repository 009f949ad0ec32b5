// SPDX-License-Identifier: GPL-3.0-or-later
#include "popoverwidgets.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QTimerEvent>

#include <cmath>

namespace Vantrell {

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(color.alphaF() * alpha);
    return color;
}

PopoverColors PopoverColors::fromPalette(const QPalette &palette, bool translucent)
{
    PopoverColors colors;
    colors.primary = palette.color(QPalette::Active, QPalette::WindowText);
    colors.secondary = withAlpha(colors.primary, 0.55);
    colors.accent = palette.color(QPalette::Active, QPalette::Highlight);
    colors.onAccent = palette.color(QPalette::Active, QPalette::HighlightedText);
    colors.controlBackground = withAlpha(palette.color(QPalette::Active, QPalette::Base), 0.55);
    // Without a blur behind it the popover has to stay nearly opaque to keep
    // its text legible over any window.
    colors.background = withAlpha(palette.color(QPalette::Active, QPalette::Window), translucent ? 0.95 : 1.0);
    colors.border = withAlpha(colors.primary, 0.08);
    const bool dark = palette.color(QPalette::Active, QPalette::Window).lightness() < 128;
    colors.warning = dark ? QColor(0xFF, 0xB3, 0x40) : QColor(0xB8, 0x6E, 0x00);
    return colors;
}

QFont popoverFont(int pixelSize, QFont::Weight weight, bool monospaced)
{
    QFont font = QApplication::font();
    if (monospaced) {
        font.setFamilies(QFontDatabase::systemFont(QFontDatabase::FixedFont).families());
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
    }
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

// ElidingLabel

ElidingLabel::ElidingLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

QSize ElidingLabel::minimumSizeHint() const
{
    return {0, QLabel::minimumSizeHint().height()};
}

void ElidingLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    painter.drawText(area, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}

// PopoverIconView

PopoverIconView::PopoverIconView(PopoverIcon icon, int size, QWidget *parent)
    : QWidget(parent)
    , m_icon(icon)
    , m_size(size)
{
    setFixedSize(size, size);
}

void PopoverIconView::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void PopoverIconView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, popoverIconPixmap(m_icon, m_size, m_color, devicePixelRatioF()));
}

// BusyIndicator

namespace {
constexpr int kSpokes = 8;
constexpr int kIndicatorSize = 16;
// The small indicator drawn at 72 % of its size, as the header wants it.
constexpr qreal kIndicatorScale = 0.72;
constexpr int kSpokeIntervalMs = 100;
} // namespace

BusyIndicator::BusyIndicator(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(kIndicatorSize, kIndicatorSize);
}

void BusyIndicator::setColor(const QColor &color)
{
    m_color = color;
    update();
}

QSize BusyIndicator::sizeHint() const
{
    return {kIndicatorSize, kIndicatorSize};
}

void BusyIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(QRectF(rect()).center());
    painter.scale(kIndicatorScale, kIndicatorScale);
    const qreal outer = kIndicatorSize / 2.0 - 1.0;
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the phase is the brightest; the ones behind it fade out.
        const int age = (m_phase - i + kSpokes) % kSpokes;
        QColor color = m_color;
        color.setAlphaF(m_color.alphaF() * (1.0 - 0.75 * age / (kSpokes - 1)));
        painter.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap));
        const qreal angle = 2 * M_PI * i / kSpokes - M_PI / 2;
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(direction * outer * 0.5, direction * outer);
    }
}

void BusyIndicator::showEvent(QShowEvent *)
{
    m_timer.start(kSpokeIntervalMs, this);
}

void BusyIndicator::hideEvent(QHideEvent *)
{
    m_timer.stop();
}

void BusyIndicator::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId())
        return QWidget::timerEvent(event);
    m_phase = (m_phase + 1) % kSpokes;
    update();
}

// PopoverButton

namespace {
constexpr int kIconFrameWidth = 36;
constexpr int kIconFrameHeight = 32;
constexpr int kIconTextSpacing = 4;
} // namespace

PopoverButton::PopoverButton(Kind kind, QWidget *parent)
    : QAbstractButton(parent)
    , m_kind(kind)
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFont(textFont());
    if (kind == Kind::icon)
        setFixedSize(kIconFrameWidth, kIconFrameHeight);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PopoverButton::setPopoverIcon(PopoverIcon icon, Qt::Alignment alignment)
{
    m_icon = icon;
    m_iconAlignment = alignment;
    updateGeometry();
    update();
}

void PopoverButton::setColors(const PopoverColors &colors)
{
    m_colors = colors;
    update();
}

QFont PopoverButton::textFont() const
{
    switch (m_kind) {
    case Kind::badge:
        return popoverFont(11, QFont::Medium);
    case Kind::icon:
        return popoverFont(15, QFont::Medium);
    case Kind::tinted:
    case Kind::prominent:
        break;
    }
    return popoverFont(13, QFont::Medium);
}

QMargins PopoverButton::padding() const
{
    switch (m_kind) {
    case Kind::icon:
        return {};
    case Kind::tinted:
        return {14, 6, 14, 6};
    case Kind::badge:
        return {8, 3, 8, 3};
    case Kind::prominent:
        return {14, 5, 14, 5};
    }
    return {};
}

int PopoverButton::iconSize() const
{
    return m_kind == Kind::badge ? 12 : 17;
}

QSize PopoverButton::sizeHint() const
{
    if (m_kind == Kind::icon)
        return {kIconFrameWidth, kIconFrameHeight};
    const QFontMetrics metrics(font());
    int width = text().isEmpty() ? 0 : metrics.horizontalAdvance(text());
    int height = metrics.height();
    if (m_icon) {
        width += iconSize() + (text().isEmpty() ? 0 : kIconTextSpacing);
        height = std::max(height, iconSize());
    }
    const QMargins margins = padding();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

void PopoverButton::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QAbstractButton::focusInEvent(event);
}

bool PopoverButton::event(QEvent *event)
{
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave)
        update();
    return QAbstractButton::event(event);
}

void PopoverButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool hovered = underMouse();
    const bool pressed = isDown();
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    QRectF background;
    qreal radius = 0;
    QColor fill;
    QColor foreground;
    switch (m_kind) {
    case Kind::icon: {
        const int side = iconSize() + 10;
        const qreal x = (m_iconAlignment & Qt::AlignLeft) ? 0
            : (m_iconAlignment & Qt::AlignRight)          ? width() - side
                                                          : (width() - side) / 2.0;
        background = QRectF(x, (height() - side) / 2.0, side, side);
        radius = 6;
        fill = pressed ? withAlpha(m_colors.primary, 0.14) : (hovered ? withAlpha(m_colors.primary, 0.08) : QColor());
        foreground = hovered || pressed ? m_colors.primary : m_colors.secondary;
        break;
    }
    case Kind::tinted:
        background = bounds;
        radius = 8;
        fill = m_colors.controlBackground;
        foreground = m_colors.primary;
        break;
    case Kind::badge:
        background = bounds;
        radius = bounds.height() / 2;
        fill = withAlpha(m_colors.accent, pressed ? 0.3 : (hovered ? 0.22 : 0.15));
        foreground = m_colors.accent;
        break;
    case Kind::prominent:
        background = bounds;
        radius = 6;
        fill = pressed ? m_colors.accent.darker(115) : (hovered ? m_colors.accent.lighter(108) : m_colors.accent);
        foreground = m_colors.onAccent;
        break;
    }

    if (fill.isValid() && fill.alpha() > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(background, radius, radius);
    }
    if (m_kind == Kind::tinted && (hovered || pressed)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(withAlpha(m_colors.primary, pressed ? 0.1 : 0.05));
        painter.drawRoundedRect(background, radius, radius);
    }
    if (hasFocus() && m_keyboardFocus) {
        painter.setPen(QPen(withAlpha(m_colors.accent, 0.8), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(background.adjusted(1, 1, -1, -1), radius, radius);
    }

    const QRect content = rect().marginsRemoved(padding());
    int x = content.left();
    if (m_kind == Kind::icon) {
        x = int(background.left()) + (int(background.width()) - iconSize()) / 2;
    } else {
        const int used = sizeHint().width() - padding().left() - padding().right();
        x = content.left() + (content.width() - used) / 2;
    }
    if (m_icon) {
        const int size = iconSize();
        const int y = (height() - size) / 2;
        painter.drawPixmap(x, y, popoverIconPixmap(*m_icon, size, foreground, devicePixelRatioF()));
        x += size + kIconTextSpacing;
    }
    if (!text().isEmpty()) {
        painter.setFont(font());
        painter.setPen(foreground);
        painter.drawText(QRect(x, content.top(), content.right() - x + 1, content.height()),
            Qt::AlignLeft | Qt::AlignVCenter, text());
    }
}

} // namespace Vantrell
