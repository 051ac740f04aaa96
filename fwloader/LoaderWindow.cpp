#include "LoaderWindow.h"

#include "core/PortList.h"
#include "dialogs/Dialogs.h"
#include "platform/MessageText.h"
#include "platform/Platform.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPlace.h"
#include "ui_LoaderWindow.h"
#include "widgets/AccessibleTexts.h"
#include "widgets/TextFit.h"

#include <QAccessible>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>

namespace {

// The window's diagnostic lines: off unless QT_LOGGING_RULES="zor2fwloader.debug=true" asks.
Q_LOGGING_CATEGORY(loaderDiagnostics, "zor2fwloader", QtInfoMsg)

// The device search starts 200 ms after the window is built.
constexpr int firstSearchDelayMs = 200;
// A round over every port takes about a third of a second; the pause after a round without a
// device keeps the other serial devices from being asked several times a second.
constexpr int searchPauseMs = 1000;
// The window font's pixel size when none or a too small one is stored.
constexpr int defaultFontSize = 12;
// How often the window looks for its failed port and for a stop signal.
constexpr int portWatchMs = 250;
constexpr int stopPollMs = 100;

} // namespace

LoaderWindow::LoaderWindow(const QStringList &ttyList, Dialogs *dialogs)
    : ui(std::make_unique<Ui::LoaderWindow>())
    , search(ttyList)
    , dialogs(dialogs)
{
    ui->setupUi(this);
    if (!this->dialogs) {
        ownDialogs = std::make_unique<QtDialogs>();
        this->dialogs = ownDialogs.get();
    }

    // A file can be chosen and checked before a device answers; writing needs both.
    ui->flashButton->setEnabled(false);
    // The lines under the designed ones take no room until they have something to say: the
    // window grows for a failed transfer's reason and advice.
    setTextColour(ui->reasonLabel, Qt::red);

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &LoaderWindow::startSearchRound);
    // The port waited for is named in the first round; after a round without a device the
    // hint stands, and the count at the right tells that the search goes on.
    searchProgress = new QLabel(this);
    searchProgress->setObjectName(QStringLiteral("searchProgress"));
    statusBar()->addPermanentWidget(searchProgress);
    connect(&search, &DeviceSearch::waitingFor, this, [this](const QString &port) {
        if (emptyRounds == 0)
            statusBar()->showMessage(QStringLiteral("Suche HW :") + shownInMessage(port), 0);
    });
    portWatch = new QTimer(this);
    connect(portWatch, &QTimer::timeout, this, &LoaderWindow::watchFailedPort);
    connect(&search, &DeviceSearch::progress, this, [this](int settled, int total) {
        searchProgress->setText(tr("%1 / %2 Ports").arg(settled).arg(total));
    });
    connect(&search, &DeviceSearch::finished, this, &LoaderWindow::searchFinished);

    SettingsFile settings(SettingsPlace::application());
    fontSize = settings.value(QStringLiteral("fontsize"), defaultFontSize).toInt();
    if (fontSize <= 7)
        fontSize = defaultFontSize;
    QFont windowFont = font();
    windowFont.setPixelSize(fontSize);
    windowFont.setWeight(QFont::Normal);
    setFont(windowFont);
    ui->progressBar->setAccessibleName(tr("Fortschritt des Flashens"));
    TextFit::keep(this);
    describeToolTips(this);

    timer->start(firstSearchDelayMs);
}

LoaderWindow::~LoaderWindow()
{
    SettingsFile settings(SettingsPlace::application());
    settings.setValue(QStringLiteral("fontsize"), fontSize);
}

void LoaderWindow::closeOnStopSignals()
{
    catchingStopSignals = true;
    Platform::catchStopSignals();
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this] {
        // During a transfer the signal is the transfer's to take.
        if (!flashing && Platform::stopSignal() != 0)
            close();
    });
    poll->start(stopPollMs);
}

void LoaderWindow::setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(colour));
    label->setPalette(palette);
}

void LoaderWindow::closeEvent(QCloseEvent *event)
{
    if (!flashing) {
        event->accept();
        return;
    }
    event->ignore();
    closeRefused = true;
    statusBar()->showMessage(tr("Beenden erst nach dem Flashen moeglich!"), 0);
}

