// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <optional>

class QScreen;

namespace Vantrell {

class CoinPopoverView;

// The window that shows the popover's content.
//
// As a popup it is frameless, opens under (or above, or beside) the panel at
// the point the tray reports and closes on a click anywhere outside it or on
// Escape. Where a compositor runs it is translucent with rounded corners and a
// soft shadow; otherwise it is opaque and cut to its rounded shape.
//
// As a window (for desktops without any tray) it is a normal, fixed-size
// application window titled "tray.fallbackWindow.title".
class PopoverWindow final : public QWidget
{
    Q_OBJECT

public:
    enum class Mode { popup, window };

    // A monotonic clock in milliseconds.
    using MonotonicClock = std::function<std::chrono::milliseconds()>;
    static MonotonicClock steadyClock();

    // An activation this soon after a close by an outside click is ignored:
    // it is the same click, on the tray icon, reaching the tray after the
    // popup has closed itself.
    static constexpr std::chrono::milliseconds reopenGuard {250};

    // Takes ownership of `content`.
    PopoverWindow(CoinPopoverView *content, Mode mode, MonotonicClock clock = steadyClock(), QWidget *parent = nullptr);
    ~PopoverWindow() override;

    Mode mode() const { return m_mode; }
    CoinPopoverView *content() const { return m_content; }

    // Decides at each opening whether the popup is drawn translucent (with a
    // shadow); isCompositingActive() unless replaced.
    void setCompositingProbe(std::function<bool()> probe);
    bool isTranslucent() const { return m_translucent; }

    // Shows the popover at `anchor` (global logical coordinates; a null point
    // means the cursor position). A shown popover stays where it is.
    void open(QPoint anchor = {});
    // The tray icon's left click: closes a shown popover, opens a hidden one,
    // except within reopenGuard of a close by an outside click.
    void toggle(QPoint anchor = {});
    // Closes the popover (a close asked for by the application or the user's
    // Escape, not an outside click).
    void dismiss();
    bool isShown() const { return isVisible(); }

    // Where the content's top-left corner goes for `anchor` on the screen
    // that holds it (or the nearest one).
    static QPoint contentPosition(QPoint anchor, QSize contentSize);

Q_SIGNALS:
    void shownChanged(bool shown);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void applyLook(bool translucent);
    void place();
    void updateMask();
    void retranslate();
    const QImage &shadow();

    CoinPopoverView *m_content;
    Mode m_mode;
    MonotonicClock m_clock;
    std::function<bool()> m_compositingProbe;
    bool m_translucent = false;
    bool m_closingOnRequest = false;
    bool m_placedOnce = false;
    QPoint m_anchor;
    std::optional<std::chrono::milliseconds> m_lastOutsideClose;
    QImage m_shadow;
};

} // namespace Vantrell
