// Level files as the game reads them: by the rules of formatted input ("%d", "%s",
// literal words, white space matching any amount) without its overflows, so numbers
// beyond 32 bits saturate and a word never runs past its buffer. The game reads its
// files by these, and the level checker its texts. In gives Get() (EOF at the end)
// and Unget(c) for the character just got.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

inline bool LevelSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

template <class In>
void LevelSkipSpace(In& in) {
    int c;
    while ((c = in.Get()) != EOF && LevelSpace(c)) {
    }
    if (c != EOF) in.Unget(c);
}

// White space in text matches any run of it, even none.
template <class In>
bool LevelMatch(In& in, const char* text) {
    for (; *text; text++) {
        if (LevelSpace(static_cast<unsigned char>(*text))) {
            LevelSkipSpace(in);
            continue;
        }
        const int c = in.Get();
        if (c != static_cast<unsigned char>(*text)) {
            if (c != EOF) in.Unget(c);
            return false;
        }
    }
    return true;
}

// An optional sign and digits; clipped (when asked) says the value did not fit.
template <class In>
bool LevelNumber(In& in, int32_t* value, bool* clipped = nullptr) {
    LevelSkipSpace(in);
    int c = in.Get();
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = in.Get();
    }
    if (c == EOF || c < '0' || c > '9') {
        if (c != EOF) in.Unget(c);
        return false;
    }
    int64_t magnitude = 0;
    bool over = false;
    for (; c >= '0' && c <= '9'; c = in.Get()) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > (int64_t(1) << 31)) {
            magnitude = int64_t(1) << 31;
            over = true;
        }
    }
    if (c != EOF) in.Unget(c);
    if (negative) magnitude = -magnitude;
    if (clipped) *clipped = over || magnitude > INT32_MAX || magnitude < INT32_MIN;
    *value = int32_t(std::clamp<int64_t>(magnitude, INT32_MIN, INT32_MAX));
    return true;
}

// One word; length is its whole length, also when it was cut to fit.
template <class In>
bool LevelWord(In& in, char* buffer, size_t size, size_t* length) {
    LevelSkipSpace(in);
    size_t n = 0;
    int c;
    while ((c = in.Get()) != EOF && !LevelSpace(c)) {
        if (n + 1 < size) buffer[n] = char(c);
        n++;
    }
    if (c != EOF) in.Unget(c);
    buffer[std::min(n, size - 1)] = '\0';
    *length = n;
    return n > 0;
}

inline constexpr const char* LEVEL_WORD = "LEVEL ";
inline constexpr const char* ITEMS_WORD = "\nITEMS ";
