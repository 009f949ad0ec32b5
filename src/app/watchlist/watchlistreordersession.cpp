// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlistreordersession.h"

#include "platform/timer.h"

#include <algorithm>
#include <cmath>

namespace Vantrell {

namespace {

constexpr double insertionResponse = 0.18;
constexpr double settleResponse = 0.22;
constexpr double springDamping = 0.85;

std::chrono::milliseconds wholeMilliseconds(double seconds)
{
    return std::chrono::milliseconds(qint64(std::ceil(seconds * 1000)));
}

} // namespace

WatchlistReorderSession::WatchlistReorderSession(TimerFactory &timers, Clock now, QObject *parent)
    : QObject(parent)
    , m_now(std::move(now))
    , m_epoch(m_now())
{
    m_autoScrollTimer = timers.createTimer(Timer::Mode::repeating, [this] {
        if (!isDragging() || m_isSettling)
            stopAutoScroll();
        else
            autoScrollStep();
    });
    m_settleTimer = timers.createTimer(Timer::Mode::singleShot, [this] { finish(); });
    m_frameTimer = timers.createTimer(Timer::Mode::repeating, [this] { onFrame(); });
}

WatchlistReorderSession::~WatchlistReorderSession() = default;

double WatchlistReorderSession::seconds() const
{
    return double(m_epoch.msecsTo(m_now())) / 1000.0;
}

void WatchlistReorderSession::setScrollOffset(double offset)
{
    m_scrollOffset = offset;
    if (isDragging() && !m_isSettling)
        updateInsertionIndex();
}

void WatchlistReorderSession::press(int row, const QStringList &displayedIDs, double pointerY, CommitHandler commit)
{
    // A press while an earlier drop still settles starts nothing.
    m_gesture = Gesture {row, displayedIDs, pointerY, std::move(commit), false, isDragging()};
}

void WatchlistReorderSession::move(double pointerY)
{
    if (!m_gesture || m_gesture->ignored)
        return;
    if (!m_gesture->began) {
        if (std::fabs(pointerY - m_gesture->pressY) < minimumDragDistance)
            return;
        if (m_gesture->row < 0 || m_gesture->row >= m_gesture->displayedIDs.size() || isDragging()) {
            m_gesture->ignored = true;
            return;
        }
        m_gesture->began = true;
        begin(*m_gesture);
    }
    update(pointerY);
}

void WatchlistReorderSession::release()
{
    const bool began = m_gesture && m_gesture->began && !m_gesture->ignored;
    m_gesture.reset();
    if (began)
        end();
}

void WatchlistReorderSession::cancel()
{
    m_commitHandler = nullptr;
    // The pointer may still be down: without this its next move would start a
    // new drag from a row list that the edit has just changed.
    if (m_gesture)
        m_gesture->ignored = true;
    if (isDragging())
        reset();
}

void WatchlistReorderSession::begin(const Gesture &gesture)
{
    m_orderIDs = gesture.displayedIDs;
    m_sourceIndex = gesture.row;
    m_reduceMotion = m_reduceMotionSetting;
    m_commitHandler = gesture.commit;
    const double rowTop = gesture.row * rowPitch - m_scrollOffset;
    // From the press, so the copy moves exactly as far as the pointer does.
    m_grabOffsetY = gesture.pressY - rowTop;
    m_rowAnimations.assign(std::size_t(m_orderIDs.size()), SpringAnimation::still(0));
    m_settleAnimation.reset();
    m_floatingY = rowTop;
    m_insertionIndex = gesture.row;
    m_draggedID = m_orderIDs.at(gesture.row);
}

void WatchlistReorderSession::update(double locationY)
{
    if (!isDragging() || m_isSettling)
        return;
    const double contentHeight = m_orderIDs.size() * rowPitch;
    // The copy stays on the visible part of the content, also in the gap of an over-scroll.
    const double top = m_scrollOffset <= 0 ? -m_scrollOffset : 0;
    const double bottom = std::min(contentHeight - m_scrollOffset, m_viewportHeight) - rowPitch;
    m_floatingY = top < bottom ? std::clamp(locationY - m_grabOffsetY, top, bottom) : top;
    updateInsertionIndex();
    Q_EMIT changed();

    // The raw pointer decides, so resting beyond the edge keeps scrolling.
    if (locationY < edgeZone && m_scrollOffset > scrollEndTolerance)
        startAutoScroll(AutoScrollDirection::up);
    else if (locationY > m_viewportHeight - edgeZone
        && m_scrollOffset + m_viewportHeight < contentHeight - scrollEndTolerance)
        startAutoScroll(AutoScrollDirection::down);
    else
        stopAutoScroll();
}

void WatchlistReorderSession::updateInsertionIndex()
{
    if (m_orderIDs.isEmpty())
        return;
    const double slot = std::trunc((m_floatingY + insertionThreshold + m_scrollOffset) / rowPitch);
    if (!std::isfinite(slot))
        return;
    const int index = int(std::clamp(slot, 0.0, double(m_orderIDs.size() - 1)));
    if (index == m_insertionIndex)
        return;
    const int previous = m_insertionIndex;
    m_insertionIndex = index;
    const double now = seconds();
    for (int row = std::min(previous, index); row <= std::max(previous, index); ++row) {
        SpringAnimation &animation = m_rowAnimations[std::size_t(row)];
        const double target = offset(row);
        if (animation.to == target)
            continue;
        animation = m_reduceMotion
            ? SpringAnimation::still(target)
            : SpringAnimation {animation.valueAt(now), target, now, insertionResponse, springDamping};
    }
    ensureFrames();
    Q_EMIT changed();
}

double WatchlistReorderSession::offset(int row) const
{
    if (!isDragging() || row == m_sourceIndex)
        return 0;
    if (m_sourceIndex < row && row <= m_insertionIndex)
        return -rowPitch;
    if (m_insertionIndex <= row && row < m_sourceIndex)
        return rowPitch;
    return 0;
}

WatchlistReorderFrame WatchlistReorderSession::frame() const
{
    WatchlistReorderFrame frame;
    if (!isDragging())
        return frame;
    const double now = seconds();
    frame.hiddenRow = m_sourceIndex;
    frame.floatingY = m_settleAnimation ? m_settleAnimation->valueAt(now) : m_floatingY;
    frame.rowOffsets.reserve(qsizetype(m_rowAnimations.size()));
    for (const SpringAnimation &animation : m_rowAnimations)
        frame.rowOffsets.append(animation.valueAt(now));
    return frame;
}

bool WatchlistReorderSession::isAnimating() const
{
    const double now = seconds();
    if (m_scrollAnimation || (m_settleAnimation && !m_settleAnimation->isFinished(now)))
        return true;
    return std::any_of(m_rowAnimations.cbegin(), m_rowAnimations.cend(),
        [now](const SpringAnimation &animation) { return !animation.isFinished(now); });
}

QStringList WatchlistReorderSession::reorderedIDs() const
{
    if (m_sourceIndex < 0 || m_sourceIndex >= m_orderIDs.size())
        return m_orderIDs;
    QStringList ids = m_orderIDs;
    const QString moved = ids.takeAt(m_sourceIndex);
    ids.insert(std::clamp<qsizetype>(m_insertionIndex, 0, ids.size()), moved);
    return ids;
}

void WatchlistReorderSession::end()
{
    if (!isDragging() || m_isSettling)
        return;
    stopAutoScroll();
    if (m_reduceMotion) {
        finish();
        return;
    }
    m_isSettling = true;
    const double target = m_insertionIndex * rowPitch - m_scrollOffset;
    m_settleAnimation = SpringAnimation {m_floatingY, target, seconds(), settleResponse, springDamping};
    m_floatingY = target;
    m_settleTimer->start(wholeMilliseconds(m_settleAnimation->duration()));
    ensureFrames();
    Q_EMIT changed();
}

void WatchlistReorderSession::finish()
{
    const int insertionIndex = m_insertionIndex;
    const int sourceIndex = m_sourceIndex;
    const QStringList order = reorderedIDs();
    const CommitHandler commit = std::exchange(m_commitHandler, nullptr);
    reset();
    if (insertionIndex != sourceIndex && commit)
        commit(order);
}

void WatchlistReorderSession::reset()
{
    stopAutoScroll();
    m_settleTimer->stop();
    m_frameTimer->stop();
    m_draggedID.reset();
    m_isSettling = false;
    m_insertionIndex = 0;
    m_floatingY = 0;
    m_orderIDs.clear();
    m_commitHandler = nullptr;
    m_rowAnimations.clear();
    m_settleAnimation.reset();
    Q_EMIT changed();
}

void WatchlistReorderSession::startAutoScroll(AutoScrollDirection direction)
{
    if (m_autoScrollDirection == direction)
        return;
    stopAutoScroll();
    m_autoScrollDirection = direction;
    autoScrollStep();
    if (m_autoScrollDirection)
        m_autoScrollTimer->start(autoScrollTick);
}

void WatchlistReorderSession::stopAutoScroll()
{
    m_autoScrollTimer->stop();
    m_autoScrollDirection.reset();
    // A scroll still under way would move the slot under a settling row.
    m_scrollAnimation.reset();
}

void WatchlistReorderSession::autoScrollStep()
{
    if (!m_scrollHandler || m_orderIDs.isEmpty() || !m_autoScrollDirection)
        return;
    // Frames need not fall on the tick: a scroll still short of its row lands
    // there first, or each step would start from a point between two rows.
    if (m_scrollAnimation) {
        const double landing = m_scrollAnimation->to;
        m_scrollAnimation.reset();
        m_scrollHandler(landing);
        if (!m_autoScrollDirection)
            return;
    }
    const double count = m_orderIDs.size();
    const double contentHeight = count * rowPitch;
    double target = 0;
    if (*m_autoScrollDirection == AutoScrollDirection::up) {
        if (!(m_scrollOffset > scrollEndTolerance)) {
            stopAutoScroll();
            return;
        }
        // The row above the topmost (partly) visible one, to the top edge.
        target = std::max(std::floor(m_scrollOffset / rowPitch) - 1, 0.0) * rowPitch;
    } else {
        const double edge = m_scrollOffset + m_viewportHeight;
        if (!(edge < contentHeight - scrollEndTolerance)) {
            stopAutoScroll();
            return;
        }
        // The row below the bottom edge, to the bottom edge.
        const double row = std::min(count - 1, std::ceil(edge / rowPitch));
        target = (row + 1) * rowPitch - m_viewportHeight;
    }
    scrollTo(std::clamp(target, 0.0, std::max(contentHeight - m_viewportHeight, 0.0)));
}

void WatchlistReorderSession::scrollTo(double offset)
{
    if (m_reduceMotion) {
        m_scrollAnimation.reset();
        m_scrollHandler(offset);
        return;
    }
    m_scrollAnimation = ScrollAnimation {m_scrollOffset, offset, seconds()};
    ensureFrames();
}

void WatchlistReorderSession::onFrame()
{
    if (m_scrollAnimation) {
        const double duration = std::chrono::duration<double>(autoScrollDuration).count();
        const double progress = std::clamp((seconds() - m_scrollAnimation->start) / duration, 0.0, 1.0);
        const double offset = m_scrollAnimation->from + (m_scrollAnimation->to - m_scrollAnimation->from) * progress;
        if (progress >= 1)
            m_scrollAnimation.reset();
        if (m_scrollHandler)
            m_scrollHandler(offset);
    }
    if (!isAnimating())
        m_frameTimer->stop();
    Q_EMIT changed();
}

void WatchlistReorderSession::ensureFrames()
{
    if (!m_frameTimer->isActive())
        m_frameTimer->start(frameInterval);
}

} // namespace Vantrell
