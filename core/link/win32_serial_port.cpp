#ifdef _WIN32

#include "core/link/win32_serial_port.h"

#include <windows.h>

namespace rt62 {

Win32SerialPort::Win32SerialPort(std::string devicePath)
    : path_(std::move(devicePath)), handle_(INVALID_HANDLE_VALUE) {}

Win32SerialPort::~Win32SerialPort() {
    Close();
}

bool Win32SerialPort::IsOpen() const {
    return handle_ != INVALID_HANDLE_VALUE;
}

void Win32SerialPort::NoteFailure() {
    // Time-outs are not failures of the call; these errors mean the device is gone.
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_OPERATION_ABORTED:
        lost_ = true;
        break;
    default:
        break;
    }
}

bool Win32SerialPort::Open(const LineSettings& settings) {
    if (IsOpen()) Close();
    lost_ = false;
    HANDLE h =
        CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A COM port held by another program answers "access denied".
        const DWORD e = GetLastError();
        SetOpenError(e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION ? OpenError::Busy
                     : e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? OpenError::NotFound
                                                                              : OpenError::Other);
        return false;
    }
    SetOpenError(OpenError::None);
    handle_ = h;
    SetupComm(h, static_cast<DWORD>(kPortQueueSize), static_cast<DWORD>(kPortQueueSize));
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = kReadIntervalMs;
    t.ReadTotalTimeoutMultiplier = kReadPerByteMs;
    t.ReadTotalTimeoutConstant = kReadConstantMs;
    t.WriteTotalTimeoutMultiplier = kWritePerByteMs;
    t.WriteTotalTimeoutConstant = kWriteConstantMs;
    SetCommTimeouts(h, &t);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool ok = GetCommState(h, &dcb) != 0;
    if (ok) {
        dcb.BaudRate = settings.baudRate;
        dcb.ByteSize = settings.byteSize;
        dcb.Parity = settings.parity;
        dcb.StopBits = settings.stopBits;
        dcb.fParity = 0;
        dcb.fBinary = 1;
        dcb.fOutxCtsFlow = 0;
        dcb.fOutxDsrFlow = 0;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fOutX = 0;
        dcb.fInX = 0;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        dcb.XonLim = 100;
        dcb.XoffLim = 100;
        ok = SetCommState(h, &dcb) != 0;
    }
    // A port left open with settings it refused would be taken as ready by the next transfer.
    if (!ok) {
        Close();
        SetOpenError(OpenError::Settings);
    }
    return ok;
}

void Win32SerialPort::Close() {
    if (!IsOpen()) return;
    HANDLE h = static_cast<HANDLE>(handle_);
    EscapeCommFunction(h, CLRDTR);
    PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    SetCommMask(h, 0);
    CloseHandle(h);
    handle_ = INVALID_HANDLE_VALUE;
}

bool Win32SerialPort::Write(const std::uint8_t* data, std::size_t n) {
    if (!IsOpen() || n > kPortQueueSize) return false;
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), data, static_cast<DWORD>(n), &written, nullptr)) {
        NoteFailure();
        return false;
    }
    return written >= n;
}

bool Win32SerialPort::TakeLineError() {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(static_cast<HANDLE>(handle_), &errors, &stat)) {
        NoteFailure();
        return false;
    }
    return errors != 0;
}

ReadResult Win32SerialPort::ReadExact(std::uint8_t* data, std::size_t n) {
    if (!IsOpen()) return ReadResult::NoData;
    if (TakeLineError()) return ReadResult::LineError;
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), data, static_cast<DWORD>(n), &got, nullptr)) {
        NoteFailure();
        return ReadResult::NoData;
    }
    return got == n ? ReadResult::Ok : ReadResult::NoData;
}

ReadResult Win32SerialPort::ReadByte(std::uint8_t& out, std::size_t& count) {
    if (!IsOpen()) return ReadResult::NoData;
    if (TakeLineError()) return ReadResult::LineError;
    DWORD got = 0;
    std::uint8_t b = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), &b, 1, &got, nullptr)) {
        NoteFailure();
        return ReadResult::NoData;
    }
    count = got;
    if (got == 1) out = b;
    return ReadResult::Ok;
}

void Win32SerialPort::PurgeInput() {
    if (IsOpen()) PurgeComm(static_cast<HANDLE>(handle_), PURGE_RXABORT | PURGE_RXCLEAR);
}

} // namespace rt62

#endif
