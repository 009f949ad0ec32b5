// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hostcommandline.h"

#include <QString>

#include <cstdio>

namespace Vantrell {

class WidgetExtension;

// Finds the plug-in: `requested` when given, else beside the program (a build
// tree), else in <libdir>/vantrell/widgets relative to the program and at
// the configured install location.
QString widgetPluginPath(const QString &requested);

// The command-line modes; each returns the process's exit status and prints
// errors as one line on stderr.
int runList(WidgetExtension &extension, std::FILE *out);
int runRender(WidgetExtension &extension, const HostCommand &command);
int runPrint(WidgetExtension &extension, const HostCommand &command, std::FILE *out);
// Owns the panel front ends' bus name (queued behind another owner) until
// stdin reaches its end (the front end that started us went) or a signal
// ends the process; the program's tray item stays out of the panel meanwhile.
// With the plug-in it also keeps the panel's own prices while the program
// does not run (see PanelFeed), and with --view the front end's view file
// (see PanelViewKeeper).
int runPanelPresence(WidgetExtension *extension, const HostCommand &command);

} // namespace Vantrell
