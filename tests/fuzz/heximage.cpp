// Fuzzes the Intel HEX reader for both processors. Input: the HEX file's bytes.
// Invariants: an accepted image holds nothing at or above 0xFC00; the reads for a device with a
// PIC18F26K22 and one with a PIC18LF26K80 agree on everything but the processor check.
#include "HexImage.h"
#include "FuzzSupport.h"

#include <algorithm>
#include <memory>

namespace {

constexpr int kVersionF26K22 = 103;
constexpr int kVersionLf26K80 = 200;

bool nurProzessorVerschieden(HexStatus a, HexStatus b)
{
    return a == b || (a == HexStatus::Accepted && b == HexStatus::NotForF26K80) ||
           (a == HexStatus::NotForF26K22 && b == HexStatus::Accepted);
}

void angenommenPruefen(const HexLoadResult &result)
{
    if (result.status != HexStatus::Accepted)
        return;
    static const FirmwareImage leer;
    const auto &image = result.image.image;
    invariant(result.image.lastAddress <= 0xFBFF &&
                  std::equal(image.begin() + 0xFC00, image.end(), leer.image.begin() + 0xFC00),
              "an accepted image holds nothing at or above 0xFC00");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static MemoryFile input;
    // Kept from run to run: a large allocation per run would cost more than the reading.
    static const auto k22 = std::make_unique<HexLoadResult>();
    static const auto k80 = std::make_unique<HexLoadResult>();
    const QString &path = input.write(data, size);
    *k22 = loadHexFile(path, kVersionF26K22);
    *k80 = loadHexFile(path, kVersionLf26K80);
    angenommenPruefen(*k22);
    angenommenPruefen(*k80);
    invariant(nurProzessorVerschieden(k22->status, k80->status) &&
                  k22->badRecord == k80->badRecord &&
                  k22->image.lastAddress == k80->image.lastAddress &&
                  k22->image.image == k80->image.image,
              "both processors' reads agree on everything but the processor check");
    return 0;
}
