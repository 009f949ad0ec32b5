// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgethostconfig.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"
#include "platform/orderedjsonwriter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStandardPaths>

#include <cmath>

namespace Vantrell {

namespace {
constexpr qint64 kVersion = 1;

void writeValue(OrderedJsonWriter &writer, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        writer.value(value.toBool());
        break;
    case QMetaType::QStringList:
        writer.beginArray();
        for (const QString &item : value.toStringList())
            writer.value(item);
        writer.endArray();
        break;
    default:
        writer.value(value.toString());
        break;
    }
}

std::optional<QVariant> readValue(const QJsonValue &value)
{
    if (value.isString())
        return QVariant(value.toString());
    if (value.isBool())
        return QVariant(value.toBool());
    if (value.isArray()) {
        QStringList items;
        for (const QJsonValue &item : value.toArray()) {
            if (!item.isString())
                return std::nullopt;
            items.append(item.toString());
        }
        return QVariant(items);
    }
    return std::nullopt;
}

std::optional<int> readCoordinate(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || std::abs(number) > 1'000'000)
        return std::nullopt;
    return int(number);
}
} // namespace

QByteArray WidgetHostConfig::encode() const
{
    OrderedJsonWriter writer;
    writer.beginObject();
    writer.key(QStringLiteral("version"));
    writer.value(kVersion);
    writer.key(QStringLiteral("widgets"));
    writer.beginArray();
    for (const WidgetInstance &widget : widgets) {
        writer.beginObject();
        writer.key(QStringLiteral("id"));
        writer.value(widget.id);
        writer.key(QStringLiteral("kind"));
        writer.value(widget.kind);
        writer.key(QStringLiteral("family"));
        writer.value(rawValue(widget.family));
        writer.key(QStringLiteral("options"));
        writer.beginObject();
        for (auto it = widget.options.cbegin(); it != widget.options.cend(); ++it) {
            writer.key(it.key());
            writeValue(writer, it.value());
        }
        writer.endObject();
        writer.key(QStringLiteral("x"));
        writer.value(qint64(widget.position.x()));
        writer.key(QStringLiteral("y"));
        writer.value(qint64(widget.position.y()));
        writer.key(QStringLiteral("screen"));
        writer.value(widget.screen);
        writer.endObject();
    }
    writer.endArray();
    writer.endObject();
    return writer.result();
}

std::optional<WidgetHostConfig> WidgetHostConfig::decode(const QByteArray &data, QString *problem)
{
    const auto fail = [problem](const QString &why) -> std::optional<WidgetHostConfig> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError)
        return fail(error.errorString());
    if (!document.isObject())
        return fail(QStringLiteral("not a JSON object"));
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("version")).toInteger(-1) != kVersion)
        return fail(QStringLiteral("unknown version"));
    if (!root.value(QStringLiteral("widgets")).isArray())
        return fail(QStringLiteral("no widget list"));

    WidgetHostConfig config;
    QSet<QString> ids;
    for (const QJsonValue &item : root.value(QStringLiteral("widgets")).toArray()) {
        const QJsonObject object = item.toObject();
        WidgetInstance widget;
        widget.id = object.value(QStringLiteral("id")).toString();
        widget.kind = object.value(QStringLiteral("kind")).toString();
        const auto family = fromRawValue<WidgetFamily>(object.value(QStringLiteral("family")).toString());
        const auto x = readCoordinate(object.value(QStringLiteral("x")));
        const auto y = readCoordinate(object.value(QStringLiteral("y")));
        // A repeated id (a hand-edited file) would make two widgets one.
        if (widget.id.isEmpty() || ids.contains(widget.id) || widget.kind.isEmpty() || !family || !x || !y
            || !object.value(QStringLiteral("options")).isObject())
            continue;
        ids.insert(widget.id);
        widget.family = *family;
        widget.position = QPoint(*x, *y);
        widget.screen = object.value(QStringLiteral("screen")).toString();
        const QJsonObject options = object.value(QStringLiteral("options")).toObject();
        for (auto it = options.constBegin(); it != options.constEnd(); ++it) {
            if (const auto value = readValue(it.value()))
                widget.options.insert(it.key(), *value);
        }
        config.widgets.append(widget);
    }
    return config;
}

WidgetConfigFile::WidgetConfigFile(QString path)
    : m_path(std::move(path))
{ }

QString WidgetConfigFile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/vantrell-widget-host/widgets.json");
}

WidgetHostConfig WidgetConfigFile::load() const
{
    QFile file(m_path);
    if (!file.exists())
        return {};
    QString problem;
    std::optional<WidgetHostConfig> config;
    if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else if (file.size() > maxFileBytes)
        problem = QStringLiteral("larger than %1 bytes").arg(maxFileBytes);
    else
        config = WidgetHostConfig::decode(file.readAll(), &problem);
    file.close();
    if (config)
        return *config;

    // Kept aside for the user: the next save would overwrite it otherwise.
    QFile::remove(asidePath());
    const bool kept = QFile::rename(m_path, asidePath());
    m_protectUnusableFile = !kept;
    qCCritical(lcWidget, "Widget list %s unusable (%s); %s, starting with no widgets", qUtf8Printable(m_path),
        qUtf8Printable(problem),
        kept ? qUtf8Printable(QStringLiteral("kept as ") + asidePath()) : "it could not be moved aside");
    return {};
}

bool WidgetConfigFile::save(const WidgetHostConfig &config) const
{
    if (m_protectUnusableFile) {
        qCWarning(lcWidget, "Widget list not saved: the unusable %s is left as it is", qUtf8Printable(m_path));
        return false;
    }
    QString error;
    if (!writeFileAtomically(m_path, config.encode(), Durability::Durable, &error)) {
        qCWarning(lcWidget, "Widget list not saved: %s", qUtf8Printable(error));
        return false;
    }
    return true;
}

} // namespace Vantrell
