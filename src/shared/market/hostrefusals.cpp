// SPDX-License-Identifier: GPL-3.0-or-later
#include "hostrefusals.h"

#include <algorithm>

namespace Vantrell {

bool HostRefusals::refuse(const QString &host, const QDateTime &now)
{
    const bool fresh = !isRefused(host, now);
    m_until.insert(host, now.addSecs(setAsideSeconds));
    return fresh;
}

bool HostRefusals::isRefused(const QString &host, const QDateTime &now) const
{
    const auto until = m_until.constFind(host);
    return until != m_until.constEnd() && now < until.value();
}

bool HostRefusals::refusesAll(const QStringList &hosts, const QDateTime &now) const
{
    return !hosts.isEmpty()
        && std::all_of(hosts.cbegin(), hosts.cend(), [&](const QString &host) { return isRefused(host, now); });
}

} // namespace Vantrell
