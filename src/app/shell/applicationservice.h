// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace Vantrell {

// Single instance and deep links over the session bus. The first instance owns
// the bus name of the application id and serves org.freedesktop.Application at
// the path derived from it; a later start hands its URLs (or a plain
// activation) to that instance through the same interface and exits.
class ApplicationService final : public QObject
{
    Q_OBJECT

public:
    explicit ApplicationService(QDBusConnection bus = QDBusConnection::sessionBus(),
        QString applicationId = QStringLiteral(VANTRELL_APP_ID), QObject *parent = nullptr);
    ~ApplicationService() override;

    // "/org/vantrell/Vantrell" for "org.vantrell.Vantrell".
    static QString objectPath(const QString &applicationId);

    // Claims the bus name and exports the interface. False when another
    // instance already owns the name (or there is no bus, in which case the
    // program runs as the only instance it can know about: see isBusAvailable()).
    bool registerPrimary();
    bool isBusAvailable() const { return m_bus.isConnected(); }

    // As a later start: passes `urls` (Open) or, with none, a plain Activate to
    // the running instance. Blocks for at most `timeoutMs`; false on failure.
    bool forwardToPrimary(const QStringList &urls, int timeoutMs = 5000) const;

    // True when one of `urls` is a link the program knows (isKnownDeepLink()):
    // such a link opens the popover. Open over the bus passes on only those.
    static bool containsDeepLink(const QStringList &urls);

public Q_SLOTS:
    // org.freedesktop.Application, as exported on the bus (org.freedesktop.Application.xml).
    void Activate(const QVariantMap &platformData);
    void Open(const QStringList &uris, const QVariantMap &platformData);
    void ActivateAction(const QString &actionName, const QVariantList &parameter, const QVariantMap &platformData);

Q_SIGNALS:
    // Another start without URLs, or a desktop activation.
    void activateRequested();
    // URLs handed over by another start or `gio open`.
    void openRequested(const QStringList &urls);
    // org.freedesktop.Application.ActivateAction.
    void actionRequested(const QString &name);

private:
    QDBusConnection m_bus;
    QString m_applicationId;
    bool m_registered = false;
};

} // namespace Vantrell
