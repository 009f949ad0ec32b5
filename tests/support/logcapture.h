// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace Vantrell::Test {

struct LogRecord
{
    QtMsgType type;
    QString category;
    QString message;
};

// Records every log message while it lives (and still prints them). Not
// nestable; one per test function.
class LogCapture final
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QList<LogRecord> records() const;
    // Records whose category ends with "." + `component` (e.g. "Settings").
    QList<LogRecord> records(const QString &component) const;
    void clear();

private:
    QtMessageHandler m_previous;
};

} // namespace Vantrell::Test
