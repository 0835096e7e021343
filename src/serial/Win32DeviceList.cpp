#include "Win32DeviceList.h"

#include "PortFriendlyName.h"

#include <qt_windows.h>
#include <setupapi.h>

#include <iterator>

namespace {

// The device setup class of serial and parallel ports.
constexpr GUID kPortsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

QString devicePath(const QString &portName)
{
    return QStringLiteral("\\\\.\\") + portName;
}

QString registryText(HKEY key, const wchar_t *name)
{
    wchar_t value[256];
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    value[size / sizeof(wchar_t)] = L'\0';
    return QString::fromWCharArray(value);
}

QVector<SerialDevice> portsClassDevices()
{
    QVector<SerialDevice> devices;
    HDEVINFO set = ::SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return devices;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        wchar_t name[512];
        DWORD type = 0;
        if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, &type,
                                                 reinterpret_cast<BYTE *>(name),
                                                 sizeof(name) - sizeof(wchar_t), nullptr))
            continue;
        name[std::size(name) - 1] = L'\0';
        const QString friendlyName = QString::fromWCharArray(name);
        QString portName = PortFromFriendlyName(friendlyName);
        if (portName.isEmpty()) {
            // A driver may leave the port out of the name; the device's own key holds it.
            HKEY key = ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
            if (key != INVALID_HANDLE_VALUE) {
                portName = registryText(key, L"PortName");
                ::RegCloseKey(key);
            }
        }
        if (!portName.isEmpty())
            devices.push_back({friendlyName, portName, devicePath(portName)});
    }
    ::SetupDiDestroyDeviceInfoList(set);
    return devices;
}

QVector<SerialDevice> serialDeviceMap()
{
    QVector<SerialDevice> devices;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return devices;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = DWORD(std::size(name));
        wchar_t value[64];
        DWORD size = sizeof(value) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                            reinterpret_cast<BYTE *>(value), &size);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        value[size / sizeof(wchar_t)] = L'\0';
        const QString portName = QString::fromWCharArray(value);
        devices.push_back({QString::fromWCharArray(name, int(nameLength)), portName, devicePath(portName)});
    }
    ::RegCloseKey(key);
    return devices;
}

} // namespace

QVector<SerialDevice> ListWindowsPorts()
{
    QVector<SerialDevice> devices = portsClassDevices();
    if (devices.isEmpty())
        devices = serialDeviceMap();
    return devices;
}
