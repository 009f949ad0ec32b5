// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "popovericons.h"

#include <QAbstractButton>
#include <QBasicTimer>
#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QWidget>

#include <optional>

// Small building blocks of the popover's look.

namespace Vantrell {

// The popover's colours, derived from the application palette so that the
// popover follows the desktop's light or dark theme.
struct PopoverColors
{
    QColor primary;
    QColor secondary;
    QColor accent;
    QColor onAccent;
    QColor controlBackground;
    QColor background;
    QColor border;
    // Amber, for the stale-price sign; darker on light popovers to keep contrast.
    QColor warning;

    // `translucent`: the background lets the desktop shine through a little.
    static PopoverColors fromPalette(const QPalette &palette, bool translucent = false);
};

// `color` with its opacity scaled by `alpha` (0…1).
QColor withAlpha(QColor color, qreal alpha);

// Font of `pixelSize` in the application font's family; `monospaced` takes the
// system's fixed-pitch family, whose digits all have one width.
QFont popoverFont(int pixelSize, QFont::Weight weight, bool monospaced = false);

// A label that elides its text at the right when it is too narrow; text()
// keeps the full text.
class ElidingLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// An icon of the popover, drawn at a fixed size in one colour.
class PopoverIconView final : public QWidget
{
    Q_OBJECT

public:
    PopoverIconView(PopoverIcon icon, int size, QWidget *parent = nullptr);

    void setColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PopoverIcon m_icon;
    int m_size;
    QColor m_color;
};

// An indeterminate activity indicator: a ring of spokes whose brightest spoke
// turns. It animates only while visible.
class BusyIndicator final : public QWidget
{
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QBasicTimer m_timer;
    int m_phase = 0;
    QColor m_color;
};

// The popover's buttons. They draw themselves so that they look the same under
// every widget style.
class PopoverButton final : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Kind {
        // An icon alone in a 36 x 32 frame, at its leading or trailing edge.
        icon,
        // Text on a soft rounded background (the watchlist button).
        tinted,
        // Icon and small text on an accent-tinted capsule (the update badge).
        badge,
        // Text on the accent colour (the empty state's call to action).
        prominent,
    };

    PopoverButton(Kind kind, QWidget *parent = nullptr);

    void setPopoverIcon(PopoverIcon icon, Qt::Alignment alignment = Qt::AlignCenter);
    void setColors(const PopoverColors &colors);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;

private:
    QFont textFont() const;
    QMargins padding() const;
    int iconSize() const;

    Kind m_kind;
    std::optional<PopoverIcon> m_icon;
    Qt::Alignment m_iconAlignment = Qt::AlignCenter;
    PopoverColors m_colors;
    bool m_keyboardFocus = false;
};

} // namespace Vantrell
