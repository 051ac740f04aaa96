#pragma once

#include "LoaderOptions.h"

#include <QTextStream>

// The loader without a window: --probe walks the port list once with the window's search
// steps and timing, --flash then checks the HEX file and writes it into the device.
// Exit status 0: done; 1: no device, a refused file or a failed transfer.
class LoaderCommandLine
{
public:
    LoaderCommandLine(QTextStream &out, QTextStream &err, bool progressBar);

    int probe(const QStringList &ttyList);
    int flash(const QStringList &ttyList, const QString &hexFile, double timeoutSeconds);

private:
    class Session;

    bool findDevice(Session &session);
    void showProgress(int received, int total);

    QTextStream &out;
    QTextStream &err;
    bool progressBar;
};
