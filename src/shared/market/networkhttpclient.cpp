// SPDX-License-Identifier: GPL-3.0-or-later
#include "networkhttpclient.h"

#include "platform/logging.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace Vantrell {

namespace {

// Bytes Qt may buffer ahead of us; with the size cap this bounds the memory an
// oversized answer can take.
constexpr qint64 readChunkSize = 64 * 1024;
// Room left behind a body whose size is announced, so that JSON decoders that
// read a little past the end can work in place.
constexpr qsizetype decoderPadding = 64;
constexpr int maximumRedirects = 5;

MarketError error(MarketError::Code code, QString detail)
{
    return MarketError::make(code, std::move(detail));
}

// Qt reports HTTP error statuses as reply errors too; for us they are ordinary
// responses that the caller screens.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::ContentOperationNotPermittedError:
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::AuthenticationRequiredError:
    case QNetworkReply::ContentReSendError:
    case QNetworkReply::ContentConflictError:
    case QNetworkReply::ContentGoneError:
    case QNetworkReply::UnknownContentError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::InternalServerError:
    case QNetworkReply::OperationNotImplementedError:
    case QNetworkReply::ServiceUnavailableError:
    case QNetworkReply::UnknownServerError:
        return true;
    default:
        return false;
    }
}

QString pathPrefix(const QUrl &base)
{
    QString prefix = base.path(QUrl::FullyEncoded);
    while (prefix.endsWith(QLatin1Char('/')))
        prefix.chop(1);
    return prefix;
}

bool isHostName(const QString &host)
{
    if (host.isEmpty())
        return false;
    const QUrl probe(QStringLiteral("https://") + host + QLatin1Char('/'), QUrl::StrictMode);
    return probe.isValid() && probe.host() == host;
}

} // namespace

// One running GET. Lives as a child of its client; deletes itself once it has
// completed or was cancelled.
class NetworkTransfer final : public QObject
{
    Q_OBJECT

public:
    NetworkTransfer(NetworkHTTPClient *client, const HttpRequest &request, Completion<HttpResponse> completion)
        : QObject(client)
        , m_client(client)
        , m_request(request)
        , m_completion(std::move(completion))
    {
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this,
            [this] { finish(error(MarketError::Code::timedOut, QStringLiteral("total deadline passed"))); });
    }

    ~NetworkTransfer() override { releaseReply(); }

    void start(const QUrl &url)
    {
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
        request.setMaximumRedirectsAllowed(maximumRedirects);
        request.setTransferTimeout(int(std::max<qint64>(m_request.inactivityTimeout.count(), 0)));

        m_reply = m_client->m_network.get(request);
        m_reply->setReadBufferSize(readChunkSize);
        connect(m_reply, &QNetworkReply::metaDataChanged, this, &NetworkTransfer::onMetaDataChanged);
        connect(m_reply, &QNetworkReply::readyRead, this, &NetworkTransfer::readAvailable);
        connect(m_reply, &QNetworkReply::redirected, this, &NetworkTransfer::onRedirected);
        connect(m_reply, &QNetworkReply::finished, this, &NetworkTransfer::onFinished);
        m_deadline.start(m_client->m_totalDeadline);
    }

    // Completes with `failure` from the event loop, never inside get().
    void failSoon(MarketError failure)
    {
        QMetaObject::invokeMethod(
            this, [this, failure = std::move(failure)] { finish(failure); }, Qt::QueuedConnection);
    }

    void cancel()
    {
        if (m_done)
            return;
        m_done = true;
        m_completion = nullptr;
        m_deadline.stop();
        releaseReply();
        deleteLater();
    }

