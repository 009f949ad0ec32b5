// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/services.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <optional>

namespace Vantrell::Test {

// A price service whose fetches stay pending until the test answers them.
// With answerAtOnce set, every fetch completes inside fetchPrices() itself.
class FakePriceService final : public PriceServicing
{
public:
    struct Fetch final : Cancellable
    {
        QStringList symbols;
        BaseCurrency currency = BaseCurrency::usd;
        Completion<PriceSnapshot> completion;
        bool cancelled = false;
        bool finished = false;

        void cancel() override { cancelled = true; }
        bool isPending() const { return !cancelled && !finished; }
    };

    CancelHandle fetchPrices(
        const QStringList &symbols, BaseCurrency currency, Completion<PriceSnapshot> completion) override
    {
        auto fetch = std::make_shared<Fetch>();
        fetch->symbols = symbols;
        fetch->currency = currency;
        fetch->completion = std::move(completion);
        m_fetches.append(fetch);
        if (answerAtOnce)
            finish(*fetch, *answerAtOnce);
        return fetch;
    }

    // Every fetch started so far, oldest first.
    const QList<std::shared_ptr<Fetch>> &fetches() const { return m_fetches; }
    int fetchCount() const { return int(m_fetches.size()); }
    int pendingCount() const
    {
        return int(std::count_if(m_fetches.begin(), m_fetches.end(), [](const auto &f) { return f->isPending(); }));
    }
    std::shared_ptr<Fetch> last() const { return m_fetches.isEmpty() ? nullptr : m_fetches.constLast(); }

    // Answers the oldest pending fetch; false when none is pending.
    bool answer(const Result<PriceSnapshot> &result)
    {
        for (const auto &fetch : std::as_const(m_fetches)) {
            if (fetch->isPending()) {
                finish(*fetch, result);
                return true;
            }
        }
        return false;
    }

    // Answers a fetch even when it was cancelled, as a misbehaving service might.
    static void finish(Fetch &fetch, const Result<PriceSnapshot> &result)
    {
        fetch.finished = true;
        if (auto completion = std::exchange(fetch.completion, nullptr))
            completion(result);
    }

    std::optional<Result<PriceSnapshot>> answerAtOnce;

private:
    QList<std::shared_ptr<Fetch>> m_fetches;
};

// A snapshot in the shape the price service delivers.
inline PriceSnapshot makeSnapshot(QHash<QString, double> prices, double rate = 1.0, QHash<QString, double> changes = {})
{
    return PriceSnapshot {std::move(prices), std::move(changes), rate};
}

} // namespace Vantrell::Test
