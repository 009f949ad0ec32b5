// SPDX-License-Identifier: GPL-3.0-or-later
#include "xvfbserver.h"

namespace Vantrell::Test {

XvfbServer::XvfbServer(const QString &screenSize)
{
    // -displayfd: the server takes the first free display and writes its
    // number to the descriptor once it accepts connections.
    m_process.start(QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"), screenSize,
            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_process.waitForStarted(10000))
        return;
    QByteArray number;
    while (!number.endsWith('\n') && m_process.waitForReadyRead(10000))
        number += m_process.readAllStandardOutput();
    bool ok = false;
    const int display = number.trimmed().toInt(&ok);
    if (!ok)
        return;
    m_display = QStringLiteral(":%1").arg(display);
    qputenv("DISPLAY", m_display.toLatin1());
    m_running = true;
}

XvfbServer::~XvfbServer()
{
    m_process.terminate();
    m_process.waitForFinished(5000);
}

} // namespace Vantrell::Test
