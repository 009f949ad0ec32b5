// SPDX-License-Identifier: GPL-3.0-or-later
#include "stringbundle.h"

#include "languagetags.h"
#include "platform/bundle.h"
#include "settings/settingsenums.h"

#include <QFile>
#include <QMutex>
#include <QTranslator>

#include <map>

namespace Vantrell {

struct StringBundle::Table
{
    QString code;
    QByteArray data; // the compiled table; the translator reads it in place
    QTranslator translator;
};

namespace {

std::shared_ptr<const StringBundle::Table> readTable(const QString &path, const QString &code)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    auto table = std::make_shared<StringBundle::Table>();
    table->code = code;
    table->data = file.readAll();
    if (!table->translator.load(reinterpret_cast<const uchar *>(table->data.constData()), int(table->data.size())))
        return nullptr;
    return table;
}

// Tables compiled into the executable never change, and widget views ask for
// them on every paint, so each is read once. Tables on disk are read afresh.
std::shared_ptr<const StringBundle::Table> tableAt(const QString &path, const QString &code)
{
    if (!path.startsWith(QLatin1Char(':')))
        return readTable(path, code);

    static QMutex mutex;
    static std::map<QString, std::shared_ptr<const StringBundle::Table>> cache;
    const QMutexLocker locker(&mutex);
    auto &entry = cache[path];
    if (!entry)
        entry = readTable(path, code);
    return entry;
}

} // namespace

StringBundle::StringBundle()
    : m_isExecutableMainBundle(true)
{ }

StringBundle::StringBundle(std::shared_ptr<const Table> table, QString language)
    : m_table(std::move(table))
    , m_language(std::move(language))
{ }

std::optional<StringBundle> StringBundle::load(const Bundle &resources, const QString &languageCode)
{
    const auto path = resources.translationPath(languageCode);
    if (!path)
        return std::nullopt;
    auto table = tableAt(*path, languageCode);
    if (!table)
        return std::nullopt;
    return StringBundle(std::move(table), languageCode);
}

StringBundle StringBundle::mainBundle(const Bundle &resources, const QStringList &preferredLanguages)
{
    QStringList candidates;
    for (const QString &tag : preferredLanguages) {
        if (const auto language = LanguageTags::concreteLanguage(tag))
            candidates.append(rawValue(*language));
    }
    // English is the development language; the others only help when it is missing.
    for (const AppLanguage language : {AppLanguage::en, AppLanguage::zhHans, AppLanguage::zhHant})
        candidates.append(rawValue(language));

    for (const QString &code : std::as_const(candidates)) {
        if (auto bundle = load(resources, code))
            return StringBundle(bundle->m_table, QString());
    }
    return StringBundle(nullptr, QString());
}

const StringBundle::Table *StringBundle::table() const
{
    if (m_isExecutableMainBundle) {
        // The system's language does not change while the process runs.
        static const std::shared_ptr<const Table> mainTable
            = mainBundle(Bundle::embedded(), LanguageTags::systemPreferredLanguages()).m_table;
        return mainTable.get();
    }
    return m_table.get();
}

QString StringBundle::string(const QString &key) const
{
    const Table *t = table();
    if (!t || key.isEmpty())
        return key;
    // Id-based tables keep every message in the empty context, keyed by its id.
    QString text = t->translator.translate(nullptr, key.toUtf8().constData());
    return text.isEmpty() ? key : text;
}

bool operator==(const StringBundle &a, const StringBundle &b)
{
    if (a.m_language != b.m_language)
        return false;
    const StringBundle::Table *ta = a.table();
    const StringBundle::Table *tb = b.table();
    if (ta == tb)
        return true;
    return ta && tb && ta->code == tb->code && ta->data == tb->data;
}

QString StringBundle::tableLanguage() const
{
    const Table *t = table();
    return t ? t->code : QString();
}

} // namespace Vantrell
