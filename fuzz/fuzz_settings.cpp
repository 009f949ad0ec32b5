// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the settings decoder (the file is the user's to
// edit) and checks that whatever it accepts can be stored again and reads back
// unchanged, so that a strange file never leaves settings that cannot be saved.
#include "settings/appsettings.h"

#include <cstddef>
#include <cstdint>

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<AppSettings> settings = AppSettings::decode(bytes, &error);
    if (!settings)
        return 0;
    const std::optional<QByteArray> encoded = settings->encode(&error);
    if (!encoded)
        __builtin_trap();
    const std::optional<AppSettings> again = AppSettings::decode(*encoded);
    if (!again || !(*again == *settings))
        __builtin_trap();
    return 0;
}
