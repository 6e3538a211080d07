// The firmware parts and their acknowledgement-driven sequence.
#include "common_texts.h"
#include "firmware_upgrade.h"

#include <algorithm>
#include <cstring>

#include "byte_io.h"
#include "config_texts.h"
#include "crc16.h"
#include "event_codes.h"
#include "file_bytes.h"
#include "response_records.h"
#include "text_format.h"

namespace qx {

namespace {

namespace L = FirmwarePartLayout;

const char *progressFormat(int kind)
{
    return kind == kTransferBios ? config_texts::kBiosProgress : config_texts::kFirmwareProgress;
}

const char *timeoutLine(int kind)
{
    return kind == kTransferBios ? config_texts::kBiosTimeout : config_texts::kFirmwareTimeout;
}

FirmwareLoadResult tooLarge(const std::string &name, uint64_t size)
{
    return {false, formatText(config_texts::kFirmwareTooLarge, name.c_str(), static_cast<unsigned long long>(size)), {}};
}

} // namespace

bool isFirmwareTransferKind(int kind)
{
    return kind == kTransferBios || kind == kTransferFirmware;
}

uint32_t firmwarePartCount(std::size_t size)
{
    return static_cast<uint32_t>(size / L::kPartSize + 1);
}

std::vector<uint8_t> buildFirmwarePart(const std::vector<uint8_t> &image, uint16_t index)
{
    std::vector<uint8_t> p(L::kPayloadSize, kFirmwareFill);
    putU16be(p.data(), L::kPartIndex, index);
    const std::size_t from = std::size_t(index) * L::kPartSize;
    if (from < image.size()) {
        const std::size_t n = std::min(L::kPartSize, image.size() - from);
        std::memcpy(p.data() + L::kImage, image.data() + from, n);
    }
    putU16be(p.data(), L::kChecksum, crc16(p.data(), L::kChecksum));
    return p;
}

FirmwareLoadResult FirmwareUpgrade::loadFile(const std::string &path)
{
    // one byte more than an image may have tells a file that is too long
    const FileReadResult read = readFileBytes(path, kFirmwareMaxImage + 1);
    if (!read.ok)
        return {false, formatText(config_texts::kFirmwareCannotOpen, path.c_str(), std::strerror(read.error)), {}};
    if (read.size > kFirmwareMaxImage || read.bytes.size() > kFirmwareMaxImage)
        return tooLarge(path, std::max<uint64_t>(read.size, read.bytes.size()));
    return loadImage(std::vector<uint8_t>(read.bytes.begin(), read.bytes.end()), path);
}

FirmwareLoadResult FirmwareUpgrade::loadImage(std::vector<uint8_t> bytes, const std::string &name)
{
    if (running())
        return {};
    if (bytes.size() > kFirmwareMaxImage)
        return tooLarge(name, bytes.size());
    FirmwareLoadResult r;
    r.ok = true;
    m_acknowledged = 0;
    if (bytes.size() <= 1) {
        m_image.clear();
        return r;
    }
    m_image = std::move(bytes);
    r.log = common_texts::kFilePathLog + name
        + formatText(config_texts::kFirmwareFileSize, static_cast<unsigned>(m_image.size())) + "\r\n";
    return r;
}

FirmwareAck readFirmwareAck(int32_t code, const uint8_t *record)
{
    FirmwareAck a;
    a.kind = code;
    const int32_t value = getI32le(record, TransferReplyLayout::kValue);
    // status 0 is the refusal here: the same part again
    if (record[TransferReplyLayout::kStatus] != 0) {
        a.nextPart = value + 1;
    } else {
        a.nextPart = value;
        a.logLine = code == kTransferBios ? config_texts::kBiosResend : config_texts::kFirmwareResend;
    }
    return a;
}

uint16_t firmwarePartOf(const TransferStep &step)
{
    return step.packet.size() >= L::kImage ? getU16be(step.packet.data(), L::kPartIndex) : 0;
}

TransferStep FirmwareUpgrade::start(int kind)
{
    if (running() || !isFirmwareTransferKind(kind))
        return {};
    if (m_image.empty()) {
        TransferStep step;
        step.message = config_texts::kFirmwareNoImage;
        return step;
    }
    m_kind = kind;
    m_acknowledged = 0;
    return send(0);
}

TransferStep FirmwareUpgrade::acknowledge(int32_t code, const uint8_t *record)
{
    if (!acknowledgedBy(code))
        return {};
    const FirmwareAck ack = readFirmwareAck(code, record);
    TransferStep step = acknowledge(ack);
    step.log = ack.logLine + step.log;
    return step;
}

TransferStep FirmwareUpgrade::acknowledge(const FirmwareAck &ack)
{
    // the part being sent again (refused), or the one after it (stored)
    if (!running() || ack.kind != m_kind || ack.nextPart < 0
        || (uint32_t(ack.nextPart) != m_part && uint32_t(ack.nextPart) != m_part + 1))
        return {};
    const uint32_t next = uint32_t(ack.nextPart);
    m_acknowledged = next;
    if (next < partsTotal())
        return send(next);
    m_part = kIdle;
    TransferStep step;
    step.kind = TransferStep::Kind::Finished;
    step.success = true;
    step.message = config_texts::kFirmwareDone;
    return step;
}

TransferStep FirmwareUpgrade::timeout()
{
    if (!running())
        return {};
    TransferStep step = send(m_part);
    step.afterTimeout = true;
    step.log = timeoutLine(m_kind) + step.log;
    return step;
}

TransferStep FirmwareUpgrade::cancel(TransferStop why)
{
    if (!running())
        return {};
    // a first part that never went out cannot have harmed the module
    const bool partsSent = m_part > 0 || why != TransferStop::NotPlaced;
    m_part = kIdle;
    TransferStep step;
    step.kind = TransferStep::Kind::Finished;
    if (partsSent)
        step.message = config_texts::kFirmwareCancelled;
    return step;
}

TransferStep FirmwareUpgrade::send(uint32_t part)
{
    m_part = part;
    TransferStep step;
    step.kind = TransferStep::Kind::Send;
    step.slot = m_kind;
    step.packet = buildFirmwarePart(m_image, static_cast<uint16_t>(part));
    step.log = formatText(progressFormat(m_kind), part + 1, partsTotal(), unsigned(L::kPartSize), imageSize());
    return step;
}

} // namespace qx
