// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelview.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"
#include "settings/pricecolors.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace Vantrell {

namespace {
QDateTime staleAt(const WidgetSnapshot &snapshot)
{
    return snapshot.writtenAt.addSecs(WidgetSnapshot::panelFreshSeconds);
}

// JSON with every character past ASCII as a \u escape: the same bytes in any
// reader's idea of the file's encoding.
QByteArray asciiJson(const QJsonObject &object)
{
    const QString text = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    QByteArray out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            out += char(c.unicode());
        else
            out += "\\u" + QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    }
    return out;
}
} // namespace

PanelViewDecision decidePanelView(const std::optional<WidgetSnapshot> &program,
    const std::optional<WidgetSnapshot> &fallback, const QString &coinId, const QDateTime &now)
{
    const WidgetSnapshot *snapshot = program ? &*program : fallback ? &*fallback : nullptr;
    if (program && fallback && staleAt(*fallback) > staleAt(*program))
        snapshot = &*fallback;
    PanelViewDecision decision;
    if (!snapshot)
        return decision;
    PanelView &view = decision.view;
    for (const QString &id : snapshot->watchlist) {
        const auto quote = snapshot->quotes.constFind(id);
        const bool named = quote != snapshot->quotes.cend() && quote->panel && !quote->panel->toolTip.isEmpty();
        view.coins.append({id, named ? quote->panel->toolTip.section(QLatin1Char('\n'), 0, 0) : id});
    }
    const auto quote = snapshot->quotes.constFind(coinId.isEmpty() ? snapshot->panelCoinId : coinId);
    if (quote == snapshot->quotes.cend() || !quote->panel)
        return decision;
    const WidgetSnapshot::PanelText &panel = *quote->panel;
    if (staleAt(*snapshot) <= now) {
        view.text = panel.staleText;
        view.toolTipTitle = panel.staleText;
        view.toolTip = panel.staleToolTip;
        return decision;
    }
    view.text = panel.text;
    view.change = panel.change;
    // Only colours, written as a stylesheet takes them.
    const std::optional<QColor> onLight = parseHexColor(panel.colorOnLightHex);
    const std::optional<QColor> onDark = parseHexColor(panel.colorOnDarkHex);
    if (!panel.colorHex.isEmpty() && onLight && onDark) {
        view.colorOnLightHex = hexString(*onLight);
        view.colorOnDarkHex = hexString(*onDark);
    }
    view.toolTipTitle = panel.text;
    view.toolTip = panel.toolTip;
    view.stale = false;
    decision.changesAt = staleAt(*snapshot);
    return decision;
}

QByteArray encodePanelView(const PanelView &view, PanelViewFormat format)
{
    QJsonArray coins;
    for (const PanelView::Choice &choice : view.coins)
        coins.append(QJsonObject {{QStringLiteral("id"), choice.id}, {QStringLiteral("name"), choice.name}});
    const QByteArray json = asciiJson({
        {QStringLiteral("text"), view.text},
        {QStringLiteral("change"), view.change},
        {QStringLiteral("colorOnLight"), view.colorOnLightHex},
        {QStringLiteral("colorOnDark"), view.colorOnDarkHex},
        {QStringLiteral("toolTipTitle"), view.toolTipTitle},
        {QStringLiteral("toolTip"), view.toolTip},
        {QStringLiteral("stale"), view.stale},
        {QStringLiteral("coins"), coins},
    });
    if (format == PanelViewFormat::json)
        return json + '\n';
    // One quoted value: inside quotes only the backslash and the quote are special.
    QByteArray quoted = json;
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    return "[General]\nview=\"" + quoted + "\"\n";
}

QString panelViewPath(const QString &snapshotDirectory, const QString &coinId, PanelViewFormat format)
{
    return snapshotDirectory + QStringLiteral("/panel/") + (coinId.isEmpty() ? QStringLiteral("shown") : coinId)
        + (format == PanelViewFormat::json ? QStringLiteral(".json") : QStringLiteral(".ini"));
}

bool isPanelCoinId(const QString &id)
{
    return !id.isEmpty() && id.size() <= 100 && id != QStringLiteral("shown")
        && std::all_of(id.cbegin(), id.cend(), [](QChar c) {
               return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                   || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
           });
}

PanelViewKeeper::PanelViewKeeper(WidgetSnapshotStore program, WidgetSnapshotStore fallback, QString coinId,
    PanelViewFormat format, Clock now, TimerFactory &timers)
    : m_program(std::move(program))
    , m_fallback(std::move(fallback))
    , m_coinId(std::move(coinId))
    , m_format(format)
    , m_now(std::move(now))
    , m_next(timers.createTimer(Timer::Mode::singleShot, [this] { update(true); }))
{
    // Both files are renamed over the old ones: watch their directory, and
    // look again only when one of them was replaced.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { update(false); });
}

void PanelViewKeeper::start()
{
    const std::optional<QString> programPath = m_program.filePath();
    if (!programPath)
        return;
    const QString directory = QFileInfo(*programPath).absolutePath();
    m_path = panelViewPath(directory, m_coinId, m_format);
    QDir().mkpath(directory);
    m_watcher.addPath(directory);
    update(true);
}

void PanelViewKeeper::update(bool always)
{
    const QDateTime programModified = QFileInfo(m_program.filePath().value_or(QString())).lastModified();
    const QDateTime fallbackModified = QFileInfo(m_fallback.filePath().value_or(QString())).lastModified();
    if (!always && !m_failed && programModified == m_programModified && fallbackModified == m_fallbackModified)
        return;
    m_programModified = programModified;
    m_fallbackModified = fallbackModified;
    const QDateTime now = m_now();
    const PanelViewDecision decision = decidePanelView(m_program.load(), m_fallback.load(), m_coinId, now);
    m_next->stop();
    if (decision.changesAt)
        m_next->start(std::chrono::milliseconds(std::max<qint64>(now.msecsTo(*decision.changesAt), 0) + 500));
    const QByteArray data = encodePanelView(decision.view, m_format);
    if (data == m_written)
        return;
    QString error;
    if (!writeFileAtomically(m_path, data, Durability::Atomic, &error)) {
        qCWarning(lcWidget, "Cannot write the panel's view: %s", qUtf8Printable(error));
        // Tried again at the next change in the directory.
        m_failed = true;
        return;
    }
    m_failed = false;
    m_written = data;
}

} // namespace Vantrell