void LoaderWindow::showFailure(const QString &reason, const QString &advice)
{
    ui->reasonLabel->setText(reason);
    ui->adviceLabel->setText(advice);
    // Told to assistive technology as it appears, not only shown.
    for (QLabel *label : {ui->reasonLabel, ui->adviceLabel}) {
        if (label->text().isEmpty())
            continue;
        QAccessibleEvent alert(label, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

// The file chosen last, in a line of its own: its name (the whole path as tool tip) and, once
// its layout is judged sound, the processor it is built for.
void LoaderWindow::showFile(const QString &path, const HexLoadResult &result)
{
    const QString processor = result.status == HexStatus::Accepted
                                  ? tr(", fuer %1").arg(fileProcessorName(result.image))
                                  : QString();
    // A long name is shortened in its middle, so that the line keeps its place in the form.
    const QFontMetrics metrics = ui->fileLabel->fontMetrics();
    const int room = fileLineWidth - metrics.horizontalAdvance(processor);
    ui->fileLabel->setText(metrics.elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle, room) +
                           processor);
    // A name is text, never HTML: shown as such, and told to assistive technology as such.
    const QString whole = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    ui->fileLabel->setToolTip(Qt::convertFromPlainText(whole, Qt::WhiteSpaceNoWrap));
    ui->fileLabel->setAccessibleDescription(whole);
}

// "HEX-Datei": only a file that passes every check replaces the image; any other outcome
// leaves nothing to write, so "Write Flash" follows the outcome.
void LoaderWindow::on_hexFileButton_clicked()
{
    QDir dir(QDir::currentPath());
    if (dir.exists(QStringLiteral("zor2fw")))
        dir.cd(QStringLiteral("zor2fw"));

    const QString fileName = dialogs->openFileName(this, tr("HEX-Datei Laden", "FileDialog"),
                                                   dir.filePath(QStringLiteral("*.hex")),
                                                   tr("HEX-Datei (*.hex)", "FileDialog"));
    // A file chosen before stays, as it was judged.
    if (fileName.isEmpty() && fileChosen)
        return;
    if (fileName.isEmpty()) {
        ui->hexStatusLabel->setText(tr("HEX-Datei Laden, Abbruch!"));
        setTextColour(ui->hexStatusLabel, Qt::red);
        return;
    }
    qCDebug(loaderDiagnostics) << "fname:" << fileName;
    showFailure(QString(), QString());
    chosen = readHexFile(dir.filePath(fileName));
    fileChosen = true;
    showFile(dir.filePath(fileName), chosen);
    judgeChosenFile();
}

// The chosen file for the device found, or, before one answers, for every processor the loader
// knows, as --check does: a sound file then suits the processor it is built for.
void LoaderWindow::judgeChosenFile()
{
    HexLoadResult judged = chosen;
    if (search.found())
        checkProcessor(judged, search.identity().fwVersion);
    const bool accepted = judged.status == HexStatus::Accepted;
    if (accepted)
        firmware = judged.image;
    ui->flashButton->setEnabled(accepted && search.found());
    ui->hexStatusLabel->setText(hexStatusText(judged));
    setTextColour(ui->hexStatusLabel, accepted ? Qt::darkGreen : Qt::red);
    // Why, in the words --check uses, in the line under the designed ones.
    ui->reasonLabel->setText(hexRefusalReason(judged));
}

// One round of the device search over every port at once; searchFinished() takes its end.
void LoaderWindow::startSearchRound()
{
    timer->stop();
    search.start();
}

void LoaderWindow::searchFinished(bool found)
{
    if (found) {
        emptyRounds = 0;
        searchProgress->clear();
        statusBar()->showMessage(foundText(search.ttyName()), 0);
        // An earlier failure is over: the device answered again.
        showFailure(QString(), QString());
        ui->firmwareLabel->setText(firmwareLine(search.identity()));
        setTextColour(ui->firmwareLabel, palette().color(QPalette::WindowText));
        ui->hexFileButton->setEnabled(true);
        if (fileChosen)
            judgeChosenFile();
        return;
    }
    ++emptyRounds;
    // A port that another program or loader holds is named, so that nobody waits for it here;
    // otherwise the usual causes are.
    QString hint = tr("Keine HW: Kabel, Strom, Gruppe dialout pruefen!");
    for (const PortResult &port : search.results()) {
        if (port.outcome == PortOutcome::Busy || port.outcome == PortOutcome::NoDescriptors) {
            hint = portOutcomeText(port);
            break;
        }
    }
    statusBar()->showMessage(hint, 0);
    // The status bar draws its message cut off where the window ends: the window grows for it.
    const int needed = statusBar()->fontMetrics().horizontalAdvance(hint) +
                       searchProgress->sizeHint().width() + 3 * fontMetrics().height();
    if (width() < needed)
        resize(needed, height());
    timer->start(searchPauseMs);
}

// "Write Flash": the transfer runs inside this call; the progress is painted between blocks.
void LoaderWindow::on_flashButton_clicked()
{
    if (flashing)
        return;
    flashing = true;
    closeRefused = false;
    ui->hexFileButton->setEnabled(false);
    ui->flashButton->setEnabled(false);
    ui->exitButton->setEnabled(false);
    showFailure(QString(), QString());
    ui->progressBar->setRange(0, flashBlockTotal(firmware));
    ui->progressBar->setValue(0);
    const QColor normal = palette().color(QPalette::WindowText);
    setTextColour(ui->blockLabel, normal);
    setTextColour(ui->firmwareLabel, normal);
    statusBar()->showMessage(tr("Flash schreiben starten, bitte warten!"), 0);
    const QString port = search.ttyName();

    // A request to end the program ends the transfer between two blocks, as a failure; the
    // next request ends the program as usual.
    const FlashResult result =
        flashFoundDevice(search, firmware, flashTimeouts, [this](int sent, int total) {
            ui->blockLabel->setText(QString::asprintf("Block: %i / %i", sent, total));
            ui->progressBar->setMaximum(total);
            ui->progressBar->setValue(sent);
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            // A refused close keeps its word in the status bar until the transfer ends.
            if (!closeRefused)
                statusBar()->showMessage(tr("Flash wird beschrieben!"), 0);
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        });
    flashing = false;
    ui->exitButton->setEnabled(true);
    // The transfer took its signal; the next one closes the window.
    if (catchingStopSignals)
        Platform::catchStopSignals();

    statusBar()->showMessage(flashResultText(result), 0);
    if (result == FlashResult::Written) {
        setTextColour(ui->blockLabel, Qt::darkGreen);
        ui->firmwareLabel->setText(tr("FW: neu, Exit Programm"));
        ui->hexFileButton->setEnabled(true);
        ui->flashButton->setEnabled(true);
        return;
    }
    emptyRounds = 0;
    ui->firmwareLabel->setText(tr("Flash schreiben fehlgeschlagen!"));
    setTextColour(ui->firmwareLabel, Qt::red);
    showFailure(flashResultText(result), flashFailureAdvice(result));
    if (result == FlashResult::NoPort)
        timer->start(firstSearchDelayMs); // nothing went out
    else
        awaitPowerCycle(port);
}

void LoaderWindow::on_exitButton_clicked()
{
    close();
}

// The device would take even the search's requests as flash data and write them: a frame of
// them every half minute. The search waits for the power cycle.
void LoaderWindow::awaitPowerCycle(const QString &port)
{
    failedPort = port;
    portVanished = false;
    // Like the lines beside it, the button takes room only while it has something to offer.
    ui->retrySearchButton->setText(tr("Erneut &suchen"));
    ui->retrySearchButton->show();
    portWatch->start(portWatchMs);
}

// A USB adapter that was pulled and plugged in again went through a power cycle with its device.
void LoaderWindow::watchFailedPort()
{
    const Platform::FileKind kind = Platform::fileStatus(resolvedPortName(failedPort)).kind;
    if (kind != Platform::FileKind::Device)
        portVanished = true;
    else if (portVanished)
        resumeSearch();
}

void LoaderWindow::on_retrySearchButton_clicked()
{
    resumeSearch();
}

void LoaderWindow::resumeSearch()
{
    portWatch->stop();
    ui->retrySearchButton->hide();
    ui->retrySearchButton->setText(QString());
    emptyRounds = 0;
    timer->start(firstSearchDelayMs);
}
