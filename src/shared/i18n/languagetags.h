// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingsenums.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace Vantrell::LanguageTags {

// A language tag in BCP 47 form with '-' separators and canonical letter case
// ("zh_TW.UTF-8" and "zh-hant-tw" become "zh-TW" and "zh-Hant-TW"). The POSIX
// names "C" and "POSIX", and anything that is no language tag, give "".
QString canonical(QStringView tag);

// The interface language a tag names: English for "en…", Traditional Chinese for
// "zh" written in Hant or, without a script, for Taiwan, Hong Kong and Macao,
// Simplified Chinese for any other "zh…". Nothing for other languages.
std::optional<AppLanguage> concreteLanguage(QStringView tag);

// The user's preferred languages, most preferred first, as canonical tags: the
// system locale's UI languages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG). Empty when
// the messages locale is C or POSIX, where LANGUAGE does not apply either.
QStringList systemPreferredLanguages();

} // namespace Vantrell::LanguageTags
