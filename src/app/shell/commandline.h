// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Vantrell {

// What a start of the program asks for. Only the documented arguments count:
// --help (-h), --version (-v) and links of the scheme "vantrell", which all open
// the popover (vantrell://popover is the one the widgets use). Anything else
// (other options, other schemes, stray words, bytes that are not UTF-8, text
// over maxLinkBytes) is ignored and listed, shortened and escaped, for one log line.
struct CommandLineRequest
{
    enum class Action { run, showHelp, showVersion };

    // The first of --help and --version decides.
    Action action = Action::run;
    // vantrell://popover once when any link of the scheme was given.
    QStringList urls;
    // How many arguments were ignored, and the first few of them in printable form.
    qsizetype ignoredCount = 0;
    QStringList ignored;

    bool operator==(const CommandLineRequest &) const = default;
};

// At most this many ignored arguments are listed, each cut to maxPrintableArgument characters.
inline constexpr qsizetype maxListedIgnored = 5;
inline constexpr qsizetype maxPrintableArgument = 64;
// A longer argument is not taken for a link.
inline constexpr qsizetype maxLinkBytes = 4096;

// `arguments` as the system passed them, without the program name.
CommandLineRequest parseCommandLine(const QList<QByteArray> &arguments);

// The arguments of main() without the program name.
QList<QByteArray> commandLineArguments(int argc, const char *const *argv);

// Whether `url` is a link the program answers: any URL of the scheme
// "vantrell" (case-sensitive), whatever its host and path.
bool isKnownDeepLink(QStringView url);

// `argument` for a log line: valid UTF-8 as text with control characters, quotes
// and backslashes escaped, other bytes as \xNN, cut after `maxPrintableArgument`
// characters with the full size added.
QString printableArgument(QByteArrayView argument);

// The one log line for ignored arguments; empty when none were ignored.
QString ignoredArgumentsMessage(qsizetype ignoredCount, const QStringList &ignored);

// The texts --help and --version print.
QString commandLineHelp(const QString &programName);
QString commandLineVersion(const QString &programName, const QString &version);

} // namespace Vantrell
