// SPDX-License-Identifier: GPL-3.0-or-later
#include "orderedjsonwriter.h"

#include <QLocale>

#include <cmath>

namespace Vantrell {

void OrderedJsonWriter::newline()
{
    m_out += '\n';
    m_out += QByteArray(static_cast<qsizetype>(m_levels.size()) * 2, ' ');
}

void OrderedJsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty())
        return;
    if (m_levels.back().count++ > 0)
        m_out += ',';
    newline();
}

void OrderedJsonWriter::beginObject()
{
    beforeValue();
    m_out += '{';
    m_levels.push_back({true, 0});
}

void OrderedJsonWriter::endObject()
{
    const bool empty = m_levels.back().count == 0;
    m_levels.pop_back();
    if (!empty)
        newline();
    m_out += '}';
}

void OrderedJsonWriter::beginArray()
{
    beforeValue();
    m_out += '[';
    m_levels.push_back({false, 0});
}

void OrderedJsonWriter::endArray()
{
    endObject();
    m_out[m_out.size() - 1] = ']';
}

void OrderedJsonWriter::key(const QString &name)
{
    beforeValue();
    m_out += quoted(name);
    m_out += ": ";
    m_afterKey = true;
}

void OrderedJsonWriter::value(const QString &text)
{
    beforeValue();
    m_out += quoted(text);
}

void OrderedJsonWriter::value(bool flag)
{
    beforeValue();
    m_out += flag ? "true" : "false";
}

void OrderedJsonWriter::value(double number)
{
    beforeValue();
    if (!std::isfinite(number)) {
        if (m_failure.isEmpty())
            m_failure = QStringLiteral("Unable to encode the non-finite number %1 in JSON.").arg(number);
        m_out += "null";
        return;
    }
    m_out += OrderedJsonWriter::number(number);
}

void OrderedJsonWriter::value(qint64 number)
{
    beforeValue();
    m_out += QByteArray::number(number);
}

void OrderedJsonWriter::null()
{
    beforeValue();
    m_out += "null";
}

QByteArray OrderedJsonWriter::number(double value)
{
    if (value == 0)
        return QByteArrayLiteral("0");
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray OrderedJsonWriter::quoted(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (byte < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

} // namespace Vantrell
