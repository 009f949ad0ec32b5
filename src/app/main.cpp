// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/appdelegate.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {
// Popover placement and the desktop overlay need global coordinates, which
// plain Wayland does not give; XWayland does.
void preferXWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qgetenv("XDG_SESSION_TYPE") == "wayland" && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
} // namespace

int main(int argc, char *argv[])
{
    preferXWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantrell"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrell"));
    QApplication::setApplicationVersion(QStringLiteral(VANTRELL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(VANTRELL_APP_ID));
    // A tray program: closing its last window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Cryptocurrency prices in the panel."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("url"), QStringLiteral("vantrell://popover opens the price list."), QStringLiteral("[url...]"));
    parser.process(app);

    Vantrell::AppDelegate delegate;
    if (!delegate.launch(parser.positionalArguments()))
        return 0; // the running instance took over
    return QApplication::exec();
}
