// SPDX-License-Identifier: GPL-3.0-or-later
#include "localizationmanager.h"

#include "languagetags.h"
#include "platform/bundle.h"

namespace Vantrell {

LocalizationManager::LocalizationManager() = default;

LocalizationManager &LocalizationManager::shared()
{
    static LocalizationManager manager;
    return manager;
}

void LocalizationManager::setBundle(const StringBundle &bundle)
{
    if (bundle == m_bundle)
        return;
    m_bundle = bundle;
    Q_EMIT bundleChanged();
}

AppLanguage LocalizationManager::resolvedLanguage(AppLanguage language)
{
    return resolvedLanguage(language, preferredLanguages());
}

AppLanguage LocalizationManager::resolvedLanguage(AppLanguage language, const QStringList &preferredLanguages)
{
    if (language != AppLanguage::system)
        return language;
    // The list is a chain of fallbacks (LANGUAGE=fr:zh_CN means "French, else
    // Chinese"), so a language we have no table for gives way to the next one.
    for (const QString &tag : preferredLanguages) {
        if (const auto concrete = LanguageTags::concreteLanguage(tag))
            return *concrete;
    }
    return AppLanguage::en;
}

QStringList LocalizationManager::preferredLanguages()
{
    return LanguageTags::systemPreferredLanguages();
}

StringBundle LocalizationManager::bundle(AppLanguage language)
{
    const QStringList preferred = preferredLanguages();
    if (auto own = StringBundle::load(Bundle::embedded(), rawValue(resolvedLanguage(language, preferred))))
        return *own;
    return StringBundle();
}

StringBundle LocalizationManager::bundle(AppLanguage language, const Bundle &resources)
{
    return bundle(language, resources, preferredLanguages());
}

StringBundle LocalizationManager::bundle(
    AppLanguage language, const Bundle &resources, const QStringList &preferredLanguages)
{
    if (auto own = StringBundle::load(resources, rawValue(resolvedLanguage(language, preferredLanguages))))
        return *own;
    return StringBundle::mainBundle(resources, preferredLanguages);
}

QString localizedString(const QString &key)
{
    return LocalizationManager::shared().m_bundle.string(key);
}

QString localizedString(const QString &key, const QStringList &arguments)
{
    return substituteArguments(localizedString(key), arguments);
}

QString substituteArguments(QStringView format, const QStringList &arguments)
{
    QString result;
    result.reserve(format.size() + 16 * arguments.size());
    const auto digit = [&](qsizetype i) {
        return i < format.size() && format[i] >= u'0' && format[i] <= u'9' ? int(format[i].unicode() - u'0') : -1;
    };
    qsizetype i = 0;
    while (i < format.size()) {
        if (format[i] == u'%' && digit(i + 1) >= 0) {
            // %1 … %99; a second digit belongs to the placeholder only when that
            // argument exists, so "%15%" with one argument reads as "%1" and "5%".
            int number = digit(i + 1);
            qsizetype length = 2;
            if (const int second = digit(i + 2); second >= 0 && number * 10 + second <= arguments.size()) {
                number = number * 10 + second;
                length = 3;
            }
            if (number >= 1 && number <= arguments.size()) {
                result += arguments.at(number - 1);
                i += length;
                continue;
            }
        }
        result += format[i];
        ++i;
    }
    return result;
}

QString displayName(AppLanguage value)
{
    return localizedString(displayNameKey(value));
}

QString displayName(PriceColorScheme value)
{
    return localizedString(displayNameKey(value));
}

QString displayName(MenuBarContent value)
{
    return localizedString(displayNameKey(value));
}

QString displayName(DesktopOverlayTextSize value)
{
    return localizedString(displayNameKey(value));
}

QString displayName(CoinAlertKind value)
{
    return localizedString(displayNameKey(value));
}

QString displayName(BaseCurrency value)
{
    return rawValue(value);
}

} // namespace Vantrell
