// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

namespace Vantrell {

// Hosts that refuse connections from this network (a country's block), each
// set aside for an hour from its last refusal. Kept apart from the rate-limit
// back-off: a block is a fact about where the user is, not about how often
// they ask, and asking again at once only repeats the refusal.
class HostRefusals final
{
public:
    static constexpr int setAsideSeconds = 3600;

    // Records a refusal at `now`. True when the host was not set aside
    // already, which is when the refusal is worth a log line.
    bool refuse(const QString &host, const QDateTime &now);
    bool isRefused(const QString &host, const QDateTime &now) const;
    // Whether every one of `hosts` is set aside at `now`; false for none.
    bool refusesAll(const QStringList &hosts, const QDateTime &now) const;

private:
    QHash<QString, QDateTime> m_until;
};

} // namespace Vantrell
