// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the widget host's config decoder (widgets.json is
// the user's to edit) and checks that whatever it accepts is written back and
// reads the same, so that a strange file never turns into widgets that cannot
// be saved or that change on the next start.
#include "widgethostconfig.h"

#include <cstddef>
#include <cstdint>

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<WidgetHostConfig> config = WidgetHostConfig::decode(bytes);
    if (!config)
        return 0;
    const std::optional<WidgetHostConfig> again = WidgetHostConfig::decode(config->encode());
    if (!again || !(*again == *config))
        __builtin_trap();
    return 0;
}
