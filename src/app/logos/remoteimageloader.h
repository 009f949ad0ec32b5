// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/httpclient.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

namespace Vantrell {

// Loads remote logo images for display while no copy of them exists. One
// request per address at a time; loaded images are kept in memory (the least
// recently used go first past a budget) and failures are remembered for the
// rest of the run, so that a broken address is not fetched on every repaint.
// Only addresses that isAllowedLogoURL accepts are ever requested. Main thread
// only.
class RemoteImageLoader final : public QObject
{
    Q_OBJECT

public:
    enum class State { notRequested, loading, loaded, failed };

    // `client` must outlive the loader.
    explicit RemoteImageLoader(HTTPClient &client, QObject *parent = nullptr);
    // Cancels the running requests.
    ~RemoteImageLoader() override;

    // The image of `url` once it has loaded; otherwise a null image, and the
    // first call starts loading it.
    QImage image(const QUrl &url);
    State state(const QUrl &url) const;

Q_SIGNALS:
    // An image arrived; views showing a placeholder for it repaint.
    void imageLoaded(const QUrl &url);

private:
    void finish(const QUrl &url, const Result<HttpResponse> &result);

    HTTPClient &m_client;
    QCache<QString, QImage> m_images;
    QHash<QString, CancelHandle> m_loading;
    QSet<QString> m_failed;
};

} // namespace Vantrell
