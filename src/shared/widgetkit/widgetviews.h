// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bundledlogoimages.h"
#include "coinlogocache.h"
#include "i18n/stringbundle.h"
#include "widgetcontent.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPalette>
#include <QRectF>

#include <optional>

class QPainter;

// The list views shared by the desktop widgets and the desktop overlay, drawn
// with QPainter so that the application, the widget plug-in and the command
// line render the same pixels. Sizes are logical pixels; a painter on a device
// with a device pixel ratio of 2 draws them at twice the resolution.
namespace Vantrell {

// How the host shapes the views: its colours, a text boost added to every font
// size, and a halo that keeps texts legible on any wallpaper.
struct WidgetEnvironment
{
    qreal textBoost = 0; // points added to every font size (the overlay's large text)
    bool textHalo = false; // legibility halo and light secondary texts
    QColor textColor = Qt::black;
    QColor secondaryTextColor = QColor(0, 0, 0, 128);
    QColor accentColor = QColor(0x0A, 0x84, 0xFF);

    // Text and accent colours of `palette`; secondary text is the text colour
    // at half opacity.
    static WidgetEnvironment fromPalette(const QPalette &palette, qreal textBoost = 0, bool textHalo = false);
};

// What the views draw besides text: the program's logo, coin logos (shipped,
// then downloaded copies from the logo cache) and the string tables of each
// language. Keeps what it decoded, so a repaint reads no file twice. Main
// thread only.
class WidgetResources final
{
public:
    WidgetResources(Bundle bundle, CoinLogoCache logoCache);

    // The shipped image called `name` ("app-logo") at `pixelSide` pixels; null when missing.
    QImage image(const QString &name, int pixelSide);
    // The logo of `row`: the shipped image, else the cached download; null when neither.
    QImage coinLogo(const WidgetRow &row, int pixelSide);
    // The string table of `language` as the views resolve it (system → the
    // user's English or Chinese).
    StringBundle strings(AppLanguage language);

private:
    struct CachedLogo
    {
        QDateTime modified;
        QImage image;
    };

    BundledLogoImages m_bundled;
    CoinLogoCache m_logoCache;
    QHash<QString, CachedLogo> m_cachedLogos;
    QHash<AppLanguage, StringBundle> m_strings;
};

// The system font at `size` logical pixels (whatever the device's dots per
// inch) and `weight`: the font every view text is drawn in.
QFont widgetFont(const QPainter &painter, qreal size, QFont::Weight weight);

// Where WidgetListView puts its parts inside a rectangle. Pure.
struct WidgetListLayout
{
    static constexpr qreal spacing = 6;
    static constexpr qreal dividerHeight = 1;

    QRectF header;
    QList<QRectF> rows;
    QList<qreal> dividers; // top edge of each divider line

    // Row height: 38 with the large layout, 30 otherwise, plus twice the boost.
    static qreal rowHeight(bool large, qreal textBoost);
    // The header line: the 16-pixel logo, or the title when the boost makes it taller.
    static qreal headerHeight(qreal textBoost);
    // Height of a list of `rowCount` rows: header, spacing, rows and one divider between rows.
    static qreal height(int rowCount, bool large, qreal textBoost);

    static WidgetListLayout of(const QRectF &rect, int rowCount, bool large, qreal textBoost);
};

// A symbol, a space and a text in one run: "▲ +2.31%". With a colour and no
// halo the whole run takes the colour; with the halo only the symbol does.
struct SignalText
{
    QString symbol;
    QString text;
    std::optional<QColor> color;

    // The text alone when there is no symbol.
    QString run() const { return symbol.isEmpty() ? text : symbol + QLatin1Char(' ') + text; }
    // Draws the run with its left end on `baselineStart`.
    void paint(QPainter &painter, QPointF baselineStart, const QFont &font, const WidgetEnvironment &environment) const;

