// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>

namespace Vantrell::Test {

// A private X server (Xvfb) for one test program, on a display number the
// server picks among the free ones (so parallel tests never collide), with
// DISPLAY pointing at it for as long as it lives.
class XvfbServer final
{
public:
    // Starts Xvfb with one screen of `screenSize` ("1280x800x24").
    explicit XvfbServer(const QString &screenSize);
    ~XvfbServer();

    bool isRunning() const { return m_running; }
    QString display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
    bool m_running = false;
};

} // namespace Vantrell::Test
