// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "springanimation.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Vantrell {

class Timer;
class TimerFactory;

enum class AutoScrollDirection { up, down };

// What the watched list draws at one moment of a drag.
struct WatchlistReorderFrame
{
    // The dragged row keeps its place but is drawn empty; -1 without a drag.
    int hiddenRow = -1;
    // Top of the floating copy of the dragged row, in viewport coordinates.
    std::optional<double> floatingY;
    // Vertical displacement of each displayed row; empty (all 0) without a drag.
    QList<double> rowOffsets;
};

// Drag reordering of the watched list, without the list itself. Every row is
// exactly rowPitch high, so a row's place follows from its index. A drag lifts
// a row into a floating copy that follows the pointer, slides the other rows by
// one pitch out of its way, scrolls the list while the pointer rests near its
// top or bottom edge, lets the copy settle into its slot and then hands the new
// order of ids to the commit handler given with the press. Animations run on
// the injected clock and are ticked by the injected timers, so the whole
// session runs in virtual time in tests. With reduce motion nothing animates.
// Main thread only.
class WatchlistReorderSession final : public QObject
{
    Q_OBJECT

public:
    static constexpr double rowPitch = 44;
    // Half a pitch: a slot is taken once the copy's top edge passes its middle.
    static constexpr double insertionThreshold = 22;
    static constexpr double edgeZone = 32;
    static constexpr double minimumDragDistance = 2;
    static constexpr double scrollEndTolerance = 1;
    static constexpr std::chrono::milliseconds autoScrollTick {130};
    static constexpr std::chrono::milliseconds autoScrollDuration {120};
    static constexpr std::chrono::milliseconds frameInterval {16};

    using CommitHandler = std::function<void(const QStringList &order)>;
    // Scrolls the list so that its content is `scrollOffset` points scrolled
    // down; the list reports the new position through setScrollOffset().
    using ScrollHandler = std::function<void(double scrollOffset)>;

    WatchlistReorderSession(TimerFactory &timers, Clock now, QObject *parent = nullptr);
    ~WatchlistReorderSession() override;

    // The list's geometry and settings, kept up to date by the list.
    void setViewportHeight(double height) { m_viewportHeight = height; }
    double viewportHeight() const { return m_viewportHeight; }
    // How far the content is scrolled (negative while over-scrolled past the top).
    void setScrollOffset(double offset);
    double scrollOffset() const { return m_scrollOffset; }
    // Without a handler the list does not scroll by itself.
    void setScrollHandler(ScrollHandler handler) { m_scrollHandler = std::move(handler); }
    // Taken when a drag begins.
    void setReduceMotion(bool reduceMotion) { m_reduceMotionSetting = reduceMotion; }

    // The pointer went down on the handle of `row` among `displayedIDs`, at
    // `pointerY` in viewport coordinates. A drag begins once the pointer has
    // moved minimumDragDistance; a row outside displayedIDs never begins one.
    void press(int row, const QStringList &displayedIDs, double pointerY, CommitHandler commit);
    void move(double pointerY);
    // Drops the dragged row: it settles into its slot, then the order is committed.
    void release();
    // An edit of the watchlist: any drag (also a settling one) ends at once
    // without a commit, and the rest of the pointer's gesture is ignored.
    void cancel();

    bool isDragging() const { return m_draggedID.has_value(); }
    std::optional<QString> draggedID() const { return m_draggedID; }
    int sourceIndex() const { return m_sourceIndex; }
    // The slot where the dragged row would land now.
    int insertionIndex() const { return m_insertionIndex; }
    // Where the floating copy is headed (it is drawn where frame() says).
    double floatingY() const { return m_floatingY; }
    // The dropped row is moving into its slot; pointer and scroll changes are ignored.
    bool isSettling() const { return m_isSettling; }
    std::optional<AutoScrollDirection> autoScrollDirection() const { return m_autoScrollDirection; }

    // The displacement a resting row is headed to: one pitch up for the rows
    // between the source and the slot below it, one down between the slot above
    // and the source, 0 otherwise.
    double offset(int row) const;
    // What to draw now, animations included.
    WatchlistReorderFrame frame() const;
    bool isAnimating() const;
    // The displayed ids with the dragged one moved to the insertion slot.
    QStringList reorderedIDs() const;

Q_SIGNALS:
    // Something visible changed: the state, or an animation advanced a frame.
    void changed();

private:
    struct Gesture
    {
        int row = 0;
        QStringList displayedIDs;
        double pressY = 0;
        CommitHandler commit;
        bool began = false;
        bool ignored = false;
    };

    double seconds() const;
    void begin(const Gesture &gesture);
    void update(double locationY);
    void updateInsertionIndex();
    void end();
    void finish();
    void reset();
    void startAutoScroll(AutoScrollDirection direction);
    void stopAutoScroll();
    void autoScrollStep();
    void scrollTo(double offset);
    void onFrame();
    void ensureFrames();

    Clock m_now;
    QDateTime m_epoch;
    std::unique_ptr<Timer> m_autoScrollTimer;
    std::unique_ptr<Timer> m_settleTimer;
    std::unique_ptr<Timer> m_frameTimer;

    double m_viewportHeight = 0;
    double m_scrollOffset = 0;
    ScrollHandler m_scrollHandler;
    bool m_reduceMotionSetting = false;
    std::optional<Gesture> m_gesture;

    std::optional<QString> m_draggedID;
    int m_insertionIndex = 0;
    double m_floatingY = 0;
    bool m_isSettling = false;
    QStringList m_orderIDs;
    int m_sourceIndex = 0;
    double m_grabOffsetY = 0;
    bool m_reduceMotion = false;
    CommitHandler m_commitHandler;
    std::optional<AutoScrollDirection> m_autoScrollDirection;

    std::vector<SpringAnimation> m_rowAnimations;
    std::optional<SpringAnimation> m_settleAnimation;
    struct ScrollAnimation
    {
        double from;
        double to;
        double start;
    };
    std::optional<ScrollAnimation> m_scrollAnimation;
};

} // namespace Vantrell
