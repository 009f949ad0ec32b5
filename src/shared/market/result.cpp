// SPDX-License-Identifier: GPL-3.0-or-later
#include "result.h"

namespace Vantrell {

QString codeName(MarketError::Code code)
{
    switch (code) {
    case MarketError::Code::badURL:
        return QStringLiteral("badURL");
    case MarketError::Code::badServerResponse:
        return QStringLiteral("badServerResponse");
    case MarketError::Code::cannotLoadFromNetwork:
        return QStringLiteral("cannotLoadFromNetwork");
    case MarketError::Code::zeroByteResource:
        return QStringLiteral("zeroByteResource");
    case MarketError::Code::cancelled:
        return QStringLiteral("cancelled");
    case MarketError::Code::cannotParseResponse:
        return QStringLiteral("cannotParseResponse");
    case MarketError::Code::timedOut:
        return QStringLiteral("timedOut");
    case MarketError::Code::rateLimited:
        return QStringLiteral("rateLimited");
    case MarketError::Code::requestRejected:
        return QStringLiteral("requestRejected");
    case MarketError::Code::decodingFailed:
        return QStringLiteral("decodingFailed");
    case MarketError::Code::networkRefused:
        return QStringLiteral("networkRefused");
    }
    return QStringLiteral("unknown");
}

QString MarketError::description() const
{
    QString text = codeName(code);
    if (code == Code::rateLimited)
        text += retryAfter ? QStringLiteral("(retryAfter: %1)").arg(*retryAfter) : QStringLiteral("(retryAfter: nil)");
    if (!detail.isEmpty())
        text += QStringLiteral(" (") + detail + QLatin1Char(')');
    return text;
}

} // namespace Vantrell
