#include "TestFiles.h"
#include "settings/SettingsFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// The settings file is used only where that cannot hurt: what is at its name decides whether it
// is read and written, and what is not used is never changed.
class TestSettingsFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString settingsPath() const { return dir.filePath(QStringLiteral("VEZ/ZOR2.conf")); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    }

    void init()
    {
        QDir(dir.filePath(QStringLiteral("VEZ"))).removeRecursively();
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("VEZ")));
    }

    // What is at the name: "link>content" a link of this user to a file of that content,
    // "foreign>content" the same link owned by another user, "fifo", "large" a sparse 60 MB
    // file, else the content of a regular file.
    void judgedBeforeUse_data()
    {
        QTest::addColumn<QString>("there");
        QTest::addColumn<QString>("problem"); // the end of the reason; empty: the file is used
        const QString good = "[General]\nfontsize=12\nkurvenpath=/alt/\n";
        QTest::newRow("regular") << good << QString();
        QTest::newRow("own link to settings") << "link>" + good << QString();
        QTest::newRow("own link to a text")
            << QString("link>Einkaufsliste\nMilch, Brot\n") << "sie ist keine Einstellungsdatei";
        QTest::newRow("own link to a shell's settings")
            << QString("link>[ -f ~/.env ]\nexport PATH=/opt/bin\n")
            << "sie ist keine Einstellungsdatei";
        QTest::newRow("fifo") << "fifo"
                              << "sie ist eine FIFO (benannte Pipe), keine gewoehnliche Datei";
        QTest::newRow("60 MB") << "large"
                               << "sie ist groesser als 1 MB";
        QTest::newRow("foreign link, as root")
            << "foreign>" + good << "gehoert einem anderen Benutzer";
    }
    void judgedBeforeUse()
    {
        QFETCH(QString, there);
        QFETCH(QString, problem);
        if (there.startsWith("foreign") && geteuid() != 0)
            QSKIP("a link of another user is made by root only");
        const QByteArray name = QFile::encodeName(settingsPath());
        const QString target = dir.filePath(QStringLiteral("ziel.txt"));
        const QByteArray content = there.section('>', -1).toUtf8();
        if (there == "fifo") {
            QVERIFY(mkfifo(name, 0600) == 0);
        } else if (there == "large") {
            QVERIFY(QFile(writeTestFile(settingsPath(), "[General]\n")).resize(60 << 20));
        } else if (there.contains('>')) {
            QVERIFY(symlink(QFile::encodeName(writeTestFile(target, content)), name) == 0);
            if (there.startsWith("foreign"))
                QVERIFY(lchown(name, 65534, 65534) == 0);
        } else {
            writeTestFile(settingsPath(), content);
        }
        struct stat before;
        QVERIFY(lstat(name, &before) == 0);
        const QByteArray old = there.contains('>') ? readTestFile(target) : QByteArray();

        QElapsedTimer timer;
        timer.start();
        {
            SettingsFile settings(QStringLiteral("ZOR2"));
            QVERIFY2(settings.problem().endsWith(problem), qPrintable(settings.problem()));
            QCOMPARE(settings.value(QStringLiteral("fontsize"), 9).toInt(),
                     problem.isEmpty() ? 12 : 9);
            settings.setValue(QStringLiteral("kurvenpath"), QStringLiteral("/neu/"));
            QCOMPARE(settings.value(QStringLiteral("kurvenpath")).toString(), "/neu/");
        }
        QVERIFY2(timer.elapsed() < 1000, "a settings file must not hold up the start");

        struct stat after;
        QVERIFY(lstat(name, &after) == 0);
        QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT); // a link stays a link
        const QString written = there.contains('>') ? target : settingsPath();
        if (problem.isEmpty()) {
            // The other settings of a good file stay.
            QCOMPARE(SettingsFile(QStringLiteral("ZOR2")).value("fontsize").toInt(), 12);
            QVERIFY(readTestFile(written).contains("kurvenpath=/neu/"));
        } else if (there.contains('>')) {
            QCOMPARE(readTestFile(target), old);
        } else if (there == "large") {
            QCOMPARE(after.st_size, before.st_size);
            QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
