#include "TestFiles.h"
#include "settings/SettingsFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

// The settings file is used only where that cannot hurt; what is not used is never changed.
class TestSettingsFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // At the name: "link>text" a link of this user to a file of that text ("foreign>text" of
    // another user), "fifo", "large" a sparse 60 MB file, else the text of a regular file.
    void judgedBeforeUse_data()
    {
        QTest::addColumn<QString>("there");
        QTest::addColumn<QString>("problem"); // the end of the reason; empty: the file is used
        const QString good = "[General]\nfontsize=12\n", notSettings = "keine Einstellungsdatei";
        QTest::newRow("regular") << good << QString();
        QTest::newRow("own link to settings") << "link>" + good << QString();
        QTest::newRow("own link to a text") << "link>Einkauf\nMilch, Brot\n" << notSettings;
        QTest::newRow("own link to a shell's") << "link>export PATH=/opt\n" << notSettings;
        QTest::newRow("fifo") << "fifo"
                              << "dort ist eine FIFO (benannte Pipe), keine gewoehnliche Datei";
        QTest::newRow("60 MB") << "large"
                               << "sie ist groesser als 1 MB";
        QTest::newRow("foreign link, as root") << "foreign>" + good << "und wird nicht verfolgt";
    }
    void judgedBeforeUse()
    {
#ifndef Q_OS_UNIX
        QSKIP("Windows keeps the settings in the registry, not in a file");
#else
        QFETCH(QString, there);
        QFETCH(QString, problem);
        if (there.startsWith("foreign") && geteuid() != 0)
            QSKIP("a link of another user is made by root only");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        QDir(dir.filePath("VEZ")).removeRecursively();
        const QString path = writeTestFile(dir.filePath("VEZ/ZOR2.conf"), there.toUtf8());
        const QByteArray name = QFile::encodeName(path);
        const QString target = writeTestFile(dir.filePath("ziel"), there.section('>', 1).toUtf8());
        QVERIFY(there == "large" ? QFile(path).resize(60 << 20) : true);
        if (there == "fifo" || there.contains('>'))
            QVERIFY(unlink(name) == 0);
        QVERIFY(there != "fifo" || mkfifo(name, 0600) == 0);
        QVERIFY(!there.contains('>') || symlink(QFile::encodeName(target), name) == 0);
        QVERIFY(!there.startsWith("foreign") || lchown(name, 65534, 65534) == 0);
        const QString file = there.contains('>') ? target : path;
        const bool special = there == "fifo" || there == "large"; // not read back here
        const QByteArray old = special ? QByteArray() : readTestFile(file);

        QElapsedTimer timer; // a FIFO blocks, a huge file takes seconds
        timer.start();
        SettingsFile settings(QStringLiteral("ZOR2"));
        QVERIFY2(settings.problem().endsWith(problem), qPrintable(settings.problem()));
        QCOMPARE(settings.value("fontsize", 9).toInt(), problem.isEmpty() ? 12 : 9);
        settings.setValue("kurvenpath", "/neu/");
        QCOMPARE(settings.value("kurvenpath").toString(), "/neu/");
        QVERIFY(timer.elapsed() < 1000);

        struct stat st; // a link stays a link, a FIFO a FIFO
        QVERIFY(lstat(name, &st) == 0 && S_ISLNK(st.st_mode) == there.contains('>') &&
                S_ISFIFO(st.st_mode) == (there == "fifo") &&
                (there != "large" || st.st_size == 60 << 20));
        // The other settings of a good file stay; any other file stays as it was.
        QCOMPARE(special ? QByteArray() : readTestFile(file),
                 problem.isEmpty() ? old + "kurvenpath=/neu/\n" : old);
#endif
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
