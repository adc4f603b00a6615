#include "platform/dinput.h"

#include <cstring>

#include "platform/faults.h"
#include "platform/hands.h"
#include "platform/host_devices.h"
#include "platform/journal.h"

const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The object lists are not needed: the layer knows both formats by their data size.
const DIDATAFORMAT c_dfDIKeyboard = {24, 16, 0x2, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse = {24, 16, 0x2, sizeof(DIMOUSESTATE), 7, nullptr};

HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, IDirectInput** object, void* outer) {
    HRESULT fault;
    if (TakeFault("DirectInputCreateA", &fault)) return fault;
    if (!object) return DIERR_INVALIDPARAM;
    *object = nullptr;
    if (outer) return DIERR_NOINTERFACE;
    if (version < DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
    if (version > 0x0700) return DIERR_BETADIRECTINPUTVERSION;
    *object = new IDirectInput();
    return DI_OK;
}

HRESULT IDirectInput::CreateDevice(const GUID& guid, IDirectInputDevice** device, void* outer) {
    HRESULT fault;
    if (TakeFault("IDirectInput::CreateDevice", &fault)) return fault;
    if (!device) return DIERR_INVALIDPARAM;
    *device = nullptr;
    if (outer) return DIERR_NOINTERFACE;
    if (guid == GUID_SysKeyboard) {
        *device = new IDirectInputDevice(true);
    } else if (guid == GUID_SysMouse) {
        *device = new IDirectInputDevice(false);
    } else {
        return DIERR_DEVICENOTREG;
    }
    return DI_OK;
}

ULONG IDirectInput::Release() {
    if (--refs > 0) return refs;
    delete this;
    return 0;
}

HRESULT IDirectInputDevice::SetCooperativeLevel(HWND window, DWORD flags) {
    HRESULT fault;
    if (TakeFault("IDirectInputDevice::SetCooperativeLevel", &fault)) return fault;
    const bool oneOfExclusive = ((flags & DISCL_EXCLUSIVE) != 0) != ((flags & DISCL_NONEXCLUSIVE) != 0);
    const bool oneOfForeground = ((flags & DISCL_FOREGROUND) != 0) != ((flags & DISCL_BACKGROUND) != 0);
    if (!oneOfExclusive || !oneOfForeground || (flags & ~DWORD(0xF)) != 0) return DIERR_INVALIDPARAM;
    if (acquired) return DIERR_ACQUIRED;
    cooperative = true;
    return DI_OK;
}

HRESULT IDirectInputDevice::SetDataFormat(const DIDATAFORMAT* newFormat) {
    HRESULT fault;
    if (TakeFault("IDirectInputDevice::SetDataFormat", &fault)) return fault;
    if (!newFormat) return DIERR_INVALIDPARAM;
    if (acquired) return DIERR_ACQUIRED;
    const DWORD expected = keyboard ? 256 : DWORD(sizeof(DIMOUSESTATE));
    if (newFormat->dwDataSize != expected) return DIERR_INVALIDPARAM;
    format = newFormat;
    return DI_OK;
}

HRESULT IDirectInputDevice::Acquire() {
    HRESULT fault;
    if (TakeFault("IDirectInputDevice::Acquire", &fault)) return fault;
    if (!format) return DIERR_INVALIDPARAM;
    if (acquired) return DI_NOTATTACHED;  // already acquired: S_FALSE, still a success
    acquired = true;
    if (keyboard) {
        HostAcquireKeyboard();
    } else {
        HostAcquireMouse();
    }
    return DI_OK;
}

HRESULT IDirectInputDevice::Unacquire() {
    HRESULT fault;
    if (TakeFault("IDirectInputDevice::Unacquire", &fault)) return fault;
    if (!acquired) return DI_NOTATTACHED;
    acquired = false;
    if (!keyboard) HostUnacquireMouse();
    return DI_OK;
}

HRESULT IDirectInputDevice::GetDeviceState(DWORD size, void* data) {
    HRESULT fault;
    if (TakeFault("IDirectInputDevice::GetDeviceState", &fault)) return fault;
    if (!data || !format || size != format->dwDataSize) return DIERR_INVALIDPARAM;
    if (!acquired) return DIERR_NOTACQUIRED;
    if (JournalReplaying()) return JournalDeviceState(keyboard, DI_OK, data);
    if (keyboard) {
        uint8_t state[256];
        HostReadKeyboard(state);
        HandsReadKeyboard(state);
        std::memcpy(data, state, sizeof state);
    } else {
        DIMOUSESTATE state{};
        HostReadMouse(&state.lX, &state.lY, &state.lZ, state.rgbButtons);
        HandsReadMouse(&state.lX, &state.lY, state.rgbButtons);
        std::memcpy(data, &state, sizeof state);
    }
    return JournalDeviceState(keyboard, DI_OK, data);
}

ULONG IDirectInputDevice::Release() {
    if (--refs > 0) return refs;
    if (acquired && !keyboard) HostUnacquireMouse();
    delete this;
    return 0;
}
