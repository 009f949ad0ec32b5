// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the three string tables against each other and against the code: every
// key the code looks up, and every key any table lists, must be translated in
// every language with the same placeholders.
//
// Keys are found in the sources under src/ in these forms only (the key a string
// literal, whitespace and line breaks allowed between the tokens):
//     localizedString(QStringLiteral("menu.quit") …
//     bundle.string(QStringLiteral("menu.quit") …      (also ->string)
//     QT_TRID_NOOP("menu.quit")                        (keys kept in tables or variables)
// plus the display-name keys of the setting enumerations.
#include "i18n/stringbundle.h"
#include "platform/bundle.h"
#include "settings/settingsenums.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

#include <map>

using namespace Vantrell;

namespace {

const QStringList kLanguages {QStringLiteral("en"), QStringLiteral("zh-Hans"), QStringLiteral("zh-Hant")};

struct Message
{
    QString source;
    QString translation;
    QString type; // the translation's type attribute: "" when finished
};

struct Table
{
    QMap<QString, Message> messages;
    QStringList problems; // structural faults found while reading
};

Table readTable(const QString &path)
{
    Table table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        table.problems << QStringLiteral("cannot open ") + path;
        return table;
    }
    QXmlStreamReader xml(&file);
    QString context;
    QString id;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == u"context") {
                context.clear();
            } else if (name == u"name") {
                context = xml.readElementText();
                if (!context.isEmpty())
                    table.problems << QStringLiteral("named context ") + context
                            + QStringLiteral(" (ids need the empty context)");
            } else if (name == u"message") {
                id = xml.attributes().value(QLatin1String("id")).toString();
                message = {};
                if (id.isEmpty())
                    table.problems << QStringLiteral("message without id");
            } else if (name == u"source") {
                message.source = xml.readElementText();
            } else if (name == u"translation") {
                message.type = xml.attributes().value(QLatin1String("type")).toString();
                message.translation = xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == u"message" && !id.isEmpty()) {
            if (table.messages.contains(id))
                table.problems << QStringLiteral("duplicate id ") + id;
            table.messages.insert(id, message);
        }
    }
    if (xml.hasError())
        table.problems << path + QStringLiteral(": ") + xml.errorString();
    return table;
}

const std::map<QString, Table> &tables()
{
    static const std::map<QString, Table> all = [] {
        std::map<QString, Table> result;
        for (const QString &code : kLanguages)
            result[code]
                = readTable(QStringLiteral(VANTRELL_TRANSLATIONS_DIR "/vantrell_") + code + QStringLiteral(".ts"));
        return result;
    }();
    return all;
}

// The keys used in `text` through the three forms documented at the top.
QSet<QString> keysIn(const QString &text)
{
    // A string literal key: "…" without quotes or escapes inside.
    static const QString literal = QStringLiteral("\\s*\"([^\"\\\\]+)\"\\s*\\)");
    static const QRegularExpression patterns[] = {
        QRegularExpression(QStringLiteral("\\blocalizedString\\s*\\(\\s*QStringLiteral\\s*\\(") + literal),
        QRegularExpression(QStringLiteral("(?:\\.|->)\\s*string\\s*\\(\\s*QStringLiteral\\s*\\(") + literal),
        QRegularExpression(QStringLiteral("\\bQT_TRID_NOOP\\s*\\(") + literal),
    };
    QSet<QString> keys;
    for (const auto &pattern : patterns) {
        for (auto it = pattern.globalMatch(text); it.hasNext();)
            keys.insert(it.next().captured(1));
    }
    return keys;
}

struct CodeKeys
{
    QMap<QString, QString> whereUsed; // key → first file that uses it
    int filesScanned = 0;
};

const CodeKeys &codeKeys()
{
    static const CodeKeys keys = [] {
        CodeKeys result;
        QDirIterator it(QStringLiteral(VANTRELL_SOURCE_DIR), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
            QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            ++result.filesScanned;
            const QString relative = path.mid(qsizetype(sizeof(VANTRELL_SOURCE_DIR)));
            for (const QString &key : keysIn(QString::fromUtf8(file.readAll()))) {
                if (!result.whereUsed.contains(key))
                    result.whereUsed.insert(key, relative);
            }
        }
        return result;
    }();
    return keys;
}

template<typename E>
void addDisplayNameKeys(QMap<QString, QString> &keys)
{
    for (const auto &c : EnumTraits<E>::cases) {
        if (c.displayNameKey)
            keys.insert(QString::fromLatin1(c.displayNameKey), QStringLiteral("settings/settingsenums.h"));
    }
}

// Every key to check, with where it comes from.
QMap<QString, QString> allKeys()
{
    QMap<QString, QString> keys;
    for (const auto &[code, table] : tables()) {
        for (auto it = table.messages.cbegin(); it != table.messages.cend(); ++it)
            keys.insert(it.key(), QStringLiteral("vantrell_") + code + QStringLiteral(".ts"));
    }
    addDisplayNameKeys<AppLanguage>(keys);
    addDisplayNameKeys<PriceColorScheme>(keys);
    addDisplayNameKeys<MenuBarContent>(keys);
    addDisplayNameKeys<DesktopOverlayTextSize>(keys);
    addDisplayNameKeys<CoinAlertKind>(keys);
    const auto &used = codeKeys().whereUsed;
    for (auto it = used.cbegin(); it != used.cend(); ++it)
        keys.insert(it.key(), it.value());
    return keys;
}

