// The PLC runtime on arbitrary program images: decoding must refuse what it
// cannot run and never read outside the image, and whatever decodes must
// scan without fault. Input: a time step byte, then chunks of a block number
// and that block's 256 bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_target.h"
#include "io_map.h"
#include "plc_project.h"
#include "plc_runtime.h"

QX_FUZZ_TARGET(input)
{
    using namespace qx::sim;
    const uint8_t *data = input.all().data();
    const std::size_t size = input.all().size();
    // the raw bytes as an image: anything but 25,600 bytes is refused
    (void)decodePlcImage(data, size);
    if (size < 2)
        return;

    const uint64_t stepUs = 1000 + uint64_t(input.mode()) * 997;
    std::vector<uint8_t> image(qx::kPlcProgramSize, 0);
    for (std::size_t at = 1; at < size; at += 1 + qx::kPlcBlockSize) {
        const std::size_t block = data[at] % qx::kPlcBlockCount;
        const std::size_t n = std::min(qx::kPlcBlockSize, size - at - 1);
        for (std::size_t i = 0; i < n; ++i)
            image[block * qx::kPlcBlockSize + i] = data[at + 1 + i];
    }

    // Leave out the blocks that cannot run until the rest decodes, so that
    // the scans see every kind of row the fuzzer finds.
    PlcDecodeResult r = decodePlcImage(image.data(), image.size());
    for (int tries = 0; !r.ok && tries < 100; ++tries) {
        const std::size_t block = std::strtoul(r.message.c_str() + 6, nullptr, 10); // "block N, ..."
        QX_FUZZ_CHECK(r.message.rfind("block ", 0) == 0 && block < qx::kPlcBlockCount);
        image[block * qx::kPlcBlockSize + qx::PlcBlock::kState] = 0;
        r = decodePlcImage(image.data(), image.size());
    }
    QX_FUZZ_CHECK(r.ok);

    IoState io;
    io.advance(0);
    io.writeCoil(IoMap::kTestModeCoil, input.mode() & 1);
    // variables and inputs from the image's bytes, so that comparisons vary
    for (std::size_t v = 0; v < 2 * 256; ++v)
        io.writeHoldingRegister(IoMap::kVariableRegister + v, static_cast<uint16_t>(image[v * 7] | image[v * 11] << 8));
    for (std::size_t x = 0; x < IoMap::kPointCount; ++x)
        io.writeCoil(IoMap::kTestInputCoil + x, image[x * 13] & 1);

    PlcRuntime runtime;
    runtime.start(std::move(r.program));
    uint64_t now = 0;
    for (int scan = 0; scan < 64; ++scan) {
        io.advance(now);
        runtime.scan(now, io);
        (void)runtime.takeReportFlags();
        QX_FUZZ_CHECK(runtime.heldBlocks().size() <= qx::kPlcBlockCount);
        now += stepUs;
    }
}
