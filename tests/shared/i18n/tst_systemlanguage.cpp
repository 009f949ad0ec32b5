// SPDX-License-Identifier: GPL-3.0-or-later
// The language the program picks from a real process environment. Qt reads the
// locale variables once per process, so each row runs this executable again as a
// probe with the row's environment and reads back what the probe resolved.
#include "i18n/localizationmanager.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cstdio>

using namespace Vantrell;

namespace {

constexpr char kProbeVariable[] = "VANTRELL_LANGUAGE_PROBE";

// Prints "<resolved system language>|<main bundle's table>|<preferred languages>".
int runProbe(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString line = rawValue(LocalizationManager::resolvedLanguage(AppLanguage::system)) + QLatin1Char('|')
        + StringBundle().tableLanguage() + QLatin1Char('|')
        + LocalizationManager::preferredLanguages().join(QLatin1Char(','));
    std::fputs(line.toUtf8().constData(), stdout);
    return 0;
}

} // namespace

class TestSystemLanguage final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void languageFromEnvironment_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("firstPreferred"); // "" when the list must be empty

        const auto env
            = [](const char *assignments) { return QString::fromUtf8(assignments).split(u' ', Qt::SkipEmptyParts); };
        QTest::newRow("Taiwan") << env("LANG=zh_TW.UTF-8") << QStringLiteral("zh-Hant") << QStringLiteral("zh-TW");
        QTest::newRow("Hong Kong") << env("LANG=zh_HK.UTF-8") << QStringLiteral("zh-Hant") << QStringLiteral("zh-HK");
        QTest::newRow("Macao") << env("LANG=zh_MO.UTF-8") << QStringLiteral("zh-Hant") << QStringLiteral("zh-MO");
        QTest::newRow("mainland China") << env("LANG=zh_CN.UTF-8") << QStringLiteral("zh-Hans")
                                        << QStringLiteral("zh-CN");
        QTest::newRow("Singapore") << env("LANG=zh_SG.UTF-8") << QStringLiteral("zh-Hans") << QStringLiteral("zh-SG");
        QTest::newRow("France") << env("LANG=fr_FR.UTF-8") << QStringLiteral("en") << QStringLiteral("fr-FR");
        QTest::newRow("United States") << env("LANG=en_US.UTF-8") << QStringLiteral("en") << QStringLiteral("en-US");
        QTest::newRow("C") << env("LANG=C") << QStringLiteral("en") << QString();
        QTest::newRow("C.UTF-8") << env("LANG=C.UTF-8") << QStringLiteral("en") << QString();
        QTest::newRow("POSIX") << env("LANG=POSIX") << QStringLiteral("en") << QString();
        QTest::newRow("nothing set") << QStringList() << QStringLiteral("en") << QString();
        QTest::newRow("LANGUAGE before LANG")
            << env("LANG=en_US.UTF-8 LANGUAGE=zh_TW:en") << QStringLiteral("zh-Hant") << QStringLiteral("zh-TW");
        QTest::newRow("LANGUAGE falls through to Chinese")
            << env("LANG=fr_FR.UTF-8 LANGUAGE=fr:zh_CN") << QStringLiteral("zh-Hans") << QStringLiteral("fr");
        QTest::newRow("LANGUAGE ignored under C") << env("LANG=C LANGUAGE=zh_TW") << QStringLiteral("en") << QString();
        QTest::newRow("LC_ALL over LANG")
            << env("LANG=zh_TW.UTF-8 LC_ALL=fr_FR.UTF-8") << QStringLiteral("en") << QStringLiteral("fr-FR");
        QTest::newRow("LC_ALL=C over LANG") << env("LANG=zh_TW.UTF-8 LC_ALL=C") << QStringLiteral("en") << QString();
        QTest::newRow("LC_MESSAGES over LANG")
            << env("LANG=en_US.UTF-8 LC_MESSAGES=zh_HK.UTF-8") << QStringLiteral("zh-Hant") << QStringLiteral("zh-HK");
    }

    void languageFromEnvironment()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, language);
        QFETCH(QString, firstPreferred);

        QProcessEnvironment processEnvironment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : processEnvironment.keys()) {
            if (name == u"LANG" || name == u"LANGUAGE" || name.startsWith(QLatin1String("LC_")))
                processEnvironment.remove(name);
        }
        for (const QString &assignment : environment)
            processEnvironment.insert(assignment.section(u'=', 0, 0), assignment.section(u'=', 1));
        processEnvironment.insert(QString::fromLatin1(kProbeVariable), QStringLiteral("1"));

        QProcess probe;
        probe.setProcessEnvironment(processEnvironment);
        probe.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);

        const QStringList fields = QString::fromUtf8(probe.readAllStandardOutput()).split(u'|');
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields.at(0), language);
        // The executable's main bundle follows the same choice.
        QCOMPARE(fields.at(1), language);
        const QStringList preferred = fields.at(2).split(u',', Qt::SkipEmptyParts);
        QCOMPARE(preferred.value(0), firstPreferred);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(kProbeVariable))
        return runProbe(argc, argv);
    QCoreApplication app(argc, argv);
    TestSystemLanguage test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemlanguage.moc"