// The set of positional placeholders (%1 … %99) in a text.
QSet<int> placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("%(\\d{1,2})"));
    QSet<int> numbers;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        numbers.insert(it.next().captured(1).toInt());
    return numbers;
}

QString describe(const QSet<int> &numbers)
{
    QList<int> sorted(numbers.cbegin(), numbers.cend());
    std::sort(sorted.begin(), sorted.end());
    QStringList parts;
    for (int n : sorted)
        parts << QStringLiteral("%") + QString::number(n);
    return QLatin1Char('{') + parts.join(QLatin1Char(' ')) + QLatin1Char('}');
}

bool hasHan(const QString &text)
{
    for (const char32_t c : text.toUcs4()) {
        if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x20000 && c <= 0x2FFFF))
            return true;
    }
    return false;
}

// Names of languages in themselves: the same text in every table, in its own script.
bool isEndonym(const QString &key)
{
    return key.startsWith(QLatin1String("lang.endonym."));
}

// Characters written only in one of the two scripts (their counterpart in the other list).
const QString kSimplifiedOnly
    = QStringLiteral("设币价为时选择显开关动图标单删语简货这个们网络数据颜涨启录检载览务区号级边视觉种态门应问题错误请"
                     "试读写认汇来线组许证议发现变达过还没无与将让层样较调隐输结阈当钱业体么点红绿导资讯复");
const QString kTraditionalOnly
    = QStringLiteral("設幣價為時選擇顯開關動圖標單刪語簡貨這個們網絡數據顏漲啟錄檢載覽務區號級邊視覺種態門應問題錯誤請"
                     "試讀寫認匯來線組許證議發現變達過還沒無與將讓層樣較調隱輸結閾當錢業體麼點劃紅綠導資訊複準");

// Mainland wording that Taiwan writes differently (設定, 圖示, 搜尋, 登入, 視窗, …).
const QStringList kMainlandTerms {QStringLiteral("設置"), QStringLiteral("圖標"), QStringLiteral("搜索"),
    QStringLiteral("登錄"), QStringLiteral("窗口"), QStringLiteral("菜單"), QStringLiteral("默認"),
    QStringLiteral("網絡"), QStringLiteral("信息"), QStringLiteral("自定義"), QStringLiteral("添加"),
    QStringLiteral("鼠標"), QStringLiteral("屏幕"), QStringLiteral("軟件"), QStringLiteral("界面"),
    QStringLiteral("支持"), QStringLiteral("服務器"), QStringLiteral("退出"), QStringLiteral("小組件")};

} // namespace

