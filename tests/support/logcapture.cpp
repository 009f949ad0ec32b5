// SPDX-License-Identifier: GPL-3.0-or-later
#include "logcapture.h"

#include <QMutex>

namespace Vantrell::Test {

namespace {
QMutex mutex;
QList<LogRecord> captured;
QtMessageHandler previousHandler = nullptr;

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        QMutexLocker lock(&mutex);
        captured.append({type, QString::fromUtf8(context.category ? context.category : "default"), message});
    }
    if (previousHandler)
        previousHandler(type, context, message);
}
} // namespace

LogCapture::LogCapture()
{
    QMutexLocker lock(&mutex);
    captured.clear();
    m_previous = qInstallMessageHandler(handler);
    previousHandler = m_previous;
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    QMutexLocker lock(&mutex);
    previousHandler = nullptr;
    captured.clear();
}

QList<LogRecord> LogCapture::records() const
{
    QMutexLocker lock(&mutex);
    return captured;
}

QList<LogRecord> LogCapture::records(const QString &component) const
{
    QList<LogRecord> result;
    const QString suffix = QLatin1Char('.') + component;
    for (const auto &record : records()) {
        if (record.category.endsWith(suffix))
            result.append(record);
    }
    return result;
}

void LogCapture::clear()
{
    QMutexLocker lock(&mutex);
    captured.clear();
}

} // namespace Vantrell::Test
