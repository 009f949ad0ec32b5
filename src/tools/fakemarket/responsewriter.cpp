// SPDX-License-Identifier: GPL-3.0-or-later
#include "responsewriter.h"

#include <QHttpServerResponder>

namespace Vantrell::FakeMarketData {

ResponseWriter::ResponseWriter(QHttpServerResponder &&responder, ResponsePlan plan, QObject *parent)
    : QObject(parent)
    , m_responder(std::make_shared<QHttpServerResponder>(std::move(responder)))
    , m_socket(m_responder->socket())
    , m_plan(std::move(plan))
{
    m_timer.setSingleShot(true);
    if (m_socket) {
        // The client hung up: nothing more to send.
        connect(m_socket, &QAbstractSocket::disconnected, this, &QObject::deleteLater);
        connect(m_socket, &QObject::destroyed, this, &QObject::deleteLater);
    }
}

ResponseWriter::~ResponseWriter() = default;

bool ResponseWriter::connected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void ResponseWriter::start()
{
    if (m_plan.delay.count() > 0) {
        connect(&m_timer, &QTimer::timeout, this, &ResponseWriter::proceed);
        m_timer.start(m_plan.delay);
        return;
    }
    proceed();
}

void ResponseWriter::proceed()
{
    m_timer.disconnect(this);
    if (!connected()) {
        deleteLater();
        return;
    }
    if (m_plan.disconnect) {
        m_socket->disconnectFromHost();
        deleteLater();
        return;
    }
    if (m_plan.hang)
        return; // until the client gives up or the market goes away

    writeHead();
    const qint64 limit = m_plan.sendLimit < 0 ? m_plan.body.size() : std::min(m_plan.sendLimit, m_plan.body.size());
    if (m_plan.trickleInterval.count() > 0 && limit > 0) {
        m_timer.setSingleShot(false);
        connect(&m_timer, &QTimer::timeout, this, &ResponseWriter::writeNextByte);
        m_timer.start(m_plan.trickleInterval);
        return;
    }
    m_responder->writeBody(m_plan.body.constData(), limit);
    m_sent = limit;
    finish();
}

void ResponseWriter::writeHead()
{
    m_responder->writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(m_plan.status));
    for (const auto &[name, value] : std::as_const(m_plan.headers))
        m_responder->writeHeader(name, value);
    if (m_plan.contentLength)
        m_responder->writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(m_plan.body.size()));
    const bool closes = !m_plan.contentLength || m_plan.sendLimit >= 0;
    if (closes)
        m_responder->writeHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
}

void ResponseWriter::writeNextByte()
{
    if (!connected()) {
        deleteLater();
        return;
    }
    const qint64 limit = m_plan.sendLimit < 0 ? m_plan.body.size() : std::min(m_plan.sendLimit, m_plan.body.size());
    m_responder->writeBody(m_plan.body.constData() + m_sent, 1);
    ++m_sent;
    if (m_sent >= limit) {
        m_timer.stop();
        finish();
    }
}

void ResponseWriter::finish()
{
    // A cut body, or one whose end only the closed connection marks.
    const bool closes = !m_plan.contentLength || m_plan.sendLimit >= 0;
    if (closes && connected())
        m_socket->disconnectFromHost();
    deleteLater();
}

} // namespace Vantrell::FakeMarketData
