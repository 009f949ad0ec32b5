// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace Vantrell::Test {

IsolatedXdg::IsolatedXdg()
{
    const QString base = m_dir.path();
    for (const auto &[variable, folder] : {std::pair {"XDG_CONFIG_HOME", "config"},
             std::pair {"XDG_CACHE_HOME", "cache"}, std::pair {"XDG_DATA_HOME", "data"},
             std::pair {"XDG_STATE_HOME", "state"}, std::pair {"XDG_RUNTIME_DIR", "runtime"}}) {
        const QString path = base + QLatin1Char('/') + QLatin1String(folder);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(variable, QFile::encodeName(path));
    }
    qputenv("HOME", QFile::encodeName(base));
}

IsolatedXdg::~IsolatedXdg() = default;

void writeTestBundle(const QString &directory, const QByteArray &infoJson)
{
    QDir().mkpath(directory);
    QFile info(directory + QStringLiteral("/Info.json"));
    if (info.open(QIODevice::WriteOnly)) {
        info.write(infoJson.isEmpty() ? QByteArrayLiteral(R"({"bundleIdentifier":"org.vantrell.Test",)"
                                                          R"("CFBundleShortVersionString":"1.2.3",)"
                                                          R"("VantrellAppGroup":"vantrell-test"})")
                                      : infoJson);
    }
}

} // namespace Vantrell::Test
