// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace Vantrell {

// One release announced by the update feed, a small JSON object:
//   {"version": "0.2.0", "notes": "…", "url": "https://…", "sha256": "…"}
struct UpdateInfo
{
    QString version;
    QString notes;
    QUrl downloadURL;
    QString sha256;

    bool operator==(const UpdateInfo &) const = default;
};

// Reads a feed strictly: the version must be dotted numbers ("1.2" or "1.2.3"),
// the download address https, the checksum (when present) 64 hexadecimal digits.
std::optional<UpdateInfo> parseUpdateFeed(const QByteArray &body, QString *errorString = nullptr);

// Compares dotted version numbers numerically ("1.10" > "1.9"; "1.2" == "1.2.0").
// Negative, zero or positive like strcmp. Non-numeric parts count as 0.
int compareVersions(const QString &a, const QString &b);

} // namespace Vantrell