private:
    void releaseReply()
    {
        if (!m_reply)
            return;
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        if (reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }

    void onMetaDataChanged()
    {
        if (m_done || !m_reply)
            return;
        bool known = false;
        const qint64 length = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (!known)
            return;
        if (length > m_request.maxBodySize) {
            finish(error(MarketError::Code::badServerResponse,
                QStringLiteral("body of %1 bytes over the limit of %2").arg(length).arg(m_request.maxBodySize)));
            return;
        }
        if (m_body.isEmpty())
            m_body.reserve(qsizetype(length) + decoderPadding);
    }

    // Takes what Qt has buffered; false once the body went over its cap.
    bool readAvailable()
    {
        if (m_done || !m_reply)
            return false;
        const qint64 available = m_reply->bytesAvailable();
        if (available <= 0)
            return true;
        if (m_body.size() + available > m_request.maxBodySize) {
            finish(error(MarketError::Code::badServerResponse,
                QStringLiteral("body over the limit of %1 bytes").arg(m_request.maxBodySize)));
            return false;
        }
        const qsizetype previous = m_body.size();
        m_body.resize(previous + qsizetype(available));
        const qint64 read = m_reply->read(m_body.data() + previous, available);
        m_body.resize(previous + qsizetype(std::max<qint64>(read, 0)));
        return true;
    }

    void onRedirected(const QUrl &target)
    {
        if (m_done || !m_reply)
            return;
        // Checked on the real address, as the first request was.
        const QUrl real = m_client->realUrl(target);
        if (!m_client->isAllowed(real)) {
            finish(error(MarketError::Code::badServerResponse,
                QStringLiteral("redirect to %1 refused").arg(real.toDisplayString())));
            return;
        }
        m_body.clear();
        Q_EMIT m_reply->redirectAllowed();
    }

    void onFinished()
    {
        if (m_done || !m_reply)
            return;
        const QNetworkReply::NetworkError replyError = m_reply->error();
        bool hasStatus = false;
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(&hasStatus);

        if (replyError == QNetworkReply::OperationCanceledError || replyError == QNetworkReply::TimeoutError) {
            // Our own aborts disconnect first, so this is Qt's inactivity limit.
            finish(error(MarketError::Code::timedOut,
                QStringLiteral("no data for %1 ms").arg(m_request.inactivityTimeout.count())));
            return;
        }
        // Qt derives these from statuses of 400 and above only; with any other
        // status the same code means the transfer itself failed.
        if (replyError != QNetworkReply::NoError && !(hasStatus && status >= 400 && isHttpStatusError(replyError))) {
            finish(error(MarketError::Code::cannotLoadFromNetwork, m_reply->errorString()));
            return;
        }
        if (!hasStatus || status <= 0) {
            finish(error(MarketError::Code::badServerResponse, QStringLiteral("not an HTTP response")));
            return;
        }
        if (!readAvailable())
            return;

        HttpResponse response;
        response.statusCode = status;
        const auto headers = m_reply->rawHeaderPairs();
        response.headers.reserve(headers.size());
        for (const auto &[name, value] : headers)
            response.headers.append({name, value});
        response.body = std::move(m_body);
        finish(std::move(response));
    }

    void finish(Result<HttpResponse> result)
    {
        if (m_done)
            return;
        m_done = true;
        m_deadline.stop();
        releaseReply();
        if (!result.ok())
            qCDebug(lcNetwork) << "GET" << m_request.url.toDisplayString() << "failed:" << result.error().description();
        auto completion = std::move(m_completion);
        m_completion = nullptr;
        deleteLater();
        if (completion)
            completion(std::move(result));
    }

    NetworkHTTPClient *m_client;
    HttpRequest m_request;
    Completion<HttpResponse> m_completion;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_body;
    bool m_done = false;
};

namespace {

class TransferHandle final : public Cancellable
{
public:
    explicit TransferHandle(NetworkTransfer *transfer)
        : m_transfer(transfer)
    { }

    void cancel() override
    {
        if (m_transfer)
            m_transfer->cancel();
    }

private:
    QPointer<NetworkTransfer> m_transfer;
};

} // namespace

QSet<QString> NetworkHTTPClient::marketDataHosts()
{
    return {
        QStringLiteral("api.binance.com"),
        QStringLiteral("data-api.binance.vision"),
        QStringLiteral("www.okx.com"),
        QStringLiteral("api.bybit.com"),
        QStringLiteral("api.exchange.coinbase.com"),
        QStringLiteral("api.kraken.com"),
        QStringLiteral("cdn.jsdelivr.net"),
        QStringLiteral("latest.currency-api.pages.dev"),
        QStringLiteral("open.er-api.com"),
    };
}

QSet<QString> NetworkHTTPClient::logoHosts()
{
    return {QStringLiteral("coin-images.coingecko.com"), QStringLiteral("assets.coingecko.com")};
}

