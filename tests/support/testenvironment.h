// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace Vantrell::Test {

// Points the XDG base directories (config, cache, data, state, runtime) at a
// fresh temporary directory for as long as it lives, so that no test reads or
// writes the user's files.
class IsolatedXdg final
{
public:
    IsolatedXdg();
    ~IsolatedXdg();

    QString root() const { return m_dir.path(); }
    QString configHome() const { return m_dir.path() + QStringLiteral("/config"); }
    QString cacheHome() const { return m_dir.path() + QStringLiteral("/cache"); }

private:
    QTemporaryDir m_dir;
};

// Writes a bundle root with an Info.json into `directory`.
void writeTestBundle(const QString &directory, const QByteArray &infoJson = {});

} // namespace Vantrell::Test
