#include "TestFiles.h"
#include "settings/KeyValueFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class TestKeyValueFile : public QObject
{
    Q_OBJECT

private:
    QString writeFile(const QByteArray &content)
    {
        return writeTestFile(dir.filePath(QStringLiteral("store.txt")), content);
    }

    QTemporaryDir dir;

private slots:
    void loadStopsAtFirstLineThatIsNoEntry_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty line") << QByteArray("b=2\na=1\n\nc=3\n") << QStringList{"a=1", "b=2"};
        QTest::newRow("line without =")
            << QByteArray("b=2\nfree text\nc=3\n") << QStringList{"b=2"};
        QTest::newRow("CRLF line ends")
            << QByteArray("z=1\r\ny=2\r\n") << QStringList{"y=2", "z=1"};
        QTest::newRow("sorted by code unit")
            << QByteArray("b=1\nB=2\na=3\n") << QStringList{"B=2", "a=3", "b=1"};
        QTest::newRow("no end of line") << QByteArray("k=v") << QStringList{"k=v"};
        // A CR left on the entry would be taken for a line end once saved with LF alone.
        QTest::newRow("CR before CRLF")
            << QByteArray("a=b\r\r\nc=d\r\r") << QStringList{"a=b", "c=d"};
        // A second mark kept on the line would be dropped by the next load, changing the key.
        QTest::newRow("byte order marks") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                        "a=b\n\xEF\xBB\xBF"
                                                        "c=d\n")
                                          << QStringList{"a=b", "c=d"};
    }
    void loadStopsAtFirstLineThatIsNoEntry()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        KeyValueFile store;
        QVERIFY(store.load(writeFile(content)));
        QCOMPARE(store.entries(), expected);
        QVERIFY(!store.isDirty());
    }

    void loadOfMissingFileKeepsEntries()
    {
        KeyValueFile store;
        store.setValue(QStringLiteral("a"), 1);
        QVERIFY(!store.load(dir.filePath(QStringLiteral("missing.txt"))));
        QCOMPARE(store.entries(), QStringList{"a=1"});
#ifdef Q_OS_UNIX // Windows has no FIFOs in its folders
        // Nor is a FIFO waited on, or replaced by a save.
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 && !store.load(fifo));
        store.save();
        QVERIFY(!QFileInfo(fifo).isFile() && store.entries() == QStringList{"a=1"});
