#include "AnsweringDialogs.h"
#include "DeviceSimulator.h"
#include "LoaderWindow.h"
#include "TestFiles.h"
#include "TestFirmware.h"
#include "WholeTexts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>

namespace {

// The text colour of a label in every colour group, or an invalid colour when they differ.
QColor textColour(const QLabel *label)
{
    const QPalette &p = label->palette();
    const QColor c = p.color(QPalette::Active, QPalette::WindowText);
    const bool same = p.color(QPalette::Inactive, QPalette::WindowText) == c &&
                      p.color(QPalette::Disabled, QPalette::WindowText) == c;
    return same ? c : QColor();
}

const QString foundLine = QStringLiteral("FW: V1.05\t[PIC18F26K22]: ZOR01");

} // namespace

class TestLoaderWindow : public QObject
{
    Q_OBJECT

private:
    template <typename T>
    T *child(const char *name)
    {
        return findChildOrFail<T>(window.get(), name);
    }
    QPushButton *hexButton() { return child<QPushButton>("hexFileButton"); }
    QPushButton *flashButton() { return child<QPushButton>("flashButton"); }
    QLabel *label(const char *name) { return child<QLabel>(name); }

    void openWindow(const QStringList &ports)
    {
        window = std::make_unique<LoaderWindow>(ports, &dialogs);
        window->setFlashTimeouts({1000, 500, 1000});
        messages = std::make_unique<QSignalSpy>(window->statusBar(), &QStatusBar::messageChanged);
        window->show();
    }

    // Starts a simulator and a window searching it; false if the device was not found.
    bool findSimulator(const QStringList &options = {})
    {
        if (!simulator.start(options))
            return false;
        openWindow({simulator.path()});
        return QTest::qWaitFor([&] { return !label("firmwareLabel")->text().isEmpty(); }, 3000);
    }

    bool loadFile(const TestFirmware &firmware, int badRecord = 0)
    {
        dialogs.openAnswer = dir.filePath(QStringLiteral("fw.hex"));
        if (!firmware.write(dialogs.openAnswer, badRecord))
            return false;
        QTest::mouseClick(hexButton(), Qt::LeftButton);
        return true;
    }

