// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace Vantrell {

class Bundle;

// The string table of one language, or a "main bundle" that picks one of the
// available tables by the user's preferred languages. Cheap to copy: copies
// share one loaded table, which is immutable and safe to read from any thread.
//
// A default-constructed bundle is the main bundle of the executable's own
// resources (Bundle::embedded()); it chooses its table on first use. A bundle
// without any table answers every lookup with the key itself.
class StringBundle final
{
public:
    StringBundle();

    // The table of `languageCode` ("en", "zh-Hans", "zh-Hant") among `resources`;
    // nothing when the resources have no readable table for it.
    static std::optional<StringBundle> load(const Bundle &resources, const QString &languageCode);

    // The main bundle of `resources`: the table of the first preferred language
    // that has one, else English, else any table there is, else none.
    static StringBundle mainBundle(const Bundle &resources, const QStringList &preferredLanguages);

    // The text for `key`, or the key itself when the table has no entry for it.
    QString string(const QString &key) const;

    // "en", "zh-Hans" or "zh-Hant" for a language's own bundle; "" for a main bundle.
    QString language() const { return m_language; }

    // The code of the table that answers lookups ("" when there is none). For a
    // main bundle this is the table its preferred languages led to.
    QString tableLanguage() const;

    bool isMainBundle() const { return m_language.isEmpty(); }

    // Same language and the same table content (two loads of one file are equal).
    friend bool operator==(const StringBundle &a, const StringBundle &b);

    struct Table;

private:
    StringBundle(std::shared_ptr<const Table> table, QString language);
    const Table *table() const;

    std::shared_ptr<const Table> m_table;
    QString m_language;
    bool m_isExecutableMainBundle = false; // resolves its table lazily from Bundle::embedded()
};

} // namespace Vantrell
