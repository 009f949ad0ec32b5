// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <memory>
#include <utility>

class QHttpServerResponder;

namespace Vantrell::FakeMarketData {

// Everything about one answer: what is sent and how.
struct ResponsePlan
{
    int status = 200;
    QList<std::pair<QByteArray, QByteArray>> headers; // without Content-Length
    QByteArray body;
    // Content-Length gives the size of the whole body, even of one cut short;
    // without it the body ends when the connection closes.
    bool contentLength = true;
    // Bytes of the body sent before the connection drops; -1: all of it.
    qint64 sendLimit = -1;
    std::chrono::milliseconds delay {0};
    // Zero sends the body at once; otherwise a byte per interval.
    std::chrono::milliseconds trickleInterval {0};
    bool hang = false;
    bool disconnect = false;
};

// Sends one planned answer, now or over time, and deletes itself when done or
// when the client goes away. The socket may vanish at any moment (the client
// hangs up and the server deletes it), so every write checks it first.
class ResponseWriter final : public QObject
{
public:
    ResponseWriter(QHttpServerResponder &&responder, ResponsePlan plan, QObject *parent);
    ~ResponseWriter() override;

    void start();

private:
    bool connected() const;
    void proceed();
    void writeHead();
    void writeNextByte();
    void finish();

    std::shared_ptr<QHttpServerResponder> m_responder;
    QPointer<QTcpSocket> m_socket;
    ResponsePlan m_plan;
    qint64 m_sent = 0;
    QTimer m_timer;
};

} // namespace Vantrell::FakeMarketData
