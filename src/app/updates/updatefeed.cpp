// SPDX-License-Identifier: GPL-3.0-or-later
#include "updatefeed.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace Vantrell {

namespace {
std::optional<UpdateInfo> fail(QString *errorString, const QString &message)
{
    if (errorString)
        *errorString = message;
    return std::nullopt;
}
} // namespace

std::optional<UpdateInfo> parseUpdateFeed(const QByteArray &body, QString *errorString)
{
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return fail(errorString, QStringLiteral("the update feed is not a JSON object"));
    const QJsonObject object = document.object();

    static const QRegularExpression versionPattern(QStringLiteral("^[0-9]{1,6}(\\.[0-9]{1,6}){1,3}$"));
    static const QRegularExpression checksumPattern(QStringLiteral("^[0-9a-fA-F]{64}$"));

    UpdateInfo info;
    info.version = object.value(QLatin1String("version")).toString();
    if (!versionPattern.match(info.version).hasMatch())
        return fail(errorString, QStringLiteral("the update feed names no valid version"));

    info.downloadURL = QUrl(object.value(QLatin1String("url")).toString(), QUrl::StrictMode);
    if (!info.downloadURL.isValid() || info.downloadURL.scheme() != QLatin1String("https")
        || info.downloadURL.host().isEmpty())
        return fail(errorString, QStringLiteral("the update feed names no https download address"));

    const QJsonValue notes = object.value(QLatin1String("notes"));
    if (!notes.isUndefined() && !notes.isNull() && !notes.isString())
        return fail(errorString, QStringLiteral("the update feed's notes are not text"));
    info.notes = notes.toString();

    const QJsonValue checksum = object.value(QLatin1String("sha256"));
    if (!checksum.isUndefined() && !checksum.isNull()) {
        if (!checksum.isString() || !checksumPattern.match(checksum.toString()).hasMatch())
            return fail(errorString, QStringLiteral("the update feed's checksum is malformed"));
        info.sha256 = checksum.toString().toLower();
    }
    return info;
}

int compareVersions(const QString &a, const QString &b)
{
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    const qsizetype count = std::max(left.size(), right.size());
    for (qsizetype i = 0; i < count; ++i) {
        const qlonglong l = i < left.size() ? left[i].toLongLong() : 0;
        const qlonglong r = i < right.size() ? right[i].toLongLong() : 0;
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}

} // namespace Vantrell
