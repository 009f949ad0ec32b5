// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <span>

namespace Vantrell {

enum class AppLanguage { system, en, zhHans, zhHant };

enum class BaseCurrency { usd, cny, krw, hkd, jpy, twd, sgd, myr, aud, cad, eur, gbp };

enum class PriceColorScheme { greenUpRedDown, redUpGreenDown, custom };

enum class MenuBarContent { price, icon };

enum class DesktopOverlayTextSize { normal, large };

enum class CoinAlertKind { above, below, change, notSet };

// Raw values (as stored in JSON) and display-name keys of each enumeration.
// Matching a raw value is exact and case-sensitive.
template<typename E>
struct EnumCase
{
    E value;
    const char *raw;
    const char *displayNameKey; // nullptr where the raw value is the display name
};

template<typename E>
struct EnumTraits;

template<>
struct EnumTraits<AppLanguage>
{
    static constexpr std::array<EnumCase<AppLanguage>, 4> cases {{
        {AppLanguage::system, "system", "lang.system"},
        {AppLanguage::en, "en", "lang.endonym.en"},
        {AppLanguage::zhHans, "zh-Hans", "lang.endonym.zh-Hans"},
        {AppLanguage::zhHant, "zh-Hant", "lang.endonym.zh-Hant"},
    }};
};

template<>
struct EnumTraits<BaseCurrency>
{
    static constexpr std::array<EnumCase<BaseCurrency>, 12> cases {{
        {BaseCurrency::usd, "USD", nullptr},
        {BaseCurrency::cny, "CNY", nullptr},
        {BaseCurrency::krw, "KRW", nullptr},
        {BaseCurrency::hkd, "HKD", nullptr},
        {BaseCurrency::jpy, "JPY", nullptr},
        {BaseCurrency::twd, "TWD", nullptr},
        {BaseCurrency::sgd, "SGD", nullptr},
        {BaseCurrency::myr, "MYR", nullptr},
        {BaseCurrency::aud, "AUD", nullptr},
        {BaseCurrency::cad, "CAD", nullptr},
        {BaseCurrency::eur, "EUR", nullptr},
        {BaseCurrency::gbp, "GBP", nullptr},
    }};
};

template<>
struct EnumTraits<PriceColorScheme>
{
    static constexpr std::array<EnumCase<PriceColorScheme>, 3> cases {{
        {PriceColorScheme::greenUpRedDown, "greenUpRedDown", "colorScheme.greenUpRedDown"},
        {PriceColorScheme::redUpGreenDown, "redUpGreenDown", "colorScheme.redUpGreenDown"},
        {PriceColorScheme::custom, "custom", "colorScheme.custom"},
    }};
};

template<>
struct EnumTraits<MenuBarContent>
{
    static constexpr std::array<EnumCase<MenuBarContent>, 2> cases {{
        {MenuBarContent::price, "price", "menubarContent.price"},
        {MenuBarContent::icon, "icon", "menubarContent.icon"},
    }};
};

template<>
struct EnumTraits<DesktopOverlayTextSize>
{
    static constexpr std::array<EnumCase<DesktopOverlayTextSize>, 2> cases {{
        {DesktopOverlayTextSize::normal, "normal", "desktop.textSize.normal"},
        {DesktopOverlayTextSize::large, "large", "desktop.textSize.large"},
    }};
};

template<>
struct EnumTraits<CoinAlertKind>
{
    static constexpr std::array<EnumCase<CoinAlertKind>, 4> cases {{
        {CoinAlertKind::above, "above", "alertKind.above"},
        {CoinAlertKind::below, "below", "alertKind.below"},
        {CoinAlertKind::change, "change", "alertKind.change"},
        {CoinAlertKind::notSet, "notSet", "alertKind.notSet"},
    }};
};

// All cases in declaration order.
template<typename E>
constexpr auto allCases()
{
    std::array<E, EnumTraits<E>::cases.size()> result {};
    for (std::size_t i = 0; i < result.size(); ++i)
        result[i] = EnumTraits<E>::cases[i].value;
    return result;
}

template<typename E>
constexpr const EnumCase<E> &enumCase(E value)
{
    for (const auto &c : EnumTraits<E>::cases) {
        if (c.value == value)
            return c;
    }
    return EnumTraits<E>::cases[0];
}

template<typename E>
QString rawValue(E value)
{
    return QString::fromLatin1(enumCase(value).raw);
}

// The localization key of a case's display name; for BaseCurrency the raw code.
template<typename E>
QString displayNameKey(E value)
{
    const auto &c = enumCase(value);
    return QString::fromLatin1(c.displayNameKey ? c.displayNameKey : c.raw);
}

template<typename E>
std::optional<E> fromRawValue(QStringView raw)
{
    for (const auto &c : EnumTraits<E>::cases) {
        if (raw == QLatin1String(c.raw))
            return c.value;
    }
    return std::nullopt;
}

} // namespace Vantrell