    // The image the simulator saved after the end mark (it reports the end mark first, then
    // moves the whole image into place).
    QByteArray flashedImage()
    {
        if (!QTest::qWaitFor([&] { return QFile::exists(imagePath()); }, 3000))
            return "<no image>";
        QFile file(imagePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no image>");
    }
    QString imagePath() const { return dir.filePath(QStringLiteral("image.bin")); }

    QStringList statusMessages() const
    {
        QStringList list;
        for (const QList<QVariant> &args : *messages)
            list << args.at(0).toString();
        return list;
    }

    QTemporaryDir dir;
    QTemporaryDir settingsDir;
    AnsweringDialogs dialogs;
    DeviceSimulator simulator;
    std::unique_ptr<LoaderWindow> window;
    std::unique_ptr<QSignalSpy> messages;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));
        QVERIFY(dir.isValid() && settingsDir.isValid());
    }

    void cleanup()
    {
        messages.reset();
        window.reset();
        simulator.stop();
        QFile::remove(imagePath());
        dialogs = AnsweringDialogs();
    }

    void startsSearchingWithNothingToDo()
    {
        openWindow({dir.filePath(QStringLiteral("no-such-port"))});
        QCOMPARE(window->windowTitle(), QStringLiteral("ZOR2fwloader V1.03"));
        QCOMPARE(window->size(), QSize(391, 186));
        QVERIFY(!window->windowIcon().isNull());
        QVERIFY(hexButton()->isEnabled()); // a file can be checked before a device answers
        QVERIFY(!flashButton()->isEnabled());
        QVERIFY(child<QPushButton>("exitButton")->isEnabled());
        for (const char *name : {"hexStatusLabel", "blockLabel", "firmwareLabel"})
            QVERIFY(label(name)->text().isEmpty());
        // After a round without a device, the hint; the count tells how far the search has come.
        QTRY_VERIFY(statusMessages().contains("Suche HW :" + dir.filePath("no-such-port")));
        const QString hint = QStringLiteral("Keine HW: Kabel, Strom, Gruppe dialout pruefen!");
        QTRY_COMPARE(window->statusBar()->currentMessage(), hint);
        QCOMPARE(label("searchProgress")->text(), QStringLiteral("1 / 1 Ports"));
        QVERIFY(window->statusBar()->fontMetrics().horizontalAdvance(hint) <
                label("searchProgress")->x());
        QTest::mouseClick(child<QPushButton>("exitButton"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }

    void fontSizeFromSettings_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("used");
        QTest::newRow("none") << QVariant() << 12;
        QTest::newRow("7 is too small") << QVariant(7) << 12;
        QTest::newRow("8") << QVariant(8) << 8;
        QTest::newRow("40, no upper limit") << QVariant(40) << 40;
        QTest::newRow("not a number") << QVariant(QStringLiteral("abc")) << 12;
    }
    void fontSizeFromSettings()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, used);
        {
            QSettings settings(QStringLiteral("VEZ"), QStringLiteral("ZOR2"));
            settings.clear();
            if (stored.isValid())
                settings.setValue(QStringLiteral("fontsize"), stored);
        }
        openWindow({dir.filePath(QStringLiteral("no-such-port"))});
        QCOMPARE(window->font().pixelSize(), used);
        QCOMPARE(label("firmwareLabel")->font().pixelSize(), used);
        window.reset();
        QSettings settings(QStringLiteral("VEZ"), QStringLiteral("ZOR2"));
        QCOMPARE(settings.value(QStringLiteral("fontsize")).toInt(), used);
    }

    void findsTheDeviceAndSkipsOtherPorts_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("line");
        QTest::newRow("defaults") << QStringList{} << foundLine;
        QTest::newRow("2.00 runs on the LF") << QStringList{"--fw-version", "200"}
                                             << QStringLiteral("FW: V2.00\t[PIC18LF26K80]: ZOR01");
    }
    void findsTheDeviceAndSkipsOtherPorts()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, line);
        DeviceSimulator wrongDevice;
        QVERIFY(wrongDevice.start({"--family", "Z7"}));
        QVERIFY(simulator.start(options));
        const QString missing = dir.filePath(QStringLiteral("no-such-port"));
        openWindow({missing, wrongDevice.path(), simulator.path()});
        // 200 ms to the first round; all ports are asked at once.
        QTRY_COMPARE_WITH_TIMEOUT(label("firmwareLabel")->text(), line, 3000);
        QVERIFY(hexButton()->isEnabled());
        QVERIFY(!flashButton()->isEnabled());
        // The status bar names the first port the search still waits for.
        QCOMPARE(statusMessages().first(), "Suche HW :" + missing);
        QCOMPARE(statusMessages().last(), "HW gefunden an: " + simulator.path());
    }

    void fileDialogStartsInFirmwareFolder_data()
    {
        QTest::addColumn<bool>("folderExists");
        QTest::newRow("zor2fw exists") << true;
        QTest::newRow("no zor2fw") << false;
    }
    void fileDialogStartsInFirmwareFolder()
    {
        QFETCH(bool, folderExists);
        QTemporaryDir workDir;
        if (folderExists)
            QVERIFY(QDir(workDir.path()).mkdir(QStringLiteral("zor2fw")));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(workDir.path()));
        QVERIFY(findSimulator());
        QTest::mouseClick(hexButton(), Qt::LeftButton);
        QDir::setCurrent(before);
        const QString start = folderExists ? workDir.filePath(QStringLiteral("zor2fw/*.hex"))
                                           : workDir.filePath(QStringLiteral("*.hex"));
        QCOMPARE(dialogs.lastOpenQuestion(),
                 QStringList({"HEX-Datei Laden", QDir::cleanPath(start), "HEX-Datei (*.hex)"}));
    }

    void loadingAFileSetsLabelAndWriteFlash_data()
    {
        QTest::addColumn<QString>("answer"); // "" cancels, "missing" names a missing file
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("jump");
        QTest::addColumn<int>("badRecord");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("writable");
        QTest::newRow("accepted") << "fw" << 1024 << 105 << true << 0
                                  << "HEX-Datei OK!! Laenge: 1024 Byte" << true;
        QTest::newRow("built for the LF")
            << "fw" << 1024 << 200 << true << 0 << "HEX-Datei nicht fuer PIC18F26K22!!" << false;
        QTest::newRow("no jump to 0xFC00")
            << "fw" << 1024 << 105 << false << 0 << "HEX-Datei nicht geeignet!!" << false;
        QTest::newRow("wrong checksum")
            << "fw" << 1024 << 105 << true << 3 << "HEX-Datei fehlerhaft!!" << false;
        QTest::newRow("unreadable")
            << "missing" << 0 << 0 << true << 0 << "HEX-Datei nicht lesbar!!" << false;
        QTest::newRow("cancelled")
            << "" << 0 << 0 << true << 0 << "HEX-Datei OK!! Laenge: 2048 Byte" << true;
    }
    // Each outcome after an accepted file: only a new accepted file may be written, and a
    // cancelled dialog leaves the accepted one in place.
    void loadingAFileSetsLabelAndWriteFlash()
    {
        QFETCH(QString, answer);
        QFETCH(int, length);
        QFETCH(int, version);
        QFETCH(bool, jump);
        QFETCH(int, badRecord);
        QFETCH(QString, text);
        QFETCH(bool, writable);
        QVERIFY(findSimulator({"--save-image", imagePath()}));
        const TestFirmware first(2048);
        QVERIFY(loadFile(first));
        QVERIFY(flashButton()->isEnabled());

        if (answer == QLatin1String("fw")) {
            QVERIFY(loadFile(TestFirmware(length, version, jump), badRecord));
        } else {
            dialogs.openAnswer = answer.isEmpty() ? QString() : dir.filePath(answer);
            QTest::mouseClick(hexButton(), Qt::LeftButton);
        }
        QCOMPARE(label("hexStatusLabel")->text(), text);
        QCOMPARE(textColour(label("hexStatusLabel")),
                 text.startsWith("HEX-Datei OK") ? QColor(Qt::darkGreen) : QColor(Qt::red));
        QCOMPARE(flashButton()->isEnabled(), writable);
        // Why, in the words of --check, under the designed lines.
        if (badRecord || writable)
            QCOMPARE(label("reasonLabel")->text(), badRecord ? "Satz 3: Pruefsumme falsch" : "");
        if (!writable)
            return;
        QTest::mouseClick(flashButton(), Qt::LeftButton);
        QCOMPARE(flashedImage(),
                 answer.isEmpty() ? first.flashed() : TestFirmware(length).flashed());
    }

    void writesTheFlash()
    {
        QVERIFY(findSimulator({"--save-image", imagePath(), "--k-delay", "20"}));
        const TestFirmware firmware(1000);
        QVERIFY(loadFile(firmware));
        // Twice: the second transfer starts with the normal colours again.
        for (int run = 0; run < 2; ++run) {
            QStringList duringTransfer;
            QStringList closing; // Exit's state, and the word for a refused close
            QTimer::singleShot(150, window.get(), [&] {
                closing << QString::number(child<QPushButton>("exitButton")->isEnabled());
                duringTransfer << label("blockLabel")->text()
                               << textColour(label("blockLabel")).name()
                               << (hexButton()->isEnabled() ? "HEX on" : "HEX off")
                               << (flashButton()->isEnabled() ? "Write on" : "Write off");
                window->close(); // ignored until the transfer has ended
                closing << window->statusBar()->currentMessage();
            });
            messages->clear();
            QTest::mouseClick(flashButton(), Qt::LeftButton);
            QCOMPARE(duringTransfer.size(), 4);
            QVERIFY(duringTransfer.at(0).startsWith("Block: "));
            QCOMPARE(duringTransfer.mid(1),
                     QStringList({window->palette().color(QPalette::WindowText).name(), "HEX off",
                                  "Write off"}));
            QVERIFY(window->isVisible());
            QCOMPARE(label("blockLabel")->text(), QStringLiteral("Block: 16 / 16"));
            QCOMPARE(closing, QStringList({"0", "Beenden erst nach dem Flashen moeglich!"}));
            QVERIFY(child<QPushButton>("exitButton")->isEnabled());
            const QProgressBar *bar = child<QProgressBar>("progressBar");
            QCOMPARE(qMakePair(bar->value(), bar->maximum()), qMakePair(16, 16));
            QCOMPARE(textColour(label("blockLabel")), QColor(Qt::darkGreen));
            QCOMPARE(label("firmwareLabel")->text(), QStringLiteral("FW: neu, Exit Programm"));
            QCOMPARE(statusMessages().first(),
                     QStringLiteral("Flash schreiben starten, bitte warten!"));
            QVERIFY(statusMessages().contains("Flash wird beschrieben!"));
            QCOMPARE(statusMessages().last(), QStringLiteral("Flash neu beschrieben!"));
            QVERIFY(hexButton()->isEnabled());
            QVERIFY(flashButton()->isEnabled());
            QCOMPARE(flashedImage(), firmware.flashed());
            QVERIFY(QFile::remove(imagePath()));
        }
    }

    // After a failed transfer the device takes every byte as flash data: nothing reaches it
    // until the user says it was switched off and on, or its port vanished and came back.
    void failedTransferWaitsForThePowerCycle_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("signal"); // SIGINT to the program during the transfer
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("replug"); // the port vanishes and comes back with a device
        const QString noAnswer = QStringLiteral("Keine Antwort vom Geraet, Abbruch!");
        QTest::newRow("device stops answering")
            << QStringList{"--stop-after", "3"} << false << noAnswer << false;
        QTest::newRow("device chatters instead")
            << QStringList{"--stop-after", "3", "--chatter", "100"} << false << noAnswer << false;
        QTest::newRow("line hangs up")
            << QStringList{"--hangup-after", "3"} << false
            << QStringLiteral("Verbindung zum Geraet unterbrochen, Abbruch!") << false;
        QTest::newRow("SIGINT") << QStringList{"--k-delay", "20"} << true
                                << QStringLiteral("Flash schreiben abgebrochen!") << false;
        QTest::newRow("replugged") << QStringList{"--stop-after", "3"} << false << noAnswer << true;
    }
    void failedTransferWaitsForThePowerCycle()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, signal);
        QFETCH(QString, status);
        QFETCH(bool, replug);
        QVERIFY(simulator.start(options << "--report-input"));
        const QString port = dir.filePath(QTest::currentDataTag());
        QVERIFY(QFile::link(simulator.path(), port));
        openWindow({port});
        QTRY_COMPARE_WITH_TIMEOUT(label("firmwareLabel")->text(), foundLine, 3000);
        QVERIFY(loadFile(TestFirmware(1024)));
        messages->clear();
        if (signal)
            QTimer::singleShot(100, window.get(), [this] { window->close(), std::raise(SIGINT); });
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(flashButton(), Qt::LeftButton);
        if (options.contains("--hangup-after")) // its terminal's name may go to another test's
            QFile::remove(port);
        QVERIFY2(clock.elapsed() < 2500, "the wait for the next block has a bound");
        QCOMPARE(statusMessages().last(), status);
        QVERIFY(!statusMessages().contains("Flash neu beschrieben!"));
        if (!signal)
            QCOMPARE(label("blockLabel")->text(), QStringLiteral("Block: 3 / 16"));
        QCOMPARE(label("firmwareLabel")->text(), QStringLiteral("Flash schreiben fehlgeschlagen!"));
        QCOMPARE(textColour(label("firmwareLabel")), QColor(Qt::red));
        QVERIFY(!hexButton()->isEnabled());
        QVERIFY(!flashButton()->isEnabled());
        if (!signal)
            QCOMPARE(child<QProgressBar>("progressBar")->value(), 3);
        // The identification, the start command and 66 bytes a block: not even the search's.
        const long sent = 3 + 8 + 66 * label("blockLabel")->text().section(' ', 1, 1).toInt();
        QTRY_COMPARE(simulator.receivedBytes(), sent);
        QTest::qWait(1500); // the search would have asked the port twice by now
        QCOMPARE(simulator.receivedBytes(), sent);
        // Reason and next step stay in lines right under the designed ones.
        QCOMPARE(label("reasonLabel")->text(), status);
        QVERIFY(label("adviceLabel")->y() - label("reasonLabel")->geometry().bottom() <= 2);
        // The command line's words, which its tests check.
        QCOMPARE(label("adviceLabel")->text(), flashFailureAdvice(FlashResult::Timeout));
        DeviceSimulator fresh;
        if (replug) {
            QVERIFY(QFile::remove(port));
            QTest::qWait(500);
            QVERIFY(fresh.start() && QFile::link(fresh.path(), port));
            // Found again: the failure's lines and the red firmware line are gone.
            QTRY_COMPARE_WITH_TIMEOUT(label("firmwareLabel")->text(), foundLine, 3000);
            QCOMPARE(textColour(label("firmwareLabel")),
                     window->palette().color(QPalette::WindowText));
            QCOMPARE(label("reasonLabel")->text() + label("adviceLabel")->text(), QString());
            return;
        }
        QTest::mouseClick(child<QPushButton>("retrySearchButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(statusMessages().contains("Suche HW :" + port), 2000);
        if (simulator.process.state() == QProcess::Running) // a line that hung up is gone
            QTRY_COMPARE(simulator.receivedBytes(), sent + 3);
    }

    // A file chosen before the device answers is judged for both processors, and again for the
    // device once it is found; only then may it be written.
    void hexFileBeforeDeviceFound()
    {
        const QString port = dir.filePath(QStringLiteral("later"));
        openWindow({port});
        QVERIFY(loadFile(TestFirmware(1024, 200)));
        QCOMPARE(label("hexStatusLabel")->text(),
                 QStringLiteral("HEX-Datei OK!! Laenge: 1024 Byte"));
        QCOMPARE(label("fileLabel")->text(), QStringLiteral("fw.hex, fuer PIC18LF26K80"));
        QCOMPARE(label("fileLabel")->accessibleDescription(), dir.filePath("fw.hex"));
        QVERIFY(label("fileLabel")->toolTip().contains(dir.filePath("fw.hex").toHtmlEscaped()));
        QVERIFY(!flashButton()->isEnabled());

        QVERIFY(simulator.start());
        QVERIFY(QFile::link(simulator.path(), port));
        QTRY_COMPARE_WITH_TIMEOUT(label("firmwareLabel")->text(), foundLine, 3000);
        QCOMPARE(label("hexStatusLabel")->text(),
                 QStringLiteral("HEX-Datei nicht fuer PIC18F26K22!!"));
        QVERIFY(!flashButton()->isEnabled());
    }

    // Every text of the window, in each state that shows one, whole with the system's font.
    void textsAreWhole_data()
    {
        QTest::addColumn<QStringList>("simulatorOptions");
        QTest::addColumn<int>("fileLength"); // 0: no file loaded
        QTest::addColumn<int>("fileVersion");
        QTest::addColumn<bool>("flash");
        const QStringList lf{"--fw-version", "201"};
        QTest::newRow("found the LF") << lf << 0 << 0 << false;
        QTest::newRow("file refused") << lf << 1024 << 105 << false;
        QTest::newRow("long file accepted") << lf << 60000 << 201 << false;
        QTest::newRow("transfer failed") << QStringList{"--stop-after", "3"} << 1024 << 105 << true;
    }
    void textsAreWhole()
    {
        QFETCH(QStringList, simulatorOptions);
        QFETCH(int, fileLength);
        QFETCH(int, fileVersion);
        QFETCH(bool, flash);
        QVERIFY(findSimulator(simulatorOptions));
        if (fileLength > 0)
            QVERIFY(loadFile(TestFirmware(fileLength, fileVersion)));
        if (flash)
            QTest::mouseClick(flashButton(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents();
        QVERIFY(!label("firmwareLabel")->text().isEmpty());
        QVERIFY2(cutTexts(window.get()).isEmpty(), qPrintable(cutTexts(window.get()).join(", ")));
    }
};

QTEST_MAIN(TestLoaderWindow)
#include "tst_loaderwindow.moc"
