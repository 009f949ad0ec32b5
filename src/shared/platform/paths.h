// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace Vantrell {

class Bundle;

namespace Paths {

// $XDG_CONFIG_HOME/vantrell: the user's settings, one file per key.
QString settingsDirectory();

// $XDG_STATE_HOME/vantrell (~/.local/state/vantrell): what the program
// remembers between runs that is not a setting, such as window geometry.
QString stateDirectory();

// $XDG_CONFIG_HOME/autostart: XDG autostart entries.
QString autostartDirectory();

// The container shared by the application and the widgets:
// $XDG_CACHE_HOME/<group>, where <group> is the bundle's "VantrellAppGroup".
// Empty when the key is missing, not a string or not a safe directory name;
// then nothing is cached on disk.
std::optional<QString> sharedContainerDirectory(const Bundle &bundle);

} // namespace Paths
} // namespace Vantrell
