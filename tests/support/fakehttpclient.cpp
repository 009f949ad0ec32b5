// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehttpclient.h"

#include <QPointer>
#include <QTimer>

namespace Vantrell::Test {

namespace {
QString exactKey(const QUrl &url)
{
    return url.toString(QUrl::FullyEncoded);
}

QString addressKey(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
}
} // namespace

struct FakeHTTPClient::Pending final : Cancellable
{
    std::shared_ptr<Call> call;
    Completion<HttpResponse> completion;
    std::optional<Result<HttpResponse>> answer;
    bool finished = false;

    void cancel() override
    {
        if (finished)
            return;
        finished = true;
        completion = nullptr;
        call->cancelled = true;
    }
};

FakeHTTPClient::FakeHTTPClient(QObject *parent)
    : QObject(parent)
{ }

FakeHTTPClient::~FakeHTTPClient() = default;

HttpResponse FakeHTTPClient::response(int status, QByteArray body, QList<std::pair<QByteArray, QByteArray>> headers)
{
    HttpResponse response;
    response.statusCode = status;
    response.body = std::move(body);
    response.headers = std::move(headers);
    return response;
}

void FakeHTTPClient::enqueue(const QUrl &url, Result<HttpResponse> answer)
{
    m_queued[exactKey(url)].push_back(std::move(answer));
}

void FakeHTTPClient::enqueue(
    const QUrl &url, int status, QByteArray body, QList<std::pair<QByteArray, QByteArray>> headers)
{
    enqueue(url, response(status, std::move(body), std::move(headers)));
}

void FakeHTTPClient::setStanding(const QUrl &url, Result<HttpResponse> answer)
{
    m_standing.insert(exactKey(url), std::move(answer));
}

void FakeHTTPClient::setStanding(
    const QUrl &url, int status, QByteArray body, QList<std::pair<QByteArray, QByteArray>> headers)
{
    setStanding(url, response(status, std::move(body), std::move(headers)));
}

void FakeHTTPClient::clearScript()
{
    m_queued.clear();
    m_standing.clear();
}

Result<HttpResponse> FakeHTTPClient::answerFor(const QUrl &url)
{
    for (const QString &key : {exactKey(url), addressKey(url)}) {
        auto queued = m_queued.find(key);
        if (queued != m_queued.end() && !queued->empty()) {
            Result<HttpResponse> answer = std::move(queued->front());
            queued->pop_front();
            return answer;
        }
        const auto standing = m_standing.constFind(key);
        if (standing != m_standing.constEnd())
            return standing.value();
    }
    ++m_unscripted;
    return MarketError::make(
        MarketError::Code::cannotLoadFromNetwork, QStringLiteral("no scripted answer for ") + url.toString());
}

CancelHandle FakeHTTPClient::get(const HttpRequest &request, Completion<HttpResponse> completion)
{
    auto pending = std::make_shared<Pending>();
    pending->call = std::make_shared<Call>(Call {request});
    pending->completion = std::move(completion);
    m_calls.append(pending->call);
    pending->answer = answerFor(request.url);

    if (m_holding) {
        m_waiting.push_back(pending);
    } else {
        QTimer::singleShot(0, this, [this, pending] { deliver(pending); });
    }
    return pending;
}

void FakeHTTPClient::deliver(const std::shared_ptr<Pending> &pending)
{
    if (pending->finished)
        return;
    pending->finished = true;
    pending->call->answered = true;
    if (auto completion = std::exchange(pending->completion, nullptr))
        completion(std::move(*pending->answer));
}

int FakeHTTPClient::release()
{
    const auto waiting = std::exchange(m_waiting, {});
    int answered = 0;
    for (const auto &pending : waiting) {
        if (pending->finished)
            continue;
        ++answered;
        QTimer::singleShot(0, this, [this, pending] { deliver(pending); });
    }
    return answered;
}

int FakeHTTPClient::waitingCount() const
{
    return static_cast<int>(
        std::count_if(m_waiting.begin(), m_waiting.end(), [](const auto &pending) { return !pending->finished; }));
}

QList<FakeHTTPClient::Call> FakeHTTPClient::calls() const
{
    QList<Call> calls;
    for (const auto &call : m_calls)
        calls.append(*call);
    return calls;
}

QList<QUrl> FakeHTTPClient::requestedUrls() const
{
    QList<QUrl> urls;
    for (const auto &call : m_calls)
        urls.append(call->request.url);
    return urls;
}

int FakeHTTPClient::requestCount(const QUrl &url) const
{
    const QString key = addressKey(url);
    return static_cast<int>(std::count_if(
        m_calls.begin(), m_calls.end(), [&](const auto &call) { return addressKey(call->request.url) == key; }));
}

int FakeHTTPClient::cancelledCount() const
{
    return static_cast<int>(
        std::count_if(m_calls.begin(), m_calls.end(), [](const auto &call) { return call->cancelled; }));
}

void FakeHTTPClient::clearLog()
{
    m_calls.clear();
}

} // namespace Vantrell::Test
