// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/httpclient.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QUrl>

#include <deque>
#include <memory>

namespace Vantrell::Test {

// A scripted HTTPClient. Answers are looked up by the request's full address,
// then by the address without its query; queued answers are used once in
// order, then the standing answer (if any) for every later request. An
// unscripted request fails with cannotLoadFromNetwork and is counted.
//
// Like the real client, answers arrive from the event loop, never inside
// get(), and a cancelled request never completes. While holding, requests wait
// until release().
class FakeHTTPClient final : public QObject, public HTTPClient
{
    Q_OBJECT

public:
    struct Call
    {
        HttpRequest request;
        bool cancelled = false;
        bool answered = false;
    };

    explicit FakeHTTPClient(QObject *parent = nullptr);
    ~FakeHTTPClient() override;

    static HttpResponse response(
        int status, QByteArray body = {}, QList<std::pair<QByteArray, QByteArray>> headers = {});

    // Used once, after the answers queued before it.
    void enqueue(const QUrl &url, Result<HttpResponse> answer);
    void enqueue(
        const QUrl &url, int status, QByteArray body = {}, QList<std::pair<QByteArray, QByteArray>> headers = {});
    // Used whenever the queue for the address is empty.
    void setStanding(const QUrl &url, Result<HttpResponse> answer);
    void setStanding(
        const QUrl &url, int status, QByteArray body = {}, QList<std::pair<QByteArray, QByteArray>> headers = {});
    void clearScript();

    // Holding requests: they wait until release() answers them in order.
    void setHolding(bool holding) { m_holding = holding; }
    // Answers every waiting request; returns how many were answered.
    int release();
    int waitingCount() const;

    CancelHandle get(const HttpRequest &request, Completion<HttpResponse> completion) override;

    // Every request in the order made.
    QList<Call> calls() const;
    QList<QUrl> requestedUrls() const;
    // Requests whose address, without its query, is `url` without its query.
    int requestCount(const QUrl &url) const;
    int cancelledCount() const;
    int unscriptedCount() const { return m_unscripted; }
    void clearLog();

private:
    struct Pending;

    Result<HttpResponse> answerFor(const QUrl &url);
    void deliver(const std::shared_ptr<Pending> &pending);

    QHash<QString, std::deque<Result<HttpResponse>>> m_queued;
    QHash<QString, Result<HttpResponse>> m_standing;
    QList<std::shared_ptr<Call>> m_calls;
    std::vector<std::shared_ptr<Pending>> m_waiting;
    bool m_holding = false;
    int m_unscripted = 0;
};

} // namespace Vantrell::Test
