// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QStringList>

namespace Vantrell::Test {

// The real `vantrell` program as a child of the test: offscreen, on the test's
// private session bus, with the XDG directories of the test process (point
// them at temporary ones first) and its network sent to a fake market. Keeps
// everything the child writes to stderr, so tests can wait for log lines.
class VantrellProcess final : public QObject
{
    Q_OBJECT

public:
    // `hostMap` is the VANTRELL_HOST_MAP value; empty for none.
    explicit VantrellProcess(const QString &hostMap, QObject *parent = nullptr);
    // Ends a child that still runs.
    ~VantrellProcess() override;

    static QString program();

    // Sets a variable of the child's environment for the next start.
    void setEnvironmentValue(const QString &name, const QString &value);
    void start(const QStringList &arguments = {});
    // Waits (running the event loop) until the child has ended; false on timeout.
    bool waitForExit(int timeoutMs = 60000);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    QProcess &process() { return m_process; }

    // Everything the child wrote to stderr so far.
    QString log() const { return QString::fromUtf8(m_log); }
    qsizetype countInLog(const QString &text) const;
    // Waits until `text` occurs at least `count` times in the log.
    bool waitForLog(const QString &text, qsizetype count = 1, int timeoutMs = 60000);

private:
    QProcess m_process;
    QByteArray m_log;
};

// Writes `settings` as $XDG_CONFIG_HOME/vantrell/appSettings.json.
void writeAppSettings(const QJsonObject &settings);
// The stored settings; empty when the file is missing or unreadable.
QJsonObject readAppSettings();
QString appSettingsPath();

} // namespace Vantrell::Test
