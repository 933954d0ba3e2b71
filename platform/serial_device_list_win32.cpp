#include "platform/serial_device_list.h"

#include <windows.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/win32_text.h"

namespace pl3::platform {

namespace {

constexpr int kMaxComNumber = 255;
constexpr std::string_view kDevicePrefix = "\\\\.\\";

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// "COM" and digits, any case: COM0 and COM256 too, which the system then says it lacks.
bool isComName(std::string_view name) {
    constexpr std::size_t kMaxDigits = 6;
    if (name.size() < 4 || name.size() > 3 + kMaxDigits) return false;
    if (upper(std::string(name.substr(0, 3))) != "COM") return false;
    return std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// COM2 before COM10.
int comNumber(std::string_view name) {
    return isComName(name) ? std::stoi(std::string(name.substr(3))) : 0;
}

// The ports the serial drivers have announced: value data of SERIALCOMM are COM names.
std::vector<std::string> announcedPorts() {
    std::vector<std::string> ports;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        wchar_t data[256];
        DWORD nameLength = 256;
        DWORD dataBytes = sizeof data;
        DWORD type = 0;
        LONG result = ::RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        std::wstring port(data, dataBytes / sizeof(wchar_t));
        while (!port.empty() && port.back() == L'\0')
            port.pop_back();
        if (!port.empty()) ports.push_back(win32::utf8(port));
    }
    ::RegCloseKey(key);
    return ports;
}

std::string deviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[512];
    DWORD type = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, property, &type,
                                             reinterpret_cast<BYTE*>(text), sizeof text, nullptr) ||
        type != REG_SZ)
        return {};
    return win32::utf8(text);
}

// What the ports' drivers call their devices ("USB Serial Port"), by COM name.
std::map<std::string, std::string> portDescriptions() {
    std::map<std::string, std::string> descriptions;
    HDEVINFO devices =
        ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return descriptions;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        HKEY key =
            ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        wchar_t name[64];
        DWORD bytes = sizeof name;
        DWORD type = 0;
        LONG result = ::RegQueryValueExW(key, L"PortName", nullptr, &type,
                                         reinterpret_cast<BYTE*>(name), &bytes);
        ::RegCloseKey(key);
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        std::string description = deviceProperty(devices, device, SPDRP_DEVICEDESC);
        if (description.empty()) description = deviceProperty(devices, device, SPDRP_FRIENDLYNAME);
        descriptions[upper(win32::utf8(name))] = description;
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return descriptions;
}

}  // namespace

std::optional<std::string> defaultDeviceForPort(int portNumber) {
    if (portNumber < 1 || portNumber > kMaxComNumber) return std::nullopt;
    return "COM" + std::to_string(portNumber);
}

bool namesDevice(std::string_view port) {
    return port.find_first_of("\\/:") != std::string_view::npos || isComName(port);
}

std::string resolveDevicePath(const std::string& path, const DeviceRoots&) {
    std::string_view name = path;
    if (name.starts_with(kDevicePrefix)) name.remove_prefix(kDevicePrefix.size());
    if (!isComName(name)) return path;
    return upper(std::string(name));
}

std::vector<PresentSerialDevice> listSerialDevices(const DeviceRoots&) {
    const std::map<std::string, std::string> descriptions = portDescriptions();
    std::vector<PresentSerialDevice> devices;
    for (const std::string& port : announcedPorts()) {
        std::string name = resolveDevicePath(port);
        if (std::any_of(devices.begin(), devices.end(),
                        [&](const PresentSerialDevice& d) { return d.path == name; }))
            continue;
        auto described = descriptions.find(name);
        devices.push_back(
            {name, described == descriptions.end() ? std::string() : described->second, {}});
    }
    std::sort(devices.begin(), devices.end(), [](const auto& a, const auto& b) {
        return std::pair(comNumber(a.path), a.path) < std::pair(comNumber(b.path), b.path);
    });
    return devices;
}

// A COM port is asked about by name, not opened: another program may hold it, and it
// still is a port.
PathKind pathKind(const std::string& path) {
    const std::string name = resolveDevicePath(path);
    if (isComName(name)) {
        wchar_t target[512];
        return ::QueryDosDeviceW(win32::wide(name).c_str(), target, 512) != 0
                   ? PathKind::CharacterDevice
                   : PathKind::Missing;
    }
    return ::GetFileAttributesW(win32::wide(path).c_str()) == INVALID_FILE_ATTRIBUTES
               ? PathKind::Missing
               : PathKind::Other;
}

}  // namespace pl3::platform
