// Lists the serial ports the registry knows and opens the chosen one for the cutter: 38400
// 8N1, output held while CTS is low, write time-outs, queues purged; any refusal fails it.
#include "serial_port.h"

#include <windows.h>

#include <string>

#include "engine/cutter_line.h"
#include "engine/platform/system_error.h"
#include "registry_key.h"
#include "serial_comm_data.h"

namespace {

constexpr DWORD kWriteTimeoutPerByteMs = 1000;
constexpr DWORD kWriteTimeoutConstantMs = 1000;

// The first setting the port refuses ends the set-up: a port left at another
// speed or without flow control would garble the job.
SystemError SetUpCutterLine(HANDLE port) {
    // Reads return at once with what is buffered; the cutter is never read.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = kWriteTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutConstantMs;
    if (!SetCommTimeouts(port, &timeouts)) return SystemError::Last();

    // The driver's other settings stay as they are.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) return SystemError::Last();
    dcb.fOutxCtsFlow = TRUE;
    dcb.BaudRate = harvel::kCutterBaudRate;
    dcb.ByteSize = harvel::kCutterDataBits;
    dcb.Parity = NOPARITY;
    static_assert(harvel::kCutterStopBits == 1);
    dcb.StopBits = ONESTOPBIT;
    if (!SetCommState(port, &dcb)) return SystemError::Last();

    if (!PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR))
        return SystemError::Last();
    return {};
}

}  // namespace

std::vector<uint8_t> ListSerialPorts() {
    std::vector<uint8_t> ports;
    framework::RegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", KEY_READ)) return ports;
    for (DWORD index = 0; ports.size() < kMaxListedPorts; ++index) {
        char name[100];
        DWORD nameSize = sizeof name;
        char data[30] = {};
        DWORD dataSize = sizeof data;
        const LSTATUS status = RegEnumValueA(key.get(), index, name, &nameSize, nullptr, nullptr,
                                             reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        // Any other result still names a port: a value too long for the
        // buffer leaves it zeroed and so lists COM0, which will not open.
        const size_t size = dataSize < sizeof data ? dataSize : sizeof data;
        ports.push_back(PortNumberFromSerialCommData(data, size));
    }
    return ports;
}

framework::OwnedHandle OpenCutterPort(uint8_t portNumber) {
    // The \\.\ prefix makes COM10 and above open too; the plain name works only
    // for COM1 to COM9.
    const std::wstring device = L"\\\\.\\COM" + std::to_wstring(portNumber);
    framework::OwnedHandle port(CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!port.valid() || SetUpCutterLine(port.get())) return {};
    return port;
}
