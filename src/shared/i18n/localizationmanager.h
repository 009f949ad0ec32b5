// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/stringbundle.h"
#include "settings/settingsenums.h"

#include <QObject>
#include <QStringList>

namespace Vantrell {

class Bundle;

// Holds the string bundle that every user-visible text is looked up in, so that
// a change of the language setting takes effect at once, without a restart.
// The bundle starts as the main bundle (the system's language among the
// available tables); the application replaces it at launch and whenever the
// `language` setting changes. Main thread only.
class LocalizationManager final : public QObject
{
    Q_OBJECT

public:
    static LocalizationManager &shared();

    // The current bundle.
    StringBundle bundle() const { return m_bundle; }
    // Replaces the current bundle; emits bundleChanged() when it differs.
    void setBundle(const StringBundle &bundle);

    // `language` itself when concrete; for `system`, the first preferred language
    // that is English or Chinese decides (Traditional for Hant and for Taiwan,
    // Hong Kong and Macao, Simplified for other Chinese), and English otherwise.
    static AppLanguage resolvedLanguage(AppLanguage language);
    static AppLanguage resolvedLanguage(AppLanguage language, const QStringList &preferredLanguages);

    // The user's preferred languages as BCP 47 tags ("zh-TW", "zh-Hant-TW", "en-US"),
    // most preferred first, from LANGUAGE, LC_ALL, LC_MESSAGES and LANG. Empty
    // under the C or POSIX locale.
    static QStringList preferredLanguages();

    // The bundle of the resolved language from the executable's resources, or the
    // main bundle when they hold no table for that language.
    static StringBundle bundle(AppLanguage language);
    static StringBundle bundle(AppLanguage language, const Bundle &resources);
    static StringBundle bundle(AppLanguage language, const Bundle &resources, const QStringList &preferredLanguages);

Q_SIGNALS:
    void bundleChanged();

private:
    LocalizationManager();
    friend QString localizedString(const QString &key);

    StringBundle m_bundle;
};

// The current bundle's text for `key`, the key itself when it has none. Every
// user-visible text goes through this (or StringBundle::string()).
QString localizedString(const QString &key);

// The current bundle's template for `key` with %1, %2, … replaced by `arguments`
// in one pass (see substituteArguments()).
QString localizedString(const QString &key, const QStringList &arguments);

// Replaces the positional placeholders %1 … %99 of `format` by `arguments`.
// Placeholders without an argument stay as written and extra arguments are
// ignored, so a template that lacks a placeholder (or a missing key shown in its
// place) is still usable. Text inside the arguments is never substituted again.
QString substituteArguments(QStringView format, const QStringList &arguments);

// Display names of the enumerations in the current bundle, evaluated on every call.
QString displayName(AppLanguage value);
QString displayName(PriceColorScheme value);
QString displayName(MenuBarContent value);
QString displayName(DesktopOverlayTextSize value);
QString displayName(CoinAlertKind value);
// The ISO 4217 code itself ("USD"); currencies are not translated.
QString displayName(BaseCurrency value);

} // namespace Vantrell
