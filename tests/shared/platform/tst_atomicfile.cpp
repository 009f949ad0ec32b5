// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomicfile.h"
#include "platform/orderedjsonwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Vantrell;

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
} // namespace

class TestAtomicFile final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesAndReplacesLeavingNoTemporaryFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nested/deeper/file.json"));
        QVERIFY(writeFileAtomically(path, "first", Durability::Durable));
        QVERIFY(writeFileAtomically(path, "second", Durability::Atomic));
        QCOMPARE(readAll(path), QByteArray("second"));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("nested/deeper"))).entryList(QDir::Files | QDir::Hidden),
            QStringList {QStringLiteral("file.json")});
    }

    void failureLeavesThePreviousFile()
    {
        if (::geteuid() == 0)
            QSKIP("root ignores directory permissions");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.json"));
        QVERIFY(writeFileAtomically(path, "kept", Durability::Durable));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QString error;
        QVERIFY(!writeFileAtomically(path, "lost", Durability::Durable, &error));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(path), QByteArray("kept"));
    }

    // A full disk, simulated with a file-size limit (which also binds root).
    void fullDiskLeavesThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.json"));
        QVERIFY(writeFileAtomically(path, "kept", Durability::Durable));

        rlimit previous {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &previous), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = previous;
        tiny.rlim_cur = 8;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
        QString error;
        const bool written = writeFileAtomically(path, QByteArray(4096, 'x'), Durability::Durable, &error);
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(path), QByteArray("kept"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("file.json")});
    }

    void failsWhenTheDirectoryCannotBeCreated()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("blocker"));
        QVERIFY(writeFileAtomically(blocker, "a plain file", Durability::Atomic));
        QString error;
        QVERIFY(!writeFileAtomically(blocker + QStringLiteral("/file.json"), "x", Durability::Durable, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(blocker), QByteArray("a plain file"));
    }

    // Only the exact temporary name of a file the program owns, from before
    // the start, goes; a symbolic link, another program's file or a write in
    // progress stays.
    void removesInterruptedReplacements_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("old");
        QTest::addColumn<bool>("removed");
        QTest::newRow("leftover of an owned file") << QStringLiteral("appSettings.json.aB3xZ9") << true << true;
        QTest::newRow("newer than the start") << QStringLiteral("appSettings.json.aB3xZ9") << false << false;
        QTest::newRow("five characters") << QStringLiteral("appSettings.json.aB3xZ") << true << false;
        QTest::newRow("seven characters") << QStringLiteral("appSettings.json.aB3xZ9q") << true << false;
        QTest::newRow("not letters or digits") << QStringLiteral("appSettings.json.aB3-Z9") << true << false;
        QTest::newRow("non-ASCII digit") << QStringLiteral("appSettings.json.aB3x٣٤") << true << false;
        QTest::newRow("a file not owned") << QStringLiteral("notes.json.aB3xZ9") << true << false;
        QTest::newRow("the owned file itself") << QStringLiteral("appSettings.json") << true << false;
        QTest::newRow("a suffix after it") << QStringLiteral("appSettings.json.aB3xZ9.bak") << true << false;
        QTest::newRow("symbolic link") << QStringLiteral("link:appSettings.json.aB3xZ9") << true << false;
    }

    void removesInterruptedReplacements()
    {
        QFETCH(QString, name);
        QFETCH(bool, old);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QDateTime start = QDateTime::currentDateTimeUtc();
        QString path;
        if (name.startsWith(QLatin1String("link:"))) {
            QVERIFY(writeFileAtomically(dir.filePath(QStringLiteral("target")), "data", Durability::Atomic));
            QFile target(dir.filePath(QStringLiteral("target")));
            QVERIFY(target.open(QIODevice::ReadWrite));
            QVERIFY(target.setFileTime(start.addSecs(-60), QFileDevice::FileModificationTime));
            path = dir.filePath(name.mid(5));
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("target")), path));
        } else {
            path = dir.filePath(name);
            QVERIFY(writeFileAtomically(path, "data", Durability::Atomic));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(start.addSecs(old ? -60 : 1), QFileDevice::FileModificationTime));
        }
        const auto owns = [](QStringView file) { return file == u"appSettings.json"; };
        QCOMPARE(removeInterruptedReplacements(dir.path(), owns, start), removed ? 1 : 0);
        QCOMPARE(QFileInfo::exists(path) || QFileInfo(path).isSymLink(), !removed);
    }

    void orderedWriterKeepsOrderAndEscapes()
    {
        OrderedJsonWriter w;
        w.beginObject();
        w.key(QStringLiteral("z"));
        w.value(QStringLiteral("quote \" backslash \\ newline \n tab \t bell \a \u00E9\u4E2D"));
        w.key(QStringLiteral("a"));
        w.beginArray();
        w.value(1.5);
        w.value(qint64(-3));
        w.value(1e21);
        w.value(0.1 + 0.2);
        w.endArray();
        w.key(QStringLiteral("empty"));
        w.beginObject();
        w.endObject();
        w.key(QStringLiteral("list"));
        w.beginArray();
        w.endArray();
        w.endObject();
        QVERIFY(w.ok());
        const QByteArray out = w.result();
        QVERIFY(out.indexOf("\"z\"") < out.indexOf("\"a\""));
        QJsonParseError error {};
        const QJsonObject object = QJsonDocument::fromJson(out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object.value(QLatin1String("z")).toString(),
            QStringLiteral("quote \" backslash \\ newline \n tab \t bell \a \u00E9\u4E2D"));
        const QJsonArray numbers = object.value(QLatin1String("a")).toArray();
        QCOMPARE(numbers.at(0).toDouble(), 1.5);
        QCOMPARE(numbers.at(1).toDouble(), -3.0);
        QCOMPARE(numbers.at(2).toDouble(), 1e21);
        QCOMPARE(numbers.at(3).toDouble(), 0.1 + 0.2);
    }

    void orderedWriterRejectsNonFiniteNumbers()
    {
        OrderedJsonWriter w;
        w.beginArray();
        w.value(std::nan(""));
        w.endArray();
        QVERIFY(!w.ok());
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
