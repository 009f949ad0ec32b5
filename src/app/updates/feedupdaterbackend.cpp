// SPDX-License-Identifier: GPL-3.0-or-later
#include "feedupdaterbackend.h"

#include "i18n/localizationmanager.h"
#include "platform/logging.h"
#include "platform/orderedjsonwriter.h"
#include "settingsstore/settingsdatastorage.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace Vantrell {

namespace {
const QString storageKey = QStringLiteral("updater");
constexpr qint64 maxFeedSize = 64 * 1024;
} // namespace

FeedUpdaterBackend::FeedUpdaterBackend(UpdateController &controller, HTTPClient &client, QUrl feedURL,
    QString currentVersion, SettingsDataStorage &storage, UpdateUserDriver &driver, Clock now, QObject *parent)
    : QObject(parent)
    , m_controller(&controller)
    , m_client(client)
    , m_feedURL(std::move(feedURL))
    , m_currentVersion(std::move(currentVersion))
    , m_storage(storage)
    , m_driver(driver)
    , m_now(std::move(now))
    , m_started(m_now())
{
    load();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FeedUpdaterBackend::runScheduledCheckIfDue);
    scheduleTimer();
}

FeedUpdaterBackend::~FeedUpdaterBackend()
{
    if (m_request)
        m_request->cancel();
}

void FeedUpdaterBackend::load()
{
    const auto data = m_storage.data(storageKey);
    if (!data)
        return;
    const QJsonObject object = QJsonDocument::fromJson(*data).object();
    const QJsonValue automatic = object.value(QLatin1String("automaticallyChecksForUpdates"));
    if (automatic.isBool())
        m_automatic = automatic.toBool();
    const QDateTime last = QDateTime::fromString(object.value(QLatin1String("lastCheckTime")).toString(), Qt::ISODate);
    if (last.isValid())
        m_lastCheck = last;
    m_skippedVersion = object.value(QLatin1String("skippedVersion")).toString();
}

void FeedUpdaterBackend::save() const
{
    OrderedJsonWriter w;
    w.beginObject();
    w.key(QStringLiteral("automaticallyChecksForUpdates"));
    w.value(m_automatic);
    if (m_lastCheck) {
        w.key(QStringLiteral("lastCheckTime"));
        w.value(m_lastCheck->toUTC().toString(Qt::ISODate));
    }
    if (!m_skippedVersion.isEmpty()) {
        w.key(QStringLiteral("skippedVersion"));
        w.value(m_skippedVersion);
    }
    w.endObject();
    m_storage.set(w.result(), storageKey);
}

void FeedUpdaterBackend::setAutomaticallyChecksForUpdates(bool enabled)
{
    if (m_automatic == enabled)
        return;
    m_automatic = enabled;
    save();
    scheduleTimer();
}

std::optional<QDateTime> FeedUpdaterBackend::nextScheduledCheck() const
{
    if (!m_automatic)
        return std::nullopt;
    const QDateTime now = m_now();
    // The first check waits a little after start-up, so it never competes with the first prices.
    const QDateTime earliest = m_started.addSecs(std::chrono::seconds(firstCheckDelay).count());
    if (!m_lastCheck)
        return earliest;
    const QDateTime due = m_lastCheck->addSecs(std::chrono::seconds(checkInterval).count());
    // A last check in the future (clock set back) must not postpone checks for ever.
    if (*m_lastCheck > now)
        return earliest;
    return due;
}

void FeedUpdaterBackend::scheduleTimer()
{
    m_timer.stop();
    const auto next = nextScheduledCheck();
    if (!next)
        return;
    const qint64 delay
        = std::clamp<qint64>(m_now().msecsTo(*next), 0, std::chrono::milliseconds(checkInterval).count());
    m_timer.start(std::chrono::milliseconds(delay));
}

void FeedUpdaterBackend::runScheduledCheckIfDue()
{
    const auto next = nextScheduledCheck();
    if (next && *next <= m_now() && !m_running)
        startCheck(Kind::scheduled);
    else
        scheduleTimer();
}

void FeedUpdaterBackend::checkForUpdates()
{
    if (m_running)
        return;
    startCheck(Kind::userInitiated);
}

void FeedUpdaterBackend::startCheck(Kind kind)
{
    m_running = true;
    if (m_controller)
        m_controller->refresh();
    HttpRequest request;
    request.url = m_feedURL;
    request.maxBodySize = maxFeedSize;
    QPointer<FeedUpdaterBackend> self(this);
    m_request = m_client.get(request, [self, kind](Result<HttpResponse> result) {
        if (self)
            self->finishCheck(kind, result);
    });
}

void FeedUpdaterBackend::finishCheck(Kind kind, const Result<HttpResponse> &result)
{
    m_request.reset();
    m_running = false;
    m_lastCheck = m_now();
    save();
    scheduleTimer();
    if (m_controller)
        m_controller->refresh();

    QString error;
    std::optional<UpdateInfo> update;
    if (!result) {
        error = result.error().description();
    } else if (result->statusCode < 200 || result->statusCode > 299) {
        error = QStringLiteral("HTTP status %1").arg(result->statusCode);
    } else {
        update = parseUpdateFeed(result->body, &error);
    }

    if (!update) {
        qCWarning(lcUpdates, "Update check failed: %s", qUtf8Printable(error));
        if (kind == Kind::userInitiated) {
            // The user has looked: the reminder has done its job.
            willFinishUpdateSession();
            m_driver.showError(localizedString(QStringLiteral("update.error.message")));
        }
        return;
    }

    const bool newer = compareVersions(update->version, m_currentVersion) > 0;
    qCInfo(lcUpdates, "Update feed offers %s (running %s)", qUtf8Printable(update->version),
        qUtf8Printable(m_currentVersion));
    if (!newer) {
        if (kind == Kind::userInitiated) {
            willFinishUpdateSession();
            m_driver.showUpToDate(m_currentVersion);
        }
        return;
    }
    if (kind == Kind::scheduled && update->version == m_skippedVersion)
        return;

    // A background program is never in immediate focus: scheduled finds only
    // raise the reminder, user-initiated ones are shown at once.
    const bool handleShowing = kind == Kind::userInitiated || shouldHandleShowingScheduledUpdate(false);
    willHandleShowingUpdate(handleShowing, kind);
    if (!handleShowing)
        return;

    didReceiveUserAttention();
    QPointer<FeedUpdaterBackend> self(this);
    const UpdateInfo info = *update;
    m_driver.showUpdateFound(info, m_currentVersion, [self, info](UpdateUserDriver::Choice choice) {
        if (!self)
            return;
        switch (choice) {
        case UpdateUserDriver::Choice::download:
            self->m_driver.openDownload(info.downloadURL);
            break;
        case UpdateUserDriver::Choice::skipThisVersion:
            self->m_skippedVersion = info.version;
            self->save();
            break;
        case UpdateUserDriver::Choice::later:
            break;
        }
        self->willFinishUpdateSession();
    });
}

void FeedUpdaterBackend::willHandleShowingUpdate(bool handleShowingUpdate, Kind kind)
{
    if (!handleShowingUpdate && kind != Kind::userInitiated && m_controller)
        m_controller->setUpdateAvailable(true);
}

void FeedUpdaterBackend::didReceiveUserAttention()
{
    if (m_controller)
        m_controller->setUpdateAvailable(false);
}

void FeedUpdaterBackend::willFinishUpdateSession()
{
    if (m_controller)
        m_controller->setUpdateAvailable(false);
}

} // namespace Vantrell
