#pragma once
// Scripted stand-ins for the device seams: device installation and I/O, the
// mixer and DirectSound. Each records what the program sent, so tests can
// check the exact requests, and can be told where to fail.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/device_install.h"
#include "platform/directsound.h"
#include "platform/ks_properties.h"
#include "platform/mixer.h"
#include "platform/system_info.h"

namespace mixora {

struct FakeDebugOutput : IDebugOutput {
    std::vector<std::string> lines;
    void OutputDebugString(const std::string& text) override { lines.push_back(text); }
};

// ---- device installation and I/O -----------------------------------------

struct FakeDevice {
    std::string instanceId;
    std::vector<std::string> paths;
};

struct SentRequest {
    std::string path;
    std::uint32_t code = 0;
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> value; // as the driver received it
    KsProperty property() const { return *KsProperty::Parse(header); }
};

class FakeDeviceInstall : public IDeviceInstall {
public:
    std::vector<FakeDevice> devices;
    bool openFails = false;
    // Answers a request (a get fills `value`); default: every request succeeds.
    std::function<bool(const KsProperty&, std::span<std::uint8_t>)> answer;

    std::vector<SentRequest> sent;
    std::vector<std::string> opened;
    int closes = 0, listsMade = 0, listsDestroyed = 0;

    HDEVINFO GetClassDevs(const GUID&) override { return ++listsMade, 77; }
    bool EnumDeviceInfo(HDEVINFO, std::uint32_t index) override { return index < devices.size(); }
    bool GetDeviceInstanceId(HDEVINFO, std::uint32_t device, std::string* id) override {
        return *id = devices.at(device).instanceId, true;
    }
    bool EnumDeviceInterfaces(HDEVINFO, std::uint32_t device, const GUID&,
                              std::uint32_t index) override {
        return index < devices.at(device).paths.size();
    }
    bool GetDeviceInterfaceDetail(HDEVINFO, std::uint32_t device, const GUID&, std::uint32_t index,
                                  std::string* path) override {
        return *path = devices.at(device).paths.at(index), true;
    }
    void DestroyDeviceInfoList(HDEVINFO) override { ++listsDestroyed; }
    HANDLE CreateFile(const std::string& path) override {
        return openFails ? 0 : (opened.push_back(path), 5);
    }
    bool DeviceIoControl(HANDLE, std::uint32_t code, std::span<const std::uint8_t> input,
                         std::span<std::uint8_t> output) override {
        sent.push_back(
            {opened.back(), code, {input.begin(), input.end()}, {output.begin(), output.end()}});
        return !answer || answer(*KsProperty::Parse(input), output);
    }
    void CloseHandle(HANDLE) override { ++closes; }
};

// ---- mixer ------------------------------------------------------------------

struct FakeMixerDevice {
    std::uint32_t destinations = 4;
    std::vector<MixerLine> lines;                                // destinations and sources
    std::map<std::uint32_t, std::vector<MixerControl>> controls; // by line id
};

// Device n opens as handle 100 + n; destination lines have ids 0xFFFF0000 and up.
class FakeMixer : public IMixer {
public:
    std::vector<FakeMixerDevice> devices;
    std::map<std::uint32_t, std::uint32_t> values; // by control id, what reads give
    std::vector<std::uint32_t> openedDevices, openFlags;
    std::vector<HMIXER> closed;
    std::vector<MixerControlDetails> writes;

