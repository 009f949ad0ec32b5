// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QVariant>

#include <optional>

namespace Vantrell {

// A read-only resource root: Info.json, data files, images by name and the
// compiled string tables. The application and the widget plug-in embed their
// own bundle as Qt resources; tests point a Bundle at a temporary directory.
//
// Layout below the root:
//   Info.json                    bundle identifier, version, app group, update feed
//   <name>.<ext>                 data resources such as coins.json
//   images/<name>.svg|png        images looked up by name (app-logo, coin-<id>, …)
//   i18n/vantrell_<code>.qm      one compiled string table per language
class Bundle final
{
public:
    // A bundle without a root: every lookup misses.
    Bundle() = default;
    explicit Bundle(const QString &rootPath);

    // The bundle compiled into this executable (":/vantrell"). A program makes
    // it once in main() and hands it to what needs its resources.
    static Bundle embedded();

    bool isValid() const { return !m_root.isEmpty(); }
    QString rootPath() const { return m_root; }

    // The value for a key of Info.json; invalid when the file or key is missing.
    QVariant infoValue(const QString &key) const;
    QString bundleIdentifier() const;
    QString shortVersion() const;
    QString updateFeedURL() const;

    // Path of the resource `name.extension`, when the bundle has it.
    std::optional<QString> resourcePath(const QString &name, const QString &extension) const;

    // Path of the image called `name` (SVG preferred over PNG), when present.
    std::optional<QString> imagePath(const QString &name) const;
    bool hasImage(const QString &name) const { return imagePath(name).has_value(); }

    // Path of the compiled string table for a language code ("en", "zh-Hans", "zh-Hant").
    std::optional<QString> translationPath(const QString &languageCode) const;

private:
    QString m_root;
    QJsonObject m_info;
};

} // namespace Vantrell
