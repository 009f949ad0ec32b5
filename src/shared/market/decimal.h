// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace Vantrell {

// Reads a decimal number that makes up the whole text, in the C locale: no
// blanks, no thousands separators, no leading "+", no hexadecimal form. Texts
// that are not finite ("inf", "nan") or overflow a double are unreadable.
std::optional<double> readDecimal(std::string_view text);

} // namespace Vantrell
