// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace Vantrell {

// Writes a JSON document whose object keys keep the order in which they are
// written (QJsonObject sorts them). Indented with two spaces, one member per
// line, so that stored files stay readable by hand.
//
// Numbers must be finite: a non-finite number marks the writer as failed and
// is written as null; check ok() before using the result.
class OrderedJsonWriter final
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    // Names the next value inside an object.
    void key(const QString &name);

    void value(const QString &text);
    void value(const char *text) { value(QString::fromUtf8(text)); }
    void value(bool flag);
    void value(double number);
    void value(qint64 number);
    void null();

    bool ok() const { return m_failure.isEmpty(); }
    QString failure() const { return m_failure; }
    QByteArray result() const { return m_out + '\n'; }

    static QByteArray quoted(const QString &text);
    static QByteArray number(double value);

private:
    void beforeValue();
    void newline();

    struct Level
    {
        bool isObject = false;
        int count = 0;
    };

    QByteArray m_out;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
    QString m_failure;
};

} // namespace Vantrell
