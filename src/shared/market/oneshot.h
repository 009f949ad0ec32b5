// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "result.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

namespace Vantrell {

// The caller's end of a one-shot operation: it holds the completion until a
// result is delivered or the caller cancels, and is the CancelHandle that the
// operation returns. Whatever happens first wins; later results are dropped.
//
// finishLater() delivers from the event loop, so a completion never runs
// inside the call that started the operation and always outlives the service
// that produced the result.
template<typename T>
class OneShot final : public Cancellable, public std::enable_shared_from_this<OneShot<T>>
{
public:
    explicit OneShot(Completion<T> completion)
        : m_completion(std::move(completion))
    { }

    bool isFinished() const { return m_finished; }

    // Runs once when the caller cancels, so that the operation can abandon
    // its requests.
    void setAbandonHook(std::function<void()> hook) { m_abandon = std::move(hook); }

    void cancel() override
    {
        if (m_finished)
            return;
        m_finished = true;
        m_completion = nullptr;
        if (auto abandon = std::exchange(m_abandon, nullptr))
            abandon();
    }

    void finish(Result<T> result)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_abandon = nullptr;
        if (auto completion = std::exchange(m_completion, nullptr))
            completion(std::move(result));
    }

    void finishLater(Result<T> result)
    {
        if (m_finished)
            return;
        QTimer::singleShot(0, [self = this->shared_from_this(), result = std::move(result)]() mutable {
            self->finish(std::move(result));
        });
    }

private:
    Completion<T> m_completion;
    std::function<void()> m_abandon;
    bool m_finished = false;
};

} // namespace Vantrell
