// What a sender gives the record encoder besides the command letter.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "setting/clock.h"
#include "setting/setting_data.h"

namespace qn410 {

struct RecordRequest {
    uint8_t exchange = 0;       // 1..16, or 0 for all exchanges (A, Q)
    uint8_t station = 0;        // master station 1..4 (B, E, G, K, L, T, U); N: the station byte
    uint8_t substation = 0;     // 1..64 (C)
    uint8_t zone = 0;           // paging zone 1..19 (H, I)
    uint8_t sourceZone = 0;     // zone 1..19 of the external source distribution (J)
    int16_t firstEntry = 0;     // K: first entry of the block in the send table, from 1
    int16_t lastEntry = 0;      // K: number of entries in the send table
    uint8_t blockPosition = 0;  // K: 1 first, 0 middle, 2 last, 3 the only block
    uint8_t doorLockTime = 0;   // K: door lock time of the station, 1..10

    const SettingData* data = nullptr;     // A..J, L, M, U: the data the record is built from
    std::span<const DialEntry> sendTable;  // K: the packed entries being uploaded
    std::string_view text;                 // N: the number to dial; O, P: the sixteen request bytes
    const Clock* clock = nullptr;          // A: the PC clock; nullptr uses the system clock
};

}  // namespace qn410
