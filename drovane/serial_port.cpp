// Serial port discovery and opening of the main dialog.
#include <string>

#include "cutter_line.h"
#include "drovane_dlg.h"
#include "message_box.h"
#include "registry_key.h"
#include "serial_comm_data.h"
#include "serial_port.h"

namespace {

// The port's write timeouts: 1000 ms per byte plus 1000 ms.
constexpr DWORD kWriteTimeoutPerByteMs = 1000;
constexpr DWORD kWriteTimeoutConstantMs = 1000;

}  // namespace

// The ports the system lists, in its enumeration order; the first eleven when
// there are more.
void CDrovaneDlg::EnumSerialPorts() {
    m_nPortCount = 0;
    framework::RegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", KEY_READ)) return;
    for (DWORD index = 0; m_nPortCount < kMaxPorts; ++index) {
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
        m_PortNumbers[m_nPortCount++] = PortNumberFromSerialCommData(data, size);
    }
}

void CDrovaneDlg::OpenSerialPort() {
    if (m_bPortOpen) {
        m_bPortOpen = 0;
        m_hComm.Reset(nullptr);
    }
    UpdateData(true);
    const int selection = m_comboPort.GetCurSel();
    UpdateData(false);
    // No entry selected (or the list is empty): nothing to open.
    if (selection < 0 || selection >= m_nPortCount) {
        m_hComm.Reset(INVALID_HANDLE_VALUE);
        framework::ShowMessage(L"open port fail!");
        return;
    }

    // The \\.\ prefix makes COM10 and above open too; the plain name works only
    // for COM1 to COM9.
    const std::wstring device = L"\\\\.\\COM" + std::to_wstring(m_PortNumbers[selection]);
    m_hComm.Reset(CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!m_hComm.valid()) {
        framework::ShowMessage(L"open port fail!");
        return;
    }
    m_bPortOpen = 1;

    // Reads return at once with what is buffered; the cutter is never read.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = kWriteTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutConstantMs;
    SetCommTimeouts(m_hComm.get(), &timeouts);

    // The cutter's line: 38400 baud 8N1, output held while CTS is low; the
    // driver's other settings stay as they are.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(m_hComm.get(), &dcb);
    dcb.fOutxCtsFlow = TRUE;
    dcb.BaudRate = harvel::kCutterBaudRate;
    dcb.ByteSize = harvel::kCutterDataBits;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    SetCommState(m_hComm.get(), &dcb);

    PurgeComm(m_hComm.get(), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

bool WaitForPortDrain(HANDLE port) {
    constexpr ULONGLONG kStallLimitMs = kWriteTimeoutPerByteMs + kWriteTimeoutConstantMs;
    DWORD lastQueued = MAXDWORD;
    ULONGLONG lastProgress = GetTickCount64();
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        // A driver that cannot tell its queue is not waited for.
        if (!ClearCommError(port, &errors, &status)) return true;
        if (status.cbOutQue == 0) return true;
        const ULONGLONG now = GetTickCount64();
        if (status.cbOutQue < lastQueued) {
            lastQueued = status.cbOutQue;
            lastProgress = now;
        } else if (now - lastProgress > kStallLimitMs) {
            return false;
        }
        Sleep(20);
    }
}
