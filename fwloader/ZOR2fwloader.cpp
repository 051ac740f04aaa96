#include "ZOR2fwloader.h"

#include "Dialogs.h"
#include "SettingsPlace.h"
#include "TextFit.h"
#include "ui_ZOR2fwloader.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

namespace {

// The device search starts 200 ms after the window is built.
constexpr int firstSearchDelayMs = 200;
// A round over every port takes about a third of a second; the pause after a round without a
// device keeps the other serial devices from being asked several times a second.
constexpr int searchPauseMs = 1000;
// The window font's pixel size when none or a too small one is stored.
constexpr int defaultFontSize = 12;

} // namespace

ZOR2fwloader::ZOR2fwloader(const QStringList &ttyList, Dialogs *dialogs)
    : ui(std::make_unique<Ui::ZOR2fwloader>())
    , search(ttyList)
    , dialogs(dialogs)
{
    ui->setupUi(this);
    if (!this->dialogs) {
        ownDialogs = std::make_unique<QtDialogs>();
        this->dialogs = ownDialogs.get();
    }

    ui->pushButton->setEnabled(false);
    ui->pushButton_2->setEnabled(false);

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &ZOR2fwloader::fopentty);
    connect(&search, &DeviceSearch::waitingFor, this, [this](const QString &port) {
        statusBar()->showMessage(QStringLiteral("Suche HW :") + port, 0);
    });
    connect(&search, &DeviceSearch::finished, this, &ZOR2fwloader::searchFinished);

    QSettings settings(SettingsPlace::organisation(), SettingsPlace::application());
    fontSize = settings.value(QStringLiteral("fontsize"), defaultFontSize).toInt();
    if (fontSize <= 7)
        fontSize = defaultFontSize;
    QFont windowFont = font();
    windowFont.setPixelSize(fontSize);
    windowFont.setWeight(QFont::Normal);
    setFont(windowFont);
    TextFit::keep(this);

    timer->start(firstSearchDelayMs);
}

ZOR2fwloader::~ZOR2fwloader()
{
    QSettings settings(SettingsPlace::organisation(), SettingsPlace::application());
    settings.setValue(QStringLiteral("fontsize"), fontSize);
    settings.sync();
}

void ZOR2fwloader::setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(colour));
    label->setPalette(palette);
}

void ZOR2fwloader::closeEvent(QCloseEvent *event)
{
    if (flashing)
        event->ignore();
    else
        event->accept();
}

// "HEX-Datei": only a file that passes every check replaces the image; any other outcome
// leaves nothing to write, so "Write Flash" follows the outcome.
void ZOR2fwloader::on_pushButton_clicked()
{
    QDir dir(QDir::currentPath());
    if (dir.exists(QStringLiteral("zor2fw")))
        dir.cd(QStringLiteral("zor2fw"));

    const QString fileName = dialogs->openFileName(this, tr("HEX-Datei Laden", "FileDialog"),
                                                   dir.filePath(QStringLiteral("*.hex")),
                                                   tr("HEX-Datei (*.hex)", "FileDialog"));
    if (fileName.isEmpty()) {
        ui->label->setText(tr("HEX-Datei Laden, Abbruch!"));
        setTextColour(ui->label, Qt::red);
        return;
    }
    qDebug() << "fname:" << fileName;

    const HexLoadResult result = loadHexFile(dir.filePath(fileName), search.identity().fwVersion);
    const bool accepted = result.status == HexStatus::Accepted;
    if (accepted)
        firmware = result.image;
    ui->pushButton_2->setEnabled(accepted);
    ui->label->setText(hexStatusText(result));
    setTextColour(ui->label, accepted ? Qt::darkGreen : Qt::red);
}

// One round of the device search over every port at once; searchFinished() takes its end.
void ZOR2fwloader::fopentty()
{
    timer->stop();
    search.start();
}

void ZOR2fwloader::searchFinished(bool found)
{
    if (found) {
        statusBar()->showMessage(foundText(search.ttyName()), 0);
        ui->label_3->setText(firmwareLine(search.identity()));
        ui->pushButton->setEnabled(true);
        return;
    }
    // A port that another program or loader holds is named, so that nobody waits for it here.
    for (const PortResult &port : search.results()) {
        if (port.outcome == PortOutcome::Busy) {
            statusBar()->showMessage(portOutcomeText(port), 0);
            break;
        }
    }
    timer->start(searchPauseMs);
}

// "Write Flash": the transfer runs inside this call; the progress is painted between blocks.
void ZOR2fwloader::on_pushButton_2_clicked()
{
    if (flashing)
        return;
    flashing = true;
    ui->pushButton->setEnabled(false);
    ui->pushButton_2->setEnabled(false);
    const QColor normal = palette().color(QPalette::WindowText);
    setTextColour(ui->label_2, normal);
    setTextColour(ui->label_3, normal);
    statusBar()->showMessage(tr("Flash schreiben starten, bitte warten!"), 0);

    // A request to end the program ends the transfer between two blocks, as a failure; the
    // next request ends the program as usual.
    const FlashResult result =
        flashFoundDevice(search, firmware, flashTimeouts, [this](int sent, int total) {
            ui->label_2->setText(QString::asprintf("Block: %i / %i", sent, total));
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            statusBar()->showMessage(tr("Flash wird beschrieben!"), 0);
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        });
    flashing = false;

    statusBar()->showMessage(flashResultText(result), 0);
    if (result == FlashResult::Written) {
        setTextColour(ui->label_2, Qt::darkGreen);
        ui->label_3->setText(tr("FW: neu, Exit Programm"));
        ui->pushButton->setEnabled(true);
        ui->pushButton_2->setEnabled(true);
        return;
    }
    // The device may still wait for blocks and would take the next start command as one:
    // the search began again, and nothing more goes out until it has found the device.
    ui->label_3->setText(tr("Flash schreiben fehlgeschlagen!"));
    setTextColour(ui->label_3, Qt::red);
    timer->start(firstSearchDelayMs);
}

void ZOR2fwloader::on_pushButton_3_clicked()
{
    close();
}
