#pragma once

#include "LoaderOptions.h"

#include <QTextStream>

struct HexLoadResult;
enum class FlashResult;

// The loader without a window: --probe searches the port list once, as the window's search
// does; --flash judges the HEX file first, then finds the device and writes the
// file into it; --check judges the file alone. Exit status 0: done; 1: no device, a refused
// file or a failed transfer; 128 + the signal's number: a transfer ended by a signal.
class LoaderCommandLine
{
public:
    LoaderCommandLine(QTextStream &out, QTextStream &err, bool progressBar);

    // Runs the mode options asks for (--probe, --flash or --check).
    int run(const LoaderOptions &options);

    int probe(const QStringList &ttyList);
    int flash(const QStringList &ttyList, const QString &hexFile, double timeoutSeconds);
    // processor empty: every processor the loader knows.
    int check(const QString &hexFile, const QString &processor);

private:
    class Session;

    bool findDevice(Session &session);
    // One line on a terminal, redrawn in place: a bar of done / total and the text.
    void showBar(int done, int total, const QString &text);
    void showProgress(int sent, int total);
    int refuse(const HexLoadResult &loaded);
    void showAccepted(const HexLoadResult &loaded);
    int reportFlash(FlashResult result);

    QTextStream &out;
    QTextStream &err;
    bool progressBar;
};
