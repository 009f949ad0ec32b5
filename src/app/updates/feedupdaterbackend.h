// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/httpclient.h"
#include "platform/clock.h"
#include "updatecontroller.h"
#include "updatefeed.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace Vantrell {

class SettingsDataStorage;

// Shows the outcome of update checks to the user.
class UpdateUserDriver
{
public:
    enum class Choice { download, later, skipThisVersion };

    virtual ~UpdateUserDriver() = default;
    // An update is available; `reply` receives the user's choice (once).
    virtual void showUpdateFound(
        const UpdateInfo &update, const QString &currentVersion, std::function<void(Choice)> reply)
        = 0;
    virtual void showUpToDate(const QString &currentVersion) = 0;
    virtual void showError(const QString &message) = 0;
    // Opens the download address (in the user's browser).
    virtual void openDownload(const QUrl &url) = 0;
};

// Checks a JSON feed over HTTPS for a newer release: daily scheduled checks
// while automatic checks are on, and user-initiated checks that always show
// their outcome. A scheduled check that finds an update does not interrupt the
// user: it marks the update as available (a gentle reminder in the popover)
// until the user looks at it. The wish for automatic checks, the time of the
// last check and a skipped version persist under the key "updater".
class FeedUpdaterBackend final : public QObject, public UpdaterBackend
{
    Q_OBJECT

public:
    static constexpr std::chrono::hours checkInterval {24};
    static constexpr std::chrono::minutes firstCheckDelay {2};

    FeedUpdaterBackend(UpdateController &controller, HTTPClient &client, QUrl feedURL, QString currentVersion,
        SettingsDataStorage &storage, UpdateUserDriver &driver, Clock now, QObject *parent = nullptr);
    ~FeedUpdaterBackend() override;

    bool canCheckForUpdates() const override { return !m_running; }
    bool automaticallyChecksForUpdates() const override { return m_automatic; }
    void setAutomaticallyChecksForUpdates(bool enabled) override;
    void checkForUpdates() override;

    // When the next scheduled check is due; empty while automatic checks are off.
    std::optional<QDateTime> nextScheduledCheck() const;
    // Runs a scheduled check when one is due (the timer calls this too).
    void runScheduledCheckIfDue();
    QString skippedVersion() const { return m_skippedVersion; }

private:
    enum class Kind { userInitiated, scheduled };

    void startCheck(Kind kind);
    void finishCheck(Kind kind, const Result<HttpResponse> &result);
    void scheduleTimer();
    void load();
    void save() const;

    // The update-session notifications that drive the controller's reminder flag.
    bool shouldHandleShowingScheduledUpdate(bool immediateFocus) const { return immediateFocus; }
    void willHandleShowingUpdate(bool handleShowingUpdate, Kind kind);
    void didReceiveUserAttention();
    void willFinishUpdateSession();

    QPointer<UpdateController> m_controller;
    HTTPClient &m_client;
    QUrl m_feedURL;
    QString m_currentVersion;
    SettingsDataStorage &m_storage;
    UpdateUserDriver &m_driver;
    Clock m_now;
    QDateTime m_started;

    bool m_automatic = true;
    std::optional<QDateTime> m_lastCheck;
    QString m_skippedVersion;
    bool m_running = false;
    CancelHandle m_request;
    QTimer m_timer;
};

} // namespace Vantrell
