// zor2flashbench: writes a full firmware image (64,512 bytes, 1008 blocks) into the device on
// the given port and prints how long the transfer took and how much processor time the loader
// used for it. scripts/bench-loader runs it against the device simulator.

#include "core/FlashWriter.h"
#include "core/Modem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <ctime>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: zor2flashbench PORT\n";
        return 2;
    }

    FirmwareImage firmware;
    for (int address = 0; address <= 0xFBFF; ++address)
        firmware.image[address] = (address * 13 + address / 64) & 0xFF;
    firmware.lastAddress = 0xFBFF;

    Modem modem;
    if (!modem.openTty(args.at(1))) {
        err << "zor2flashbench: cannot open " << args.at(1) << "\n";
        return 1;
    }
    QElapsedTimer wall;
    const std::clock_t cpuStart = std::clock();
    wall.start();
    const FlashResult result = writeFlash(modem, firmware, FlashTimeouts{});
    const qint64 wallNs = wall.nsecsElapsed();
    const double cpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
    modem.closeTty();

    out << "blocks " << flashBlockTotal(firmware) << " result "
        << (result == FlashResult::Written ? "written" : "failed") << " wall_ms "
        << QString::number(double(wallNs) / 1e6, 'f', 1) << " cpu_ms "
        << QString::number(cpuMs, 'f', 1) << "\n";
    return result == FlashResult::Written ? 0 : 1;
}
