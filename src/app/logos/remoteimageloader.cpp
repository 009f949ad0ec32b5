// SPDX-License-Identifier: GPL-3.0-or-later
#include "remoteimageloader.h"

#include "platform/logging.h"
#include "widgetkit/coinlogocache.h"

#include <QPointer>

#include <algorithm>
#include <chrono>

namespace Vantrell {

namespace {
constexpr std::chrono::seconds kTimeout {15};
// Costs are in KiB: room for a few hundred decoded logos.
constexpr qsizetype kMemoryBudgetKiB = 32 * 1024;

QString keyOf(const QUrl &url)
{
    return url.toString(QUrl::FullyEncoded);
}
} // namespace

RemoteImageLoader::RemoteImageLoader(HTTPClient &client, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_images(kMemoryBudgetKiB)
{ }

RemoteImageLoader::~RemoteImageLoader()
{
    for (const CancelHandle &handle : std::as_const(m_loading)) {
        if (handle)
            handle->cancel();
    }
}

RemoteImageLoader::State RemoteImageLoader::state(const QUrl &url) const
{
    const QString key = keyOf(url);
    if (m_images.contains(key))
        return State::loaded;
    if (m_loading.contains(key))
        return State::loading;
    if (m_failed.contains(key))
        return State::failed;
    return State::notRequested;
}

QImage RemoteImageLoader::image(const QUrl &url)
{
    const QString key = keyOf(url);
    if (const QImage *loaded = m_images.object(key))
        return *loaded;
    if (m_loading.contains(key) || m_failed.contains(key))
        return {};
    if (!isAllowedLogoURL(url)) {
        m_failed.insert(key);
        return {};
    }

    HttpRequest request;
    request.url = url;
    request.inactivityTimeout = kTimeout;
    request.maxBodySize = maxLogoBytes;
    m_loading.insert(key, {});
    CancelHandle handle
        = m_client.get(request, [self = QPointer<RemoteImageLoader>(this), url](Result<HttpResponse> result) {
              if (self)
                  self->finish(url, result);
          });
    const auto entry = m_loading.find(key);
    if (entry != m_loading.end())
        *entry = std::move(handle);
    return {};
}

void RemoteImageLoader::finish(const QUrl &url, const Result<HttpResponse> &result)
{
    const QString key = keyOf(url);
    if (!m_loading.remove(key))
        return;
    QImage image;
    if (result && result->statusCode == 200 && !result->body.isEmpty() && result->body.size() <= maxLogoBytes)
        image = decodeLogoImage(result->body);
    if (image.isNull()) {
        m_failed.insert(key);
        const QString reason
            = result ? QStringLiteral("status %1").arg(result->statusCode) : result.error().description();
        qCDebug(lcCoinLogos, "Remote logo unavailable: %s (%s)", qUtf8Printable(key), qUtf8Printable(reason));
        return;
    }
    const qsizetype cost = std::max<qsizetype>(1, image.sizeInBytes() / 1024);
    m_images.insert(key, new QImage(std::move(image)), cost);
    Q_EMIT imageLoaded(url);
}

} // namespace Vantrell
