// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "httpclient.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <chrono>

namespace Vantrell {

// HTTPClient over one QNetworkAccessManager, used on the thread it lives on
// (the main thread). Only https addresses on the allowed hosts are fetched
// (anything else fails with badURL before a request is made); nothing is
// cached. Redirects are followed only to https addresses on the allowed hosts.
// A request fails with timedOut when no byte arrives for its inactivity timeout
// or when it is not finished by the total deadline, and with badServerResponse
// when its body grows past its size cap. Any HTTP status is a response.
//
// Destroying the client abandons its running requests without completing them.
class NetworkHTTPClient final : public QObject, public HTTPClient
{
    Q_OBJECT

public:
    // Real host → local base address that takes its place ("http://127.0.0.1:18080/api.binance.com").
    using HostMap = QHash<QString, QUrl>;

    static constexpr std::chrono::milliseconds defaultTotalDeadline {20000};

    // The exchanges and rate sources of the market-data session.
    static QSet<QString> marketDataHosts();
    // The two coin-image hosts of the logo store.
    static QSet<QString> logoHosts();

    // Reads the test mapping, comma-separated "host=baseURL" pairs. Malformed
    // entries are left out with one warning for all of them.
    static HostMap parseHostMap(const QString &text);
    // The mapping in the environment variable VANTRELL_HOST_MAP, read once per
    // process; logged once when one is in effect. Empty when unset. Read by the
    // programs' entry points, which hand it to every client they build.
    static const HostMap &hostMapFromEnvironment();

    // `hostMap` is empty outside tests and the offline demo.
    NetworkHTTPClient(QSet<QString> allowedHosts, HostMap hostMap,
        std::chrono::milliseconds totalDeadline = defaultTotalDeadline, QObject *parent = nullptr);
    ~NetworkHTTPClient() override;

    CancelHandle get(const HttpRequest &request, Completion<HttpResponse> completion) override;

    // The address a request for `url` is sent to: `url` itself, or, when its
    // host is mapped, the base address followed by the original path and query.
    QUrl effectiveUrl(const QUrl &url) const;

private:
    friend class NetworkTransfer;

    bool isAllowed(const QUrl &url) const;
    // The real address behind a mapped one (for checking redirect targets).
    QUrl realUrl(const QUrl &url) const;

    QSet<QString> m_allowedHosts;
    HostMap m_hostMap;
    std::chrono::milliseconds m_totalDeadline;
    QNetworkAccessManager m_network;
};

} // namespace Vantrell
