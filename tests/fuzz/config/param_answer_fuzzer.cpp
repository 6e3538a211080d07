// The configuration read answer (event 14) as the shell takes it: the
// register record's length field, the payload's checksum and length, then
// the block on the page. Mode bit 0: the body is the whole record, length
// field included; otherwise it is the payload, so that valid checksums come
// up (the body's last two bytes are replaced by its CRC when bit 1 is set).
#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "byte_io.h"
#include "crc16.h"
#include "event_records.h"
#include "fuzz_target.h"
#include "param_answers.h"
#include "param_form.h"
#include "record_readers.h"
#include "response_records.h"

QX_FUZZ_TARGET(input)
{
    namespace R = qx::RegisterRecordLayout;
    std::vector<uint8_t> record(R::kParamSize, 0);
    const auto body = input.body();
    if (input.mode() & 1) {
        std::copy_n(body.begin(), std::min(body.size(), record.size()), record.begin());
    } else {
        const std::size_t n = std::min(body.size(), R::kParamCapacity);
        std::copy_n(body.begin(), n, record.begin() + R::kData);
        if ((input.mode() & 2) && n >= 2)
            qx::putU16be(record.data(), R::kData + n - 2, qx::crc16(record.data() + R::kData, n - 2));
        qx::putI32le(record.data(), R::kLength, static_cast<int32_t>(n));
    }
    // decoded as the configuration page decodes event 14
    const qx::ParamReadAnswer a = qx::readParamReadEvent(record.data());
    const std::span<const uint8_t> bytes = qx::readRegisterBytes(record.data(), R::kParamCapacity);
    QX_FUZZ_CHECK(bytes.size() <= R::kParamCapacity);
    QX_FUZZ_CHECK(a.ok == a.message.empty());
    if (!a.ok)
        return;
    // an accepted answer is exactly the payload of the block it gave
    const std::vector<uint8_t> again = a.block.payloadFor(a.compact ? 210 : 0);
    QX_FUZZ_CHECK(again.size() == bytes.size() && std::memcmp(again.data(), bytes.data(), bytes.size()) == 0);
    (void)qx::showBlock(a.block);
}