    bool operator==(const SignalText &) const = default;
};

// Secondary texts: the platform's secondary colour, or white at 85 % under the halo.
struct SecondaryText
{
    static QColor color(const WidgetEnvironment &environment);
};

// Text on a baseline with the environment's halo when it is on: two black
// shadows centred on the glyphs, 45 % with radius 0.5 and 15 % with radius 3.
struct TextHalo
{
    static void paintText(QPainter &painter, QPointF baselineStart, const QString &text, const QFont &font,
        const QColor &color, const WidgetEnvironment &environment);
};

// The 24-hour change of a row: the delisted label, nothing without a change,
// or "▲ +2.31%" / "▼ -1.27%", coloured by direction when the content asks.
struct WidgetChangeText
{
    // The label and whether it is drawn as secondary text (the delisted label).
    struct Text
    {
        SignalText signal;
        bool secondary = false;
        // Draws the label with its left end on `baselineStart`.
        void paint(
            QPainter &painter, QPointF baselineStart, const QFont &font, const WidgetEnvironment &environment) const;
        bool operator==(const Text &) const = default;
    };
    static std::optional<Text> make(
        const WidgetRow &row, const WidgetEntryContent &content, const StringBundle &strings);
};

// The time of the last update ("3:04 PM", "15:04") in the content's language,
// or a warning "⚠︎ 3:04 PM" in orange when it is more than 30 minutes old. None
// without a time.
struct WidgetUpdatedText
{
    static constexpr qint64 staleAfterSeconds = 1800;
    struct Text
    {
        SignalText signal; // without a symbol when fresh
        bool stale = false;
        // Draws the time (secondary when fresh) with its left end on `baselineStart`.
        void paint(
            QPainter &painter, QPointF baselineStart, const QFont &font, const WidgetEnvironment &environment) const;
        bool operator==(const Text &) const = default;
    };
    static std::optional<Text> make(const WidgetEntryContent &content, const QDateTime &now);
};

// Whether `a` drawn at `aNow` looks as `b` drawn at `bNow`: the same content
// and the same update-time text (to the minute, with the same stale mark). A
// poll that moved no price then redraws nothing.
bool widgetDrawsTheSame(
    const WidgetEntryContent &a, const QDateTime &aNow, const WidgetEntryContent &b, const QDateTime &bNow);

// The holdings' total in the list's header, "$36,000" and its 24-hour change
// "▲ +2.10%" coloured like a row's change. None without holdings.
struct WidgetHoldingsText
{
    QString total;
    std::optional<SignalText> change;

    static std::optional<WidgetHoldingsText> make(const WidgetEntryContent &content);
    bool operator==(const WidgetHoldingsText &) const = default;
};

// A row's logo in a square: the shipped image, the cached download, or a badge
// with the first three characters of the symbol.
struct WidgetCoinLogo
{
    static void paint(QPainter &painter, const QRectF &square, const WidgetRow &row, WidgetResources &resources,
        const WidgetEnvironment &environment);
};

// The program's logo over the localized "nothing to show yet", centred.
struct WidgetEmptyView
{
    static void paint(QPainter &painter, const QRectF &rect, const WidgetEntryContent &content,
        WidgetResources &resources, const WidgetEnvironment &environment);
};

// One coin: logo, symbol over name, its 24-hour line when `chart` is set
// and it has one, price and change.
struct WidgetListRow
{
    static void paint(QPainter &painter, const QRectF &rect, const WidgetRow &row, const WidgetEntryContent &content,
        bool chart, WidgetResources &resources, const WidgetEnvironment &environment);
};

// The header (logo, title or the holdings' total, update time) over the rows and their dividers; the
// empty view when the content has no prices.
struct WidgetListView
{
    static void paint(QPainter &painter, const QRectF &rect, const WidgetEntryContent &content, const QDateTime &now,
        bool large, WidgetResources &resources, const WidgetEnvironment &environment);
};

} // namespace Vantrell
