// Random setting data for round-trip tests.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "setting/setting_data.h"

namespace qn410::test {

class RandomText {
  public:
    explicit RandomText(uint32_t seed) : rng(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Coin() { return Int(0, 1) == 1; }
    template <typename T>
    void Set(T& field, int lo, int hi) {
        field = static_cast<T>(Int(lo, hi));
    }
    // Up to maxLen characters: ASCII letters and digits mixed with half-width katakana
    // (0xA1..0xDF); no blanks. Often exactly maxLen long.
    std::string Name(int maxLen);
    // Up to maxLen decimal digits (at least one).
    std::string Digits(int maxLen);
    // A station number of up to 6 digits, or "not set" (-1) when set is false.
    template <typename N>
    void Number(N& n, bool set);
    // "HH:MM"; with oftenZero each part is 0 half of the time.
    void Time(TimeOfDay& t, bool oftenZero);
    std::mt19937 rng;
};

// Fills data with random values that the setting file carries unchanged: every field stored in
// the file varies, display copies hold what reading a file leaves in them, and the zone tables
// stay as they were.
void FillRandomFileData(SettingData& data, uint32_t seed);

}  // namespace qn410::test
