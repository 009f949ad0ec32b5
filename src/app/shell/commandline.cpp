// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <QStringDecoder>

namespace Vantrell {

namespace {

const QString kPopoverLink = QStringLiteral("vantrell://popover");

bool isAny(QByteArrayView argument, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (argument == QByteArrayView(name))
            return true;
    }
    return false;
}

// The text of `argument` when it is valid UTF-8.
std::optional<QString> utf8Text(QByteArrayView argument)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(argument);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

void appendEscaped(QString &out, char32_t character)
{
    switch (character) {
    case U'\\':
        out += QLatin1String("\\\\");
        return;
    case U'"':
        out += QLatin1String("\\\"");
        return;
    case U'\n':
        out += QLatin1String("\\n");
        return;
    case U'\t':
        out += QLatin1String("\\t");
        return;
    default:
        break;
    }
    const bool control = character < 0x20 || (character >= 0x7F && character < 0xA0) || character == 0x2028
        || character == 0x2029 || (character >= 0x202A && character <= 0x202E)
        || (character >= 0x2066 && character <= 0x2069);
    if (control) {
        out += QStringLiteral("\\u{%1}").arg(quint32(character), 0, 16);
        return;
    }
    out += QString::fromUcs4(&character, 1);
}

} // namespace

bool isKnownDeepLink(QStringView url)
{
    // QUrl would lower-case the scheme, so the raw text decides; host and path
    // do not matter.
    return url.startsWith(QLatin1String("vantrell:"));
}

CommandLineRequest parseCommandLine(const QList<QByteArray> &arguments)
{
    CommandLineRequest request;
    bool optionsEnded = false;
    const auto ignore = [&request](QByteArrayView argument) {
        ++request.ignoredCount;
        if (request.ignored.size() < maxListedIgnored)
            request.ignored.append(printableArgument(argument));
    };
    for (const QByteArray &argument : arguments) {
        if (!optionsEnded && argument.startsWith('-')) {
            if (argument == "--") {
                optionsEnded = true;
            } else if (isAny(argument, {"-h", "--help", "-?"})) {
                if (request.action == CommandLineRequest::Action::run)
                    request.action = CommandLineRequest::Action::showHelp;
            } else if (isAny(argument, {"-v", "--version"})) {
                if (request.action == CommandLineRequest::Action::run)
                    request.action = CommandLineRequest::Action::showVersion;
            } else {
                ignore(argument);
            }
            continue;
        }
        // Links are short; a long argument is not worth decoding.
        const std::optional<QString> text = argument.size() <= maxLinkBytes ? utf8Text(argument) : std::nullopt;
        if (text && isKnownDeepLink(*text)) {
            if (!request.urls.contains(kPopoverLink))
                request.urls.append(kPopoverLink);
        } else {
            ignore(argument);
        }
    }
    return request;
}

QList<QByteArray> commandLineArguments(int argc, const char *const *argv)
{
    QList<QByteArray> arguments;
    for (int i = 1; i < argc && argv[i]; ++i)
        arguments.append(QByteArray(argv[i]));
    return arguments;
}

QString printableArgument(QByteArrayView argument)
{
    QString out;
    qsizetype characters = 0;
    qsizetype offset = 0;
    while (offset < argument.size() && characters < maxPrintableArgument) {
        // The longest run that decodes cleanly is shown as text, a bad byte as \xNN.
        qsizetype length = 1;
        const auto lead = static_cast<unsigned char>(argument.at(offset));
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        const std::optional<QString> decoded
            = offset + length <= argument.size() ? utf8Text(argument.sliced(offset, length)) : std::nullopt;
        if (decoded && !decoded->isEmpty() && (lead < 0x80 || lead >= 0xC0)) {
            const QList<uint> ucs4 = decoded->toUcs4();
            appendEscaped(out, ucs4.isEmpty() ? U'\uFFFD' : char32_t(ucs4.constFirst()));
            offset += length;
        } else {
            out += QStringLiteral("\\x%1").arg(uint(lead), 2, 16, QLatin1Char('0'));
            offset += 1;
        }
        ++characters;
    }
    out = QLatin1Char('"') + out + QLatin1Char('"');
    if (offset < argument.size())
        out += QStringLiteral("… (%1 bytes)").arg(argument.size());
    return out;
}

QString ignoredArgumentsMessage(qsizetype ignoredCount, const QStringList &ignored)
{
    if (ignoredCount <= 0)
        return {};
    QString message = ignoredCount == 1 ? QStringLiteral("Ignoring an argument it does not know: ")
                                        : QStringLiteral("Ignoring %1 arguments it does not know: ").arg(ignoredCount);
    message += ignored.join(QLatin1String(", "));
    if (ignoredCount > ignored.size())
        message += QStringLiteral(" and %1 more").arg(ignoredCount - ignored.size());
    return message;
}

QString commandLineHelp(const QString &programName)
{
    return QStringLiteral("Usage: %1 [options] [vantrell://popover]\n"
                          "Cryptocurrency prices in the panel.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Show this help and exit.\n"
                          "  -v, --version  Show the version and exit.\n"
                          "\n"
                          "Arguments:\n"
                          "  vantrell://popover  Open the price list (in the running instance, if any).\n"
                          "\n"
                          "Other arguments are ignored.\n")
        .arg(programName);
}

QString commandLineVersion(const QString &programName, const QString &version)
{
    return programName + QLatin1Char(' ') + version + QLatin1Char('\n');
}

} // namespace Vantrell
