// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "result.h"

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <chrono>
#include <utility>

namespace Vantrell {

// One HTTPS GET. Requests never use a cache and add no headers of their own.
struct HttpRequest
{
    QUrl url;
    // No byte for this long ends the request with timedOut.
    std::chrono::milliseconds inactivityTimeout {5000};
    // Largest body accepted; a larger one fails with badServerResponse.
    qint64 maxBodySize = 8 * 1024 * 1024;

    bool operator==(const HttpRequest &other) const = default;
};

struct HttpResponse
{
    int statusCode = 0;
    // Header names as received; look them up with header().
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // The first header of that name, compared case-insensitively; empty when absent.
    std::optional<QByteArray> header(const QByteArray &name) const
    {
        for (const auto &[key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return std::nullopt;
    }
};

// The one abstraction over an HTTP GET. The completion runs on the main
// thread; a response with any status code is a success here (screening is the
// caller's), transport failures are errors (timedOut, cannotLoadFromNetwork,
// badServerResponse for oversized or undecodable bodies, badURL).
class HTTPClient
{
public:
    virtual ~HTTPClient() = default;
    virtual CancelHandle get(const HttpRequest &request, Completion<HttpResponse> completion) = 0;
};

} // namespace Vantrell
