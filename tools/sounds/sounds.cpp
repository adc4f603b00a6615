#include "tools/sounds/sounds.h"

#include <algorithm>
#include <cmath>

#include "tools/kit/image.h"

namespace gen {

namespace {

constexpr float kPi = 3.14159265f;

void PutTag(std::vector<uint8_t>& b, const char* t) {
    for (int i = 0; i < 4; i++) b.push_back(uint8_t(t[i]));
}

// Scales to a common peak, fades both ends to silence so nothing clicks, and
// stores as unsigned bytes around 128.
std::vector<uint8_t> Finish(std::vector<float> s, float peak) {
    size_t fadeIn = std::min<size_t>(s.size() / 4, 44), fadeOut = std::min<size_t>(s.size() / 3, 220);
    for (size_t i = 0; i < fadeIn; i++) s[i] *= float(i) / float(fadeIn);
    for (size_t i = 0; i < fadeOut; i++) s[s.size() - 1 - i] *= float(i) / float(fadeOut);
    float m = 0;
    for (float v : s) m = std::max(m, std::fabs(v));
    if (m > 0)
        for (float& v : s) v *= peak / m;
    if (s.size() % 2) s.push_back(0);
    std::vector<uint8_t> out;
    for (float v : s) out.push_back(uint8_t(std::clamp(std::lround(128.0f + v * 127.0f), 1L, 255L)));
    return out;
}

std::vector<float> Silence(float seconds) { return std::vector<float>(size_t(seconds * kSampleRate), 0.0f); }

// A soft low-passed noise source, deterministic.
struct Noise {
    uint32_t n;
    float lp = 0;
    explicit Noise(uint32_t seed) : n(seed) {}
    float Next(float smooth) {
        float w = Hash01(n++, 17, 99) * 2 - 1;
        lp += (w - lp) * smooth;
        return lp;
    }
};

std::vector<float> Click() {
    auto s = Silence(0.03f);
    Noise nz(1);
    for (size_t i = 0; i < s.size(); i++) {
        float t = float(i) / kSampleRate;
        float env = std::exp(-t * 260.0f);
        s[i] = env * (0.6f * std::sin(2 * kPi * 1800 * t) + 0.5f * nz.Next(0.6f));
    }
    return s;
}

std::vector<float> Key() {
    auto s = Silence(0.02f);
    Noise nz(5);
    for (size_t i = 0; i < s.size(); i++) {
        float t = float(i) / kSampleRate;
        s[i] = std::exp(-t * 400.0f) * (0.5f * std::sin(2 * kPi * 3100 * t) + 0.6f * nz.Next(0.8f));
    }
    return s;
}

// A thing set down in a case: a low body thump and a short cloth or wood noise.
std::vector<float> Drop(int k) {
    const float base[5] = {95, 120, 80, 140, 105};
    const float knock[5] = {0.15f, 0.45f, 0.05f, 0.3f, 0.6f};
    const float len[5] = {0.16f, 0.14f, 0.2f, 0.12f, 0.15f};
    auto s = Silence(len[k]);
    Noise nz(uint32_t(100 + k));
    float phase = 0;
    for (size_t i = 0; i < s.size(); i++) {
        float t = float(i) / kSampleRate;
        float f = base[k] * (1.0f + 0.8f * std::exp(-t * 40.0f));
        phase += 2 * kPi * f / kSampleRate;
        float body = std::sin(phase) * std::exp(-t * 28.0f);
        float thud = nz.Next(0.08f) * 3.0f * std::exp(-t * 60.0f);
        float wood = knock[k] * std::sin(2 * kPi * (520 + 90 * k) * t) * std::exp(-t * 90.0f);
        s[i] = body + thud + wood;
    }
    return s;
}

// A rising major arpeggio with a bell-like tone, the last note held.
std::vector<float> Done() {
    const float notes[] = {523.25f, 659.25f, 783.99f, 1046.5f};
    const float starts[] = {0.0f, 0.11f, 0.22f, 0.33f};
    auto s = Silence(0.9f);
    for (int n = 0; n < 4; n++) {
        float hold = n == 3 ? 0.55f : 0.25f;
        size_t from = size_t(starts[n] * kSampleRate);
        for (size_t i = from; i < s.size(); i++) {
            float t = float(i - from) / kSampleRate;
            if (t > hold + 0.02f) break;
            float env = std::min(1.0f, t / 0.006f) * std::exp(-t * (n == 3 ? 5.0f : 9.0f));
            if (t > hold) env *= 1.0f - (t - hold) / 0.02f;
            float f = notes[n];
            s[i] += env * (std::sin(2 * kPi * f * t) + 0.3f * std::sin(4 * kPi * f * t) + 0.1f * std::sin(6 * kPi * f * t));
        }
    }
    return s;
}

}  // namespace

std::vector<uint8_t> EncodeWav(const std::vector<uint8_t>& samples) {
    std::vector<uint8_t> b;
    PutTag(b, "RIFF");
    Put32(b, uint32_t(4 + 8 + 16 + 8 + samples.size() + samples.size() % 2));
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, kSampleRate);
    Put32(b, kSampleRate);  // bytes per second
    Put16(b, 1);            // block alignment
    Put16(b, 8);            // bits per sample
    PutTag(b, "data");
    Put32(b, uint32_t(samples.size()));
    b.insert(b.end(), samples.begin(), samples.end());
    if (samples.size() % 2) b.push_back(128);
    return b;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> MakeSounds() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    out.push_back({"click", Finish(Click(), 0.6f)});
    for (int k = 0; k < 5; k++) out.push_back({"drop" + std::to_string(k), Finish(Drop(k), 0.85f)});
    out.push_back({"key", Finish(Key(), 0.45f)});
    out.push_back({"done", Finish(Done(), 0.8f)});
    return out;
}

}  // namespace gen