class TestStringTables final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tablesAreWellFormed_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString &code : kLanguages)
            QTest::newRow(qPrintable(code)) << code;
    }

    void tablesAreWellFormed()
    {
        QFETCH(QString, language);
        const Table &table = tables().at(language);
        QVERIFY2(table.problems.isEmpty(), qPrintable(table.problems.join(QStringLiteral("; "))));
        QVERIFY(table.messages.size() > 50);
    }

    void scannerFindsTheDocumentedForms_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("localizedString") << QStringLiteral(
            R"(label->setText(localizedString(QStringLiteral("menu.quit")));)")
                                         << QStringList {QStringLiteral("menu.quit")};
        QTest::newRow("localizedString with arguments")
            << QStringLiteral(R"(localizedString(QStringLiteral("about.version"), {version}))")
            << QStringList {QStringLiteral("about.version")};
        QTest::newRow("across lines") << QStringLiteral(
            "localizedString(\n    QStringLiteral(\n        \"widget.empty\"))")
                                      << QStringList {QStringLiteral("widget.empty")};
        QTest::newRow("bundle member") << QStringLiteral(
            R"(content.bundle.string(QStringLiteral("widget.list.title")))")
                                       << QStringList {QStringLiteral("widget.list.title")};
        QTest::newRow("bundle pointer") << QStringLiteral(R"(m_bundle->string(QStringLiteral("coin.status.delisted")))")
                                        << QStringList {QStringLiteral("coin.status.delisted")};
        QTest::newRow("marker") << QStringLiteral(R"({Tab::about, QT_TRID_NOOP("nav.about")},)")
                                << QStringList {QStringLiteral("nav.about")};
        QTest::newRow("several on one line")
            << QStringLiteral(R"(f(QT_TRID_NOOP("a.b"), localizedString(QStringLiteral("c.d"))))")
            << QStringList {QStringLiteral("a.b"), QStringLiteral("c.d")};
        QTest::newRow("other string functions")
            << QStringLiteral(R"(toString(QStringLiteral("x.y")); mystring(QStringLiteral("z.w"));)") << QStringList();
        QTest::newRow("runtime keys are invisible") << QStringLiteral(R"(localizedString(key))") << QStringList();
    }

    void scannerFindsTheDocumentedForms()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, expected);
        const QSet<QString> found = keysIn(code);
        QCOMPARE(found, QSet<QString>(expected.cbegin(), expected.cend()));
    }

    void sourcesWereScanned() { QVERIFY2(codeKeys().filesScanned > 0, VANTRELL_SOURCE_DIR); }

    void everyKeyIsTranslated_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("origin");
        const auto keys = allKeys();
        for (auto it = keys.cbegin(); it != keys.cend(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key() << it.value();
    }

    void everyKeyIsTranslated()
    {
        QFETCH(QString, key);
        QFETCH(QString, origin);
        for (const QString &language : kLanguages) {
            const auto &messages = tables().at(language).messages;
            const auto it = messages.constFind(key);
            QVERIFY2(it != messages.cend(),
                qPrintable(key + QStringLiteral(" (from ") + origin + QStringLiteral(") missing in ") + language));
            QVERIFY2(it->type.isEmpty(), qPrintable(language + QStringLiteral(": marked ") + it->type));
            QVERIFY2(
                !it->translation.trimmed().isEmpty(), qPrintable(language + QStringLiteral(": empty translation")));
            // The English text is the source of every table, which keeps the tables in step.
            QCOMPARE(it->source, tables().at(QStringLiteral("en")).messages.value(key).translation);
            if (language == u"en")
                QCOMPARE(it->translation, it->source);
            else if (!isEndonym(key))
                QVERIFY2(hasHan(it->translation),
                    qPrintable(language + QStringLiteral(": not translated: ") + it->translation));
        }
    }

    void placeholdersMatch_data()
    {
        QTest::addColumn<QString>("key");
        const auto &english = tables().at(QStringLiteral("en")).messages;
        for (auto it = english.cbegin(); it != english.cend(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key();
    }

    void placeholdersMatch()
    {
        QFETCH(QString, key);
        const QSet<int> english = placeholders(tables().at(QStringLiteral("en")).messages.value(key).translation);
        // Numbered from %1 without gaps, so every argument the caller passes has its place.
        for (int n = 1; n <= english.size(); ++n)
            QVERIFY2(english.contains(n), qPrintable(QStringLiteral("en has ") + describe(english)));
        for (const QString &language : kLanguages) {
            const QSet<int> translated = placeholders(tables().at(language).messages.value(key).translation);
            QVERIFY2(translated == english,
                qPrintable(language + QStringLiteral(" has ") + describe(translated) + QStringLiteral(", en has ")
                    + describe(english)));
        }
    }

    void scriptsAreNotMixed_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("foreignCharacters");
        QTest::newRow("zh-Hans") << QStringLiteral("zh-Hans") << kTraditionalOnly;
        QTest::newRow("zh-Hant") << QStringLiteral("zh-Hant") << kSimplifiedOnly;
    }

    void scriptsAreNotMixed()
    {
        QFETCH(QString, language);
        QFETCH(QString, foreignCharacters);
        const auto &messages = tables().at(language).messages;
        QStringList faults;
        for (auto it = messages.cbegin(); it != messages.cend(); ++it) {
            if (isEndonym(it.key()))
                continue;
            for (const QChar c : it->translation) {
                if (foreignCharacters.contains(c)) {
                    faults << it.key() + QStringLiteral(": ") + it->translation;
                    break;
                }
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void traditionalTableUsesTaiwanWording()
    {
        const auto &messages = tables().at(QStringLiteral("zh-Hant")).messages;
        QStringList faults;
        for (auto it = messages.cbegin(); it != messages.cend(); ++it) {
            for (const QString &term : kMainlandTerms) {
                if (it->translation.contains(term))
                    faults << it.key() + QStringLiteral(": ") + term;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void traditionalIsNotACopyOfSimplified()
    {
        // Short words may agree (完成, 通知); the tables as a whole must not.
        const auto &hans = tables().at(QStringLiteral("zh-Hans")).messages;
        const auto &hant = tables().at(QStringLiteral("zh-Hant")).messages;
        int same = 0;
        for (auto it = hant.cbegin(); it != hant.cend(); ++it)
            same += hans.value(it.key()).translation == it->translation ? 1 : 0;
        QVERIFY2(same * 4 < hant.size(), qPrintable(QString::number(same) + QStringLiteral(" identical texts")));
    }

    void compiledTablesMatchTheSources_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString &code : kLanguages)
            QTest::newRow(qPrintable(code)) << code;
    }

    void compiledTablesMatchTheSources()
    {
        QFETCH(QString, language);
        const auto bundle = StringBundle::load(Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), language);
        QVERIFY2(bundle, "build the vantrell_translations target");
        const auto &messages = tables().at(language).messages;
        for (auto it = messages.cbegin(); it != messages.cend(); ++it)
            QCOMPARE(bundle->string(it.key()), it->translation);
    }
};

QTEST_GUILESS_MAIN(TestStringTables)
#include "tst_stringtables.moc"
