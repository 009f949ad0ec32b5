// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the reader of the widget snapshot, which another
// process writes, and checks that whatever it accepts holds only finite
// prices and survives a write and a read unchanged.
#include "widgetkit/widgetsnapshot.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<WidgetSnapshot> snapshot = WidgetSnapshot::decode(bytes);
    if (!snapshot)
        return 0;
    if (!snapshot->writtenAt.isValid())
        __builtin_trap();
    for (const WidgetSnapshot::Quote &quote : snapshot->quotes) {
        if (!std::isfinite(quote.price) || (quote.change24hPercent && !std::isfinite(*quote.change24hPercent)))
            __builtin_trap();
    }
    const std::optional<QByteArray> encoded = snapshot->encode();
    if (!encoded || WidgetSnapshot::decode(*encoded) != snapshot)
        __builtin_trap();
    return 0;
}
