// The serial line on Windows: a COM device opened for overlapped I/O, so the
// worker waits on a pending read and the wake-up event together. The read
// uses only an interval timeout (it completes 1 ms after the last byte that
// came), the form that both Windows' serial drivers and Wine's serial layer
// complete reliably; the bytes of a completed read wait in the inbox until
// the worker takes them.
#include "serial_line.h"

#include <algorithm>
#include <array>

#include <windows.h>

#include "wake_signal.h"

namespace qx {

struct SerialDevice::Native
{
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED read {};
    OVERLAPPED write {};
    bool readPending = false;
    bool lineTime = true;
    bool failed = false;
    std::array<uint8_t, 2048> inbox {};
    std::size_t inboxStart = 0;
    std::size_t inboxEnd = 0;

    // Collects a pending read: waits for it when `wait`, else only when it
    // has finished. The bytes go to the inbox.
    void collect(bool wait)
    {
        if (!readPending)
            return;
        DWORD got = 0;
        if (!::GetOverlappedResult(handle, &read, &got, wait ? TRUE : FALSE)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_IO_INCOMPLETE)
                return;
            // a cancelled read is no failure of the device
            failed = error != ERROR_OPERATION_ABORTED;
            got = 0;
        }
        readPending = false;
        inboxStart = 0;
        inboxEnd = got;
    }

    // Starts a read into the empty inbox unless one is pending.
    void startRead()
    {
        if (readPending || inboxStart < inboxEnd || handle == INVALID_HANDLE_VALUE)
            return;
        inboxStart = inboxEnd = 0;
        ::ResetEvent(read.hEvent);
        DWORD got = 0;
        if (::ReadFile(handle, inbox.data(), static_cast<DWORD>(inbox.size()), &got, &read)) {
            inboxEnd = got;
            return;
        }
        if (::GetLastError() == ERROR_IO_PENDING)
            readPending = true;
        else
            failed = true;
    }

    // Drops what was received and not yet taken, a pending read included.
    void dropReceived()
    {
        if (readPending) {
            ::CancelIoEx(handle, &read);
            collect(true);
        }
        inboxStart = inboxEnd = 0;
    }
};

namespace {

DWORD remainingMs(SerialDevice::Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - SerialDevice::Clock::now());
    return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

} // namespace

SerialDevice::SerialDevice()
    : m_native(std::make_unique<Native>())
{
    m_native->read.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_native->write.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

SerialDevice::~SerialDevice()
{
    close();
    ::CloseHandle(m_native->read.hEvent);
    ::CloseHandle(m_native->write.hEvent);
}

std::string SerialDevice::pathFor(const std::string &name)
{
    // "COM10" and above open only through the device namespace; it serves
    // "COM1" to "COM9" as well
    if (name.rfind("\\\\", 0) == 0)
        return name;
    return "\\\\.\\" + name;
}

bool SerialDevice::open(const std::string &path)
{
    close();
    Native &n = *m_native;
    // no sharing: the line belongs to this port alone while it is open
    n.handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
    if (n.handle == INVALID_HANDLE_VALUE)
        return false;
    n.failed = false;
    // A device that reports no modem lines is no UART: under Wine a COM
    // port that is a pseudo-terminal (a simulated module) has no line time.
    DWORD modem = 0;
    n.lineTime = ::GetCommModemStatus(n.handle, &modem) != FALSE;
    return true;
}

bool SerialDevice::configure(const SerialLine &line)
{
    const HANDLE handle = m_native->handle;
    // reads complete 1 ms after the last byte; writes may take 10 ms per
    // byte plus one second
    COMMTIMEOUTS timeouts {};
    timeouts.ReadIntervalTimeout = 1;
    timeouts.WriteTotalTimeoutMultiplier = 10;
    timeouts.WriteTotalTimeoutConstant = 1000;
    if (!::SetCommTimeouts(handle, &timeouts) || !::SetCommMask(handle, EV_RXCHAR))
        return false;

    DCB dcb {};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle, &dcb))
        return false;
    dcb.BaudRate = line.baudRate;
    dcb.ByteSize = line.dataBits;
    switch (line.parity) {
    case 1:
        dcb.Parity = ODDPARITY;
        break;
    case 2:
        dcb.Parity = EVENPARITY;
        break;
    case 3:
        dcb.Parity = MARKPARITY;
        break;
    default:
        dcb.Parity = NOPARITY;
        break;
    }
    dcb.StopBits = line.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = line.parity != 0 ? TRUE : FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    return ::SetCommState(handle, &dcb) != FALSE;
}

void SerialDevice::close()
{
    Native &n = *m_native;
    if (n.handle == INVALID_HANDLE_VALUE)
        return;
    // the driver must be done with the buffers before they are reused
    n.dropReceived();
    ::CloseHandle(n.handle);
    n.handle = INVALID_HANDLE_VALUE;
}

bool SerialDevice::isOpen() const
{
    return m_native->handle != INVALID_HANDLE_VALUE;
}

bool SerialDevice::hasLineTime() const
{
    return m_native->lineTime;
}

void SerialDevice::purge(SerialPurge which)
{
    Native &n = *m_native;
    n.dropReceived();
    ::PurgeComm(n.handle, which == SerialPurge::Both ? PURGE_RXCLEAR | PURGE_TXCLEAR : PURGE_RXCLEAR);
}

bool SerialDevice::write(const uint8_t *data, std::size_t length, Clock::time_point deadline)
{
    Native &n = *m_native;
    ::ResetEvent(n.write.hEvent);
    DWORD written = 0;
    if (!::WriteFile(n.handle, data, static_cast<DWORD>(length), &written, &n.write)) {
        if (::GetLastError() != ERROR_IO_PENDING)
            return false;
        if (::WaitForSingleObject(n.write.hEvent, remainingMs(deadline)) != WAIT_OBJECT_0) {
            ::CancelIoEx(n.handle, &n.write);
            ::GetOverlappedResult(n.handle, &n.write, &written, TRUE);
            return false;
        }
        if (!::GetOverlappedResult(n.handle, &n.write, &written, FALSE))
            return false;
    }
    // the driver's queue has gone to the line before the input may be purged
    return written == length && ::FlushFileBuffers(n.handle) != FALSE;
}

SerialWait SerialDevice::wait(const WakeSignal &wake, int waitMs)
{
    Native &n = *m_native;
    SerialWait result;
    const HANDLE wakeEvent = static_cast<HANDLE>(wake.event());
    n.startRead();
    if (n.readPending) {
        const HANDLE events[2] = {n.read.hEvent, wakeEvent};
        ::WaitForMultipleObjects(wakeEvent != nullptr ? 2 : 1, events, FALSE,
                                 static_cast<DWORD>(std::max(waitMs, 0)));
        n.collect(false);
    }
    result.woken = wakeEvent != nullptr && ::WaitForSingleObject(wakeEvent, 0) == WAIT_OBJECT_0;
    // a device that fails its reads (an adapter pulled out) counts as hung up
    result.hungUp = n.failed;
    n.failed = false;
    return result;
}

std::ptrdiff_t SerialDevice::read(uint8_t *buffer, std::size_t size)
{
    Native &n = *m_native;
    const std::size_t count = std::min(size, n.inboxEnd - n.inboxStart);
    std::copy_n(n.inbox.data() + n.inboxStart, count, buffer);
    n.inboxStart += count;
    return static_cast<std::ptrdiff_t>(count);
}

} // namespace qx
