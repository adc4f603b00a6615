#include "platform/web/web_keys.h"

#include <cstring>

namespace {

struct CodeName {
    const char* code;
    int scancode;
};

// KeyboardEvent.code of the keys beyond letters and digits, by USB usage.
constexpr CodeName kCodes[] = {
    {"Enter", 40},         {"Escape", 41},       {"Backspace", 42},     {"Tab", 43},
    {"Space", 44},         {"Minus", 45},        {"Equal", 46},         {"BracketLeft", 47},
    {"BracketRight", 48},  {"Backslash", 49},    {"IntlBackslash", 100}, {"Semicolon", 51},
    {"Quote", 52},         {"Backquote", 53},    {"Comma", 54},         {"Period", 55},
    {"Slash", 56},         {"CapsLock", 57},     {"F1", 58},            {"F2", 59},
    {"F3", 60},            {"F4", 61},           {"F5", 62},            {"F6", 63},
    {"F7", 64},            {"F8", 65},           {"F9", 66},            {"F10", 67},
    {"F11", 68},           {"F12", 69},          {"PrintScreen", 70},   {"ScrollLock", 71},
    {"Pause", 72},         {"Insert", 73},       {"Home", 74},          {"PageUp", 75},
    {"Delete", 76},        {"End", 77},          {"PageDown", 78},      {"ArrowRight", 79},
    {"ArrowLeft", 80},     {"ArrowDown", 81},    {"ArrowUp", 82},       {"NumLock", 83},
    {"NumpadDivide", 84},  {"NumpadMultiply", 85}, {"NumpadSubtract", 86}, {"NumpadAdd", 87},
    {"NumpadEnter", 88},   {"Numpad1", 89},      {"Numpad2", 90},       {"Numpad3", 91},
    {"Numpad4", 92},       {"Numpad5", 93},      {"Numpad6", 94},       {"Numpad7", 95},
    {"Numpad8", 96},       {"Numpad9", 97},      {"Numpad0", 98},       {"NumpadDecimal", 99},
    {"ContextMenu", 101},  {"ControlLeft", 224}, {"ShiftLeft", 225},    {"AltLeft", 226},
    {"MetaLeft", 227},     {"ControlRight", 228}, {"ShiftRight", 229},  {"AltRight", 230},
    {"MetaRight", 231},
};

}  // namespace

int WebCodeToScancode(const char* code) {
    if (!code) return 0;
    if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == 0) return 4 + code[3] - 'A';
    if (std::strncmp(code, "Digit", 5) == 0 && code[5] >= '0' && code[5] <= '9' && code[6] == 0)
        return code[5] == '0' ? 39 : 30 + code[5] - '1';
    for (const CodeName& c : kCodes)
        if (std::strcmp(code, c.code) == 0) return c.scancode;
    return 0;
}

