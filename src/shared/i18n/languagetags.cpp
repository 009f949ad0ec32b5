// SPDX-License-Identifier: GPL-3.0-or-later
#include "languagetags.h"

#include <QLocale>

#include <algorithm>

namespace Vantrell::LanguageTags {

namespace {

bool isAsciiAlpha(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlnum(QChar c)
{
    return isAsciiAlpha(c) || (c >= u'0' && c <= u'9');
}

bool allAlpha(QStringView s)
{
    return std::all_of(s.begin(), s.end(), isAsciiAlpha);
}

// "zh_TW.UTF-8@euro" → "zh_TW": the codeset and modifier of a POSIX locale name.
QStringView withoutCodesetAndModifier(QStringView tag)
{
    const auto cut = std::find_if(tag.begin(), tag.end(), [](QChar c) { return c == u'.' || c == u'@'; });
    return tag.first(cut - tag.begin());
}

bool isPosixLocaleName(QStringView name)
{
    const QStringView base = withoutCodesetAndModifier(name.trimmed());
    return base.isEmpty() || base == u"C" || base == u"POSIX";
}

// The locale category that decides the language of messages, as glibc reads it.
QString messagesLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

} // namespace

QString canonical(QStringView tag)
{
    const QStringView base = withoutCodesetAndModifier(tag.trimmed());
    if (isPosixLocaleName(base))
        return {};

    QStringList subtags;
    bool inExtension = false;
    for (QStringView subtag : base.tokenize(u'-')) {
        // Underscores separate subtags in POSIX names; treat them like hyphens.
        for (QStringView part : subtag.tokenize(u'_')) {
            if (part.isEmpty() || part.size() > 8 || !std::all_of(part.begin(), part.end(), isAsciiAlnum))
                return {};
            QString text = part.toString().toLower();
            if (subtags.isEmpty()) {
                // The primary language subtag: two or three letters (up to eight when registered).
                if (part.size() < 2 || !allAlpha(part))
                    return {};
            } else if (part.size() == 1) {
                inExtension = true; // singletons start extensions and private use, which stay lower case
            } else if (!inExtension && part.size() == 4 && allAlpha(part)) {
                text[0] = text[0].toUpper(); // script: "Hant"
            } else if (!inExtension && (part.size() == 2 || (part.size() == 3 && !allAlpha(part)))) {
                text = text.toUpper(); // region: "TW", "419"
            }
            subtags.append(text);
        }
    }
    return subtags.join(QLatin1Char('-'));
}

std::optional<AppLanguage> concreteLanguage(QStringView tag)
{
    const QString canonicalTag = canonical(tag);
    if (canonicalTag.isEmpty())
        return std::nullopt;
    const QStringList subtags = canonicalTag.split(QLatin1Char('-'));
    const QString &primary = subtags.first();
    if (primary == u"en")
        return AppLanguage::en;
    if (primary != u"zh")
        return std::nullopt;

    // An explicit script decides; without one, the regions that write Traditional Chinese.
    for (qsizetype i = 1; i < subtags.size(); ++i) {
        const QString &subtag = subtags.at(i);
        if (subtag.size() == 1)
            break;
        if (subtag == u"Hant")
            return AppLanguage::zhHant;
        if (subtag == u"Hans")
            return AppLanguage::zhHans;
        if (subtag == u"TW" || subtag == u"HK" || subtag == u"MO")
            return AppLanguage::zhHant;
    }
    return AppLanguage::zhHans;
}

QStringList systemPreferredLanguages()
{
    // Like gettext: under the C or POSIX locale, programs speak English whatever
    // LANGUAGE says, which is what `LC_ALL=C program` is used for.
    if (isPosixLocaleName(messagesLocaleName()))
        return {};

    QStringList result;
    for (const QString &tag : QLocale::system().uiLanguages()) {
        const QString canonicalTag = canonical(tag);
        if (!canonicalTag.isEmpty() && !result.contains(canonicalTag))
            result.append(canonicalTag);
    }
    return result;
}

} // namespace Vantrell::LanguageTags
