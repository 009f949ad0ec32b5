// SPDX-License-Identifier: GPL-3.0-or-later
#include "decimal.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace Vantrell {

std::optional<double> readDecimal(std::string_view text)
{
    const char *const end = text.data() + text.size();
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    // from_chars also accepts "inf" and "nan", and stops silently before junk
    // such as the "x10" of "0x10".
    if (ec != std::errc {} || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace Vantrell
