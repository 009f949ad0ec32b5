// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary arguments (the input split at NUL bytes, as argv would be)
// to the command-line parser and checks that only the known link gets
// through and that the log line stays short whatever the input.
#include "shell/commandline.h"

#include <cstddef>
#include <cstdint>

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> arguments = bytes.split('\0');
    const CommandLineRequest request = parseCommandLine(arguments);

    for (const QString &url : request.urls) {
        if (!isKnownDeepLink(url))
            __builtin_trap();
    }
    if (request.urls.size() > 1 || request.ignoredCount > arguments.size() || request.ignored.size() > maxListedIgnored)
        __builtin_trap();
    const QString line = ignoredArgumentsMessage(request.ignoredCount, request.ignored);
    // Every listed argument is cut, escaped and on one line.
    if (line.contains(QLatin1Char('\n')) || line.size() > 200 + maxListedIgnored * (maxPrintableArgument * 10 + 40))
        __builtin_trap();
    return 0;
}