NetworkHTTPClient::HostMap NetworkHTTPClient::parseHostMap(const QString &text)
{
    HostMap map;
    QStringList malformed;
    for (const QString &entry : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString trimmed = entry.trimmed();
        if (trimmed.isEmpty())
            continue;
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        const QString host = equals > 0 ? trimmed.left(equals).trimmed().toLower() : QString();
        const QUrl base(equals > 0 ? trimmed.mid(equals + 1).trimmed() : QString(), QUrl::StrictMode);
        const bool usable = isHostName(host) && base.isValid() && !base.host().isEmpty()
            && (base.scheme() == QLatin1String("http") || base.scheme() == QLatin1String("https")) && !base.hasQuery()
            && !base.hasFragment();
        if (usable)
            map.insert(host, base);
        else
            malformed.append(trimmed);
    }
    if (!malformed.isEmpty())
        qCWarning(lcNetwork, "VANTRELL_HOST_MAP: ignoring malformed entries: %s",
            qUtf8Printable(malformed.join(QStringLiteral(", "))));
    return map;
}

const NetworkHTTPClient::HostMap &NetworkHTTPClient::hostMapFromEnvironment()
{
    static const HostMap map = [] {
        HostMap parsed = parseHostMap(qEnvironmentVariable("VANTRELL_HOST_MAP"));
        if (!parsed.isEmpty()) {
            QStringList pairs;
            for (auto it = parsed.cbegin(); it != parsed.cend(); ++it)
                pairs.append(it.key() + QLatin1Char('=') + it.value().toString());
            pairs.sort();
            qCInfo(lcNetwork, "VANTRELL_HOST_MAP in effect, requests go to local addresses: %s",
                qUtf8Printable(pairs.join(QStringLiteral(", "))));
        }
        return parsed;
    }();
    return map;
}

NetworkHTTPClient::NetworkHTTPClient(
    QSet<QString> allowedHosts, HostMap hostMap, std::chrono::milliseconds totalDeadline, QObject *parent)
    : QObject(parent)
    , m_hostMap(std::move(hostMap))
    , m_totalDeadline(totalDeadline)
{
    for (const QString &host : std::as_const(allowedHosts))
        m_allowedHosts.insert(host.toLower());
    m_network.setAutoDeleteReplies(false);
    m_network.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
}

NetworkHTTPClient::~NetworkHTTPClient()
{
    // Before the access manager goes: its replies would finish while we are
    // half destroyed.
    qDeleteAll(findChildren<NetworkTransfer *>(Qt::FindDirectChildrenOnly));
}

bool NetworkHTTPClient::isAllowed(const QUrl &url) const
{
    // With a host map (tests, the offline demo) nothing leaves for the real
    // internet: a host the map does not send to a local address is refused.
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty()
        && m_allowedHosts.contains(url.host()) && (m_hostMap.isEmpty() || m_hostMap.contains(url.host()));
}

QUrl NetworkHTTPClient::effectiveUrl(const QUrl &url) const
{
    const auto it = m_hostMap.constFind(url.host());
    if (it == m_hostMap.cend())
        return url;
    QUrl mapped = it.value();
    mapped.setPath(pathPrefix(mapped) + url.path(QUrl::FullyEncoded), QUrl::TolerantMode);
    if (url.hasQuery())
        mapped.setQuery(url.query(QUrl::FullyEncoded), QUrl::TolerantMode);
    return mapped;
}

QUrl NetworkHTTPClient::realUrl(const QUrl &url) const
{
    for (auto it = m_hostMap.cbegin(); it != m_hostMap.cend(); ++it) {
        const QUrl &base = it.value();
        if (url.scheme() != base.scheme() || url.host() != base.host() || url.port() != base.port())
            continue;
        const QString prefix = pathPrefix(base);
        const QString path = url.path(QUrl::FullyEncoded);
        if (!path.startsWith(prefix) || (path.size() > prefix.size() && path.at(prefix.size()) != QLatin1Char('/')))
            continue;
        QUrl real;
        real.setScheme(QStringLiteral("https"));
        real.setHost(it.key());
        const QString rest = path.mid(prefix.size());
        real.setPath(rest.isEmpty() ? QStringLiteral("/") : rest, QUrl::TolerantMode);
        if (url.hasQuery())
            real.setQuery(url.query(QUrl::FullyEncoded), QUrl::TolerantMode);
        return real;
    }
    return url;
}

CancelHandle NetworkHTTPClient::get(const HttpRequest &request, Completion<HttpResponse> completion)
{
    Q_ASSERT(QThread::currentThread() == thread());
    auto *transfer = new NetworkTransfer(this, request, std::move(completion));
    if (!isAllowed(request.url)) {
        transfer->failSoon(
            error(MarketError::Code::badURL, QStringLiteral("refused address %1").arg(request.url.toDisplayString())));
    } else {
        transfer->start(effectiveUrl(request.url));
    }
    return std::make_shared<TransferHandle>(transfer);
}

} // namespace Vantrell

#include "networkhttpclient.moc"
