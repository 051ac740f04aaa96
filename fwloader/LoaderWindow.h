#pragma once

#include "core/DeviceSearch.h"
#include "core/FlashWriter.h"
#include "core/HexImage.h"
#include "core/Modem.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class Dialogs;
class QLabel;
class QTimer;

namespace Ui {
class LoaderWindow;
}

// The loader's window: searches the serial ports for the device, loads a HEX firmware file
// and writes it into the device's flash. The search, the HEX reader and the transfer live in
// the core library; the window shows their results and keeps the buttons in step with them.
class LoaderWindow : public QMainWindow
{
    Q_OBJECT

public:
    // ttyList empty: the platform's usual ports. dialogs empty: the system's file dialog; the
    // window does not take ownership of the dialogs it is given.
    explicit LoaderWindow(const QStringList &ttyList = {}, Dialogs *dialogs = nullptr);
    ~LoaderWindow() override;

    // Bounds of the flash transfer's waits; tests shorten them.
    void setFlashTimeouts(const FlashTimeouts &timeouts) { flashTimeouts = timeouts; }

    // From now on SIGINT, SIGTERM and SIGHUP close the window, and so every port it holds;
    // during a transfer they end the transfer first, and the next one closes the window.
    void closeOnStopSignals();

protected:
    // A close request during the transfer is ignored: the transfer ends within its bounds,
    // and a device left halfway would take the next start command as flash data. SIGINT,
    // SIGTERM and SIGHUP end the transfer between two blocks, as a failure.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_hexFileButton_clicked();
    void startSearchRound();
    void searchFinished(bool found);
    void on_flashButton_clicked();
    void on_exitButton_clicked();
    void on_retrySearchButton_clicked();

private:
    void setTextColour(QLabel *label, const QColor &colour);
    // A failed transfer's reason and what to do next, each in a line of its own; empty texts
    // clear them.
    void showFailure(const QString &reason, const QString &advice);
    void showFile(const QString &path, const HexLoadResult &result);
    void judgeChosenFile();
    // After a failed transfer the device takes every byte as flash data: nothing goes out until
    // the user says it was switched off and on, or its port vanished and came back.
    void awaitPowerCycle(const QString &port);
    void watchFailedPort();
    void resumeSearch();

    std::unique_ptr<Ui::LoaderWindow> ui;
    FirmwareImage firmware; // image and lastAddress
    // The file chosen last, as its layout was judged; judged for a processor when shown.
    HexLoadResult chosen;
    bool fileChosen = false;
    QLabel *searchProgress = nullptr; // how far a round of the search has come
    int emptyRounds = 0;              // rounds without a device since the search (re)started
    QTimer *timer = nullptr;
    DeviceSearch search; // ttyList, ttyName, the device's port and what it said
    int fontSize = 12;
    std::unique_ptr<Dialogs> ownDialogs;
    Dialogs *dialogs = nullptr;
    FlashTimeouts flashTimeouts;
    bool flashing = false;
    bool closeRefused = false; // a close was refused during this transfer
    bool catchingStopSignals = false;
    QTimer *portWatch = nullptr; // while awaiting the power cycle, whether the port is there
    QString failedPort;          // the port of the failed transfer, as named in the list
    bool portVanished = false;
    // The designed width of the chosen file's line.
    static constexpr int fileLineWidth = 241;
};