#endif
    }

    void readsMatchWholeKeyBeforeEqualsSign_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("value holds =") << "a"
                                       << "b=c";
        QTest::newRow("longer key is not a prefix match") << "ab"
                                                          << "<default>";
        QTest::newRow("shorter key is not a prefix match") << "abc"
                                                           << "1";
        QTest::newRow("case-sensitive") << "A"
                                        << "<default>";
        QTest::newRow("empty value") << "e"
                                     << "";
    }
    void readsMatchWholeKeyBeforeEqualsSign()
    {
        QFETCH(QString, key);
        QFETCH(QString, expected);
        KeyValueFile store;
        QVERIFY(store.load(writeFile("a=b=c\nabc=1\ne=\n")));
        QCOMPARE(store.value(key, QStringLiteral("<default>")), expected);
    }

    void duplicateKeysReadFirstAndReplaceAll()
    {
        KeyValueFile store;
        QVERIFY(store.load(writeFile("x=2\ny=0\nx=1\n")));
        QCOMPARE(store.value(QStringLiteral("x"), 0), 1);
        store.setValue(QStringLiteral("x"), "neu");
        QCOMPARE(store.entries(), (QStringList{"y=0", "x=neu"}));
        QCOMPARE(store.value(QStringLiteral("x"), QString()), QStringLiteral("neu"));
        QVERIFY(store.isDirty());
    }

    void removeEntryContaining()
    {
        KeyValueFile store;
        QVERIFY(store.load(writeFile("a=1\nb=needle\nc=needle\n")));
        QVERIFY(store.removeEntryContaining(QStringLiteral("needle")));
        QCOMPARE(store.entries(), (QStringList{"a=1", "c=needle"}));
        QVERIFY(!store.removeEntryContaining(QStringLiteral("absent")));
        QCOMPARE(store.entries().size(), 2);
        QVERIFY(store.isDirty());
    }

    void typedReads()
    {
        KeyValueFile store;
        QVERIFY(store.load(writeFile("big=9000000000\nd=2.5\nn=abc\nt=7\nz=0\n")));
        QCOMPARE(store.value(QStringLiteral("d"), 1.0), 2.5);
        QCOMPARE(store.value(QStringLiteral("t"), 0), 7);
        QCOMPARE(store.value(QStringLiteral("big"), 0LL), 9000000000LL);
        QCOMPARE(store.value(QStringLiteral("t"), 0L), 7L);
        QCOMPARE(store.value(QStringLiteral("t"), false), true);
        QCOMPARE(store.value(QStringLiteral("z"), true), false);
        // A value that does not convert gives Qt's result for it, not the default.
        QCOMPARE(store.value(QStringLiteral("n"), 5), 0);
        QCOMPARE(store.value(QStringLiteral("n"), 5.0), 0.0);
        QCOMPARE(store.value(QStringLiteral("n"), true), false);
        // A missing key gives the default and adds nothing.
        QCOMPARE(store.value(QStringLiteral("missing"), 42), 42);
        QCOMPARE(store.value(QStringLiteral("missing"), "text"), QStringLiteral("text"));
        QCOMPARE(store.entries().size(), 5);
        QVERIFY(!store.isDirty());
    }

    void numberFormats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("scientific");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.1") << 0.1 << false << "0.1";
        QTest::newRow("one third") << 1.0 / 3.0 << false << "0.3333333333";
        QTest::newRow("large") << 12345678901.0 << false << "1.23456789e+10";
        QTest::newRow("scientific") << 1.5 << true << "1.500000000000000E+00";
        QTest::newRow("scientific negative") << -0.00025 << true << "-2.500000000000000E-04";
    }
    void numberFormats()
    {
        QFETCH(double, value);
        QFETCH(bool, scientific);
        QFETCH(QString, expected);
        KeyValueFile store;
        if (scientific)
            store.setValueScientific(QStringLiteral("k"), value);
        else
            store.setValue(QStringLiteral("k"), value);
        QCOMPARE(store.value(QStringLiteral("k"), QString()), expected);
    }

    void otherWrites()
    {
        KeyValueFile store;
        store.setValue(QStringLiteral("b"), true);
        store.setValue(QStringLiteral("c"), false);
        store.setValue(QStringLiteral("l"), -12L);
        store.setValue(QStringLiteral("s"), "text");
        QCOMPARE(store.entries(), (QStringList{"b=1", "c=0", "l=-12", "s=text"}));
    }

    void nonAsciiValueSurvivesLoadAndSave()
    {
        const QString path = writeFile(QStringLiteral("gruss=Grüße, 10 µV\n").toLocal8Bit());
        {
            KeyValueFile store;
            QVERIFY(store.load(path));
            QCOMPARE(store.value(QStringLiteral("gruss"), QString()),
                     QStringLiteral("Grüße, 10 µV"));
            store.setValue(QStringLiteral("zahl"), 1);
        }
        {
            KeyValueFile store;
            QVERIFY(store.load(path));
            store.setValue(QStringLiteral("zahl"), 2);
        }
        QCOMPARE(readTestFile(path), QStringLiteral("gruss=Grüße, 10 µV\nzahl=2\n").toLocal8Bit());
    }

    void destructorSavesSorted()
    {
        const QString path = writeFile("m=1\n");
        {
            KeyValueFile store;
            QVERIFY(store.load(path));
            store.setValue(QStringLiteral("z"), 26);
            store.setValue(QStringLiteral("a"), 1);
        }
        QCOMPARE(readTestFile(path), QByteArray("a=1\nm=1\nz=26\n"));
    }

    void unchangedStoreDoesNotRewrite()
    {
        const QString path = writeFile("b=1\na=2\n");
        {
            KeyValueFile store;
            QVERIFY(store.load(path));
        }
        QCOMPARE(readTestFile(path), QByteArray("b=1\na=2\n"));
    }

    void defaultConstructedStoreWritesNoFile()
    {
        QTemporaryDir empty;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(empty.path()));
        {
            KeyValueFile store;
            store.setValue(QStringLiteral("k"), 1);
            store.save();
            QVERIFY(!store.isDirty());
            store.setValue(QStringLiteral("k"), 2);
        }
        QDir::setCurrent(previous);
        QCOMPARE(QDir(empty.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestKeyValueFile)
#include "tst_keyvaluefile.moc"
