// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgetkit/widgetextension.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>

#include <optional>

namespace Vantrell {

// One widget the user placed on the desktop. The kind is kept as written even
// when the plug-in no longer has it, so that nothing the user made is lost.
struct WidgetInstance
{
    QString id; // stable across runs
    QString kind;
    WidgetFamily family = WidgetFamily::small;
    WidgetOptionValues options; // raw values and entity ids
    QPoint position; // top-left, in Qt's global logical coordinates
    QString screen; // the screen's name when placed, a hint only

    bool operator==(const WidgetInstance &) const = default;
};

struct WidgetHostConfig
{
    QList<WidgetInstance> widgets;

    // Indented JSON: {"version": 1, "widgets": [{"id", "kind", "family", "options", "x", "y", "screen"}, …]}.
    QByteArray encode() const;
    // The file's content; none when it is no such document. A widget with a
    // family or options of the wrong form or a repeated id is dropped, a
    // widget of an unknown kind is kept. Option values keep strings, booleans and lists of strings.
    static std::optional<WidgetHostConfig> decode(const QByteArray &data, QString *problem = nullptr);

    bool operator==(const WidgetHostConfig &) const = default;
};

// The user's widgets in $XDG_CONFIG_HOME/vantrell-widget-host/widgets.json.
class WidgetConfigFile final
{
public:
    static constexpr qint64 maxFileBytes = 4 * 1024 * 1024;

    explicit WidgetConfigFile(QString path);
    static QString defaultPath();

    QString path() const { return m_path; }
    QString asidePath() const { return m_path + QStringLiteral(".bad"); }

    // The stored widgets. A missing file is an empty desktop. A file that
    // cannot be read as a config is moved aside to widgets.json.bad (replacing
    // an older one), logged, and read as empty, so that the next save does
    // not silently overwrite what the user may want back.
    WidgetHostConfig load() const;
    // Replaces the file atomically; false with a logged reason on failure.
    // Refuses while an unusable file could not be moved aside.
    bool save(const WidgetHostConfig &config) const;

private:
    QString m_path;
    mutable bool m_protectUnusableFile = false;
};

} // namespace Vantrell
