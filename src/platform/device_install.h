#pragma once
// The device-installation service (which devices are present, their
// instance ids and interface paths) and device I/O on an interface path.
// Everything is called on the UI thread and answers at once.
#include <cstdint>
#include <span>
#include <string>

#include "platform/guid.h"

namespace mixora {

// A list of present devices; 0 is no list.
using HDEVINFO = std::uintptr_t;
// An open device interface; 0 is no handle.
using HANDLE = std::uintptr_t;

class IDeviceInstall {
public:
    virtual ~IDeviceInstall() = default;

    // The present devices that expose interfaces of `interfaceClass`; 0 when
    // the list cannot be made. The list lives until DestroyDeviceInfoList.
    virtual HDEVINFO GetClassDevs(const GUID& interfaceClass) = 0;
    // Whether device `index` exists in the list (indices run from 0 without gaps).
    virtual bool EnumDeviceInfo(HDEVINFO list, std::uint32_t index) = 0;
    // The device's instance id as the system spells it; false when it cannot be read.
    virtual bool GetDeviceInstanceId(HDEVINFO list, std::uint32_t device, std::string* id) = 0;
    // Whether the device has an interface number `index` of the class.
    virtual bool EnumDeviceInterfaces(HDEVINFO list, std::uint32_t device,
                                      const GUID& interfaceClass, std::uint32_t index) = 0;
    // The path of that interface; false when its detail cannot be read.
    virtual bool GetDeviceInterfaceDetail(HDEVINFO list, std::uint32_t device,
                                          const GUID& interfaceClass, std::uint32_t index,
                                          std::string* devicePath) = 0;
    virtual void DestroyDeviceInfoList(HDEVINFO list) = 0;

    // Opens an interface path for reading, shared; 0 when it cannot be opened.
    virtual HANDLE CreateFile(const std::string& path) = 0;
    // One synchronous I/O control request. `input` is what the driver reads;
    // `output` is the value buffer, read by the driver on a set and filled
    // on a get. False when the driver refuses the request.
    virtual bool DeviceIoControl(HANDLE device, std::uint32_t ioControlCode,
                                 std::span<const std::uint8_t> input,
                                 std::span<std::uint8_t> output) = 0;
    virtual void CloseHandle(HANDLE device) = 0;
};

} // namespace mixora
