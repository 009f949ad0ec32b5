// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <variant>

namespace Vantrell {

// Why a market-data operation failed. The first group mirrors the URL error
// codes the rest of the system reasons about; the rest are the providers' own.
struct MarketError
{
    enum class Code {
        badURL,
        badServerResponse,
        cannotLoadFromNetwork,
        zeroByteResource,
        cancelled,
        cannotParseResponse,
        timedOut,
        // The exchange refused because of request limits; see retryAfter.
        rateLimited,
        // The exchange answered HTTP 400 (usually a symbol it does not list).
        requestRejected,
        // The body is not the JSON the decoder expects.
        decodingFailed,
        // The host does not serve this network (HTTP 451, or a 403 page that is
        // not the exchange's own JSON): a country's block, not a rate limit.
        networkRefused,
    };

    // The longest wait a rate limit is honoured for. Any proxy, captive portal
    // or broken server can send any Retry-After; one request an hour cannot
    // make a real ban worse, and a day without prices helps nobody.
    static constexpr double maxRetryAfterSeconds = 3600;

    Code code = Code::badServerResponse;
    // Seconds to wait, for rateLimited; empty when the exchange gave none.
    std::optional<double> retryAfter;
    // Human-readable detail for logs.
    QString detail;

    static MarketError make(Code code, QString detail = {})
    {
        return MarketError {code, std::nullopt, std::move(detail)};
    }
    static MarketError rateLimited(std::optional<double> retryAfter)
    {
        return MarketError {Code::rateLimited, retryAfter, {}};
    }

    bool operator==(const MarketError &other) const { return code == other.code && retryAfter == other.retryAfter; }
    // "rateLimited(retryAfter: 30)", "badServerResponse (status 500)", …
    QString description() const;
};

QString codeName(MarketError::Code code);

// A value or the error that stopped it.
template<typename T>
class Result final
{
public:
    Result(T value)
        : m_state(std::move(value))
    { }
    Result(MarketError error)
        : m_state(std::move(error))
    { }

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<T>(m_state); }
    T &value() & { return std::get<T>(m_state); }
    T &&value() && { return std::get<T>(std::move(m_state)); }
    const T &operator*() const & { return value(); }
    const T *operator->() const { return &value(); }

    const MarketError &error() const { return std::get<MarketError>(m_state); }

private:
    std::variant<T, MarketError> m_state;
};

// A running one-shot operation. After cancel() its completion is never called
// and its requests are abandoned. Dropping the handle does not cancel.
class Cancellable
{
public:
    virtual ~Cancellable() = default;
    virtual void cancel() = 0;
};

using CancelHandle = std::shared_ptr<Cancellable>;

// The completion of a one-shot operation; called exactly once on the main
// thread unless the operation was cancelled.
template<typename T>
using Completion = std::function<void(Result<T>)>;

} // namespace Vantrell
