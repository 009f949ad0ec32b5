// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace Vantrell {

// What the application asks of an update mechanism.
class UpdaterBackend
{
public:
    virtual ~UpdaterBackend() = default;

    // Whether a user-initiated check may start now (false while one runs).
    virtual bool canCheckForUpdates() const = 0;
    // The user's wish for scheduled checks.
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
    // Starts a user-initiated check; its outcome is shown to the user.
    virtual void checkForUpdates() = 0;
};

// The software-update state shown in the menu, the popover and the About tab.
// Main thread only; every field starts false.
class UpdateController final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool updateAvailable READ updateAvailable NOTIFY changed)
    Q_PROPERTY(bool isAvailable READ isAvailable NOTIFY changed)
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY changed)
    Q_PROPERTY(bool automaticallyChecksForUpdates READ automaticallyChecksForUpdates NOTIFY changed)

public:
    explicit UpdateController(QObject *parent = nullptr);

    // A scheduled check found an update the user has not looked at yet.
    bool updateAvailable() const { return m_updateAvailable; }
    void setUpdateAvailable(bool available);
    // An update backend is installed.
    bool isAvailable() const { return m_isAvailable; }
    void setIsAvailable(bool available);
    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    bool automaticallyChecksForUpdates() const { return m_automaticallyChecksForUpdates; }

    UpdaterBackend *backend() const { return m_backend; }
    // Not owned; must outlive the controller or be reset to null first.
    void setBackend(UpdaterBackend *backend) { m_backend = backend; }

    // Copies the backend's two values (false without a backend).
    void refresh();
    // A user-initiated check, only when the backend can check now.
    void checkForUpdates();
    void setAutomaticallyChecksForUpdates(bool enabled);

Q_SIGNALS:
    void changed();

private:
    void setField(bool &field, bool value);

    bool m_updateAvailable = false;
    bool m_isAvailable = false;
    bool m_canCheckForUpdates = false;
    bool m_automaticallyChecksForUpdates = false;
    UpdaterBackend *m_backend = nullptr;
};

} // namespace Vantrell
