// The input layer: a DirectInput-style object with the system keyboard and mouse,
// polled as whole device states, with the original result codes.
#pragma once
#include <cstdint>

#include "platform/win.h"

using BYTE = uint8_t;

constexpr DWORD DIRECTINPUT_VERSION = 0x0300;

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_NOTATTACHED = 1;
constexpr HRESULT DIERR_GENERIC = HRESULT(0x80004005u);
constexpr HRESULT DIERR_NOINTERFACE = HRESULT(0x80004002u);
constexpr HRESULT DIERR_INVALIDPARAM = HRESULT(0x80070057u);
constexpr HRESULT DIERR_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT DIERR_NOTACQUIRED = HRESULT(0x8007000Cu);
constexpr HRESULT DIERR_INPUTLOST = HRESULT(0x8007001Eu);
constexpr HRESULT DIERR_NOTINITIALIZED = HRESULT(0x80070015u);
constexpr HRESULT DIERR_ACQUIRED = HRESULT(0x800700AAu);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = HRESULT(0x80070005u);
constexpr HRESULT DIERR_DEVICENOTREG = HRESULT(0x80040154u);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = HRESULT(0x8007047Eu);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = HRESULT(0x80070481u);

constexpr DWORD DISCL_EXCLUSIVE = 0x1;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
constexpr DWORD DISCL_FOREGROUND = 0x4;
constexpr DWORD DISCL_BACKGROUND = 0x8;

struct GUID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
inline bool operator==(const GUID& a, const GUID& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; i++)
        if (a.data4[i] != b.data4[i]) return false;
    return true;
}
extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;

// A device data format; this layer knows the two standard ones by their size.
struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    const void* rgodf;
};
extern const DIDATAFORMAT c_dfDIKeyboard;  // 256 bytes, one per key code; 0x80 is down
extern const DIDATAFORMAT c_dfDIMouse;     // DIMOUSESTATE: relative axes

struct DIMOUSESTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[4];
};
static_assert(sizeof(DIMOUSESTATE) == 16);

class IDirectInputDevice {
public:
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetDataFormat(const DIDATAFORMAT* format);
    HRESULT Acquire();
    HRESULT Unacquire();
    HRESULT GetDeviceState(DWORD size, void* data);
    ULONG Release();

    // For the hosts and tests.
    bool IsKeyboard() const { return keyboard; }
    bool Acquired() const { return acquired; }

private:
    friend class IDirectInput;
    explicit IDirectInputDevice(bool isKeyboard) : keyboard(isKeyboard) {}
    bool keyboard;
    bool cooperative = false;
    const DIDATAFORMAT* format = nullptr;
    bool acquired = false;
    ULONG refs = 1;
};

class IDirectInput {
public:
    HRESULT CreateDevice(const GUID& guid, IDirectInputDevice** device, void* outer);
    ULONG Release();

private:
    friend HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, IDirectInput** object, void* outer);
    IDirectInput() = default;
    ULONG refs = 1;
};

HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, IDirectInput** object, void* outer);
