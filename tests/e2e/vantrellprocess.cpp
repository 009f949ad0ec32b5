// SPDX-License-Identifier: GPL-3.0-or-later
#include "vantrellprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTest>

namespace Vantrell::Test {

VantrellProcess::VantrellProcess(const QString &hostMap, QObject *parent)
    : QObject(parent)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The shell's trace of the popover is a debug line; everything else stays at its level.
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.App.debug=true"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    environment.remove(QStringLiteral("VANTRELL_TRAY_FORM"));
    if (hostMap.isEmpty())
        environment.remove(QStringLiteral("VANTRELL_HOST_MAP"));
    else
        environment.insert(QStringLiteral("VANTRELL_HOST_MAP"), hostMap);
    m_process.setProcessEnvironment(environment);
    m_process.setProgram(program());
    connect(&m_process, &QProcess::readyReadStandardError, this,
        [this] { m_log.append(m_process.readAllStandardError()); });
}

VantrellProcess::~VantrellProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(20000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString VantrellProcess::program()
{
    return QStringLiteral(VANTRELL_PROGRAM);
}

void VantrellProcess::setEnvironmentValue(const QString &name, const QString &value)
{
    QProcessEnvironment environment = m_process.processEnvironment();
    environment.insert(name, value);
    m_process.setProcessEnvironment(environment);
}

void VantrellProcess::start(const QStringList &arguments)
{
    m_log.clear();
    m_process.setArguments(arguments);
    m_process.start();
}

bool VantrellProcess::waitForExit(int timeoutMs)
{
    const bool ended = QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    m_log.append(m_process.readAllStandardError());
    return ended;
}

qsizetype VantrellProcess::countInLog(const QString &text) const
{
    return log().count(text);
}

bool VantrellProcess::waitForLog(const QString &text, qsizetype count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return countInLog(text) >= count; }, timeoutMs);
}

QString appSettingsPath()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/vantrell/appSettings.json");
}

void writeAppSettings(const QJsonObject &settings)
{
    const QString path = appSettingsPath();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QJsonDocument(settings).toJson());
}

QJsonObject readAppSettings()
{
    QFile file(appSettingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace Vantrell::Test