    std::uint32_t GetNumDevs() override { return static_cast<std::uint32_t>(devices.size()); }
    MMRESULT GetDevCaps(std::uint32_t device, MixerCaps* caps) override {
        caps->cDestinations = devices.at(device).destinations;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Open(std::uint32_t device, std::uint32_t flags, HMIXER* mixer) override {
        openedDevices.push_back(device);
        openFlags.push_back(flags);
        *mixer = 100 + device;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close(HMIXER mixer) override { return closed.push_back(mixer), MMSYSERR_NOERROR; }
    MMRESULT GetLineInfo(HMIXER mixer, MixerLine* line, std::uint32_t flags) override {
        for (const MixerLine& l : devices.at(mixer - 100).lines) {
            const bool destination = l.dwLineID >= 0xFFFF0000u;
            const bool sameDestination = l.dwDestination == line->dwDestination;
            if ((flags == MIXER_GETLINEINFOF_DESTINATION && destination && sameDestination) ||
                (flags == MIXER_GETLINEINFOF_SOURCE && !destination && sameDestination &&
                 l.dwSource == line->dwSource) ||
                (flags == MIXER_GETLINEINFOF_LINEID && l.dwLineID == line->dwLineID) ||
                (flags == MIXER_GETLINEINFOF_COMPONENTTYPE &&
                 l.dwComponentType == line->dwComponentType)) {
                return *line = l, MMSYSERR_NOERROR;
            }
        }
        return MIXERR_INVALLINE;
    }
    MMRESULT GetLineControls(HMIXER mixer, std::uint32_t lineId,
                             std::vector<MixerControl>* out) override {
        return *out = devices.at(mixer - 100).controls[lineId], MMSYSERR_NOERROR;
    }
    MMRESULT GetControlDetails(HMIXER, MixerControlDetails* details) override {
        return details->values.assign(details->cChannels, values[details->dwControlID]),
               MMSYSERR_NOERROR;
    }
    MMRESULT SetControlDetails(HMIXER, const MixerControlDetails& details) override {
        return writes.push_back(details), MMSYSERR_NOERROR;
    }
};

// ---- DirectSound --------------------------------------------------------------

struct FakeDirectSoundScript {
    bool createFails = false, setFails = false;
    std::uint32_t support = KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET;

    std::vector<std::pair<const GUID*, std::string>> enumerated; // devices to list
    std::vector<std::optional<GUID>> createdOn;
    int enumerations = 0;
    int alive = 0; // objects not yet released
};

// Every object counts itself in `alive` while it exists.
class FakeDirectSound : public IDirectSoundApi {
public:
    FakeDirectSoundScript script;

    HRESULT DirectSoundEnumerate(const EnumCallback& callback) override {
        ++script.enumerations;
        for (const auto& [guid, description] : script.enumerated) {
            if (!callback(guid, description, "fake.sys"))
                break;
        }
        return DS_OK;
    }
    HRESULT DirectSoundCreate(const GUID* device, std::unique_ptr<IDirectSound>* out) override {
        script.createdOn.push_back(device ? std::optional<GUID>(*device) : std::nullopt);
        return Make<Device>(script.createFails, out);
    }

private:
    struct Counted {
        explicit Counted(FakeDirectSoundScript& s) : script(s) { ++script.alive; }
        ~Counted() { --script.alive; }
        FakeDirectSoundScript& script;
    };
    template <class T, class I> HRESULT Make(bool fails, std::unique_ptr<I>* out) {
        if (fails)
            return DSERR_GENERIC;
        *out = std::make_unique<T>(script);
        return DS_OK;
    }
    static bool Global(const GUID& set, std::uint32_t id) {
        return set == DSPROPSETID_DirectSoundSensaura && id == 6;
    }
    struct PropertySet : IKsPropertySet, Counted {
        using Counted::Counted;
        HRESULT QuerySupport(const GUID& set, std::uint32_t id, std::uint32_t* support) override {
            if (!Global(set, id))
                return E_PROP_ID_UNSUPPORTED;
            *support = script.support;
            return DS_OK;
        }
        HRESULT Set(const GUID& set, std::uint32_t id, std::span<const std::uint8_t> instance,
                    std::span<const std::uint8_t> data) override {
            if (script.setFails || !Global(set, id) || !instance.empty())
                return DSERR_GENERIC;
            return data.empty() ? DSERR_GENERIC : DS_OK;
        }
    };
    struct Buffer : IDirectSoundBuffer, Counted {
        using Counted::Counted;
        HRESULT QueryInterface(const GUID& iid, std::unique_ptr<IKsPropertySet>* out) override {
            if (iid != IID_IKsPropertySet)
                return E_NOINTERFACE;
            *out = std::make_unique<PropertySet>(script);
            return DS_OK;
        }
    };
    struct Device : IDirectSound, Counted {
        using Counted::Counted;
        HRESULT SetCooperativeLevel(std::uint32_t level) override {
            return level != DSSCL_EXCLUSIVE ? DSERR_GENERIC : DS_OK;
        }
        HRESULT CreateSoundBuffer(const DSBUFFERDESC&,
                                  std::unique_ptr<IDirectSoundBuffer>* out) override {
            *out = std::make_unique<Buffer>(script);
            return DS_OK;
        }
    };
};

} // namespace mixora
