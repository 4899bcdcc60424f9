// The C/O trunk editor's working copy (the C/O time-out and the two C/O lines of each of the
// 16 exchanges), the rules by which a receiving-station cell changes an entry, and the checks
// of Overwrite and Upload. Only well-formed entries are stored; anything else leaves the entry
// as it was and the caller redraws its row.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "setting/setting_data.h"

namespace qn410 {

struct TrunkBlock {
    uint8_t LineCntLimit;
    TrunkLineSetting Line[kTrunkLineCount];
    bool operator==(const TrunkBlock&) const = default;
};
using TrunkCopy = std::array<TrunkBlock, kExchangeCount>;

inline constexpr int kAccessNotValid = 99;  // an access number typed outside 0..9
inline constexpr int kTimeOutNotValid = 0;  // a C/O time-out typed outside 1..99
inline constexpr int kMaxTimeOut = 99;

TrunkCopy LoadTrunks(const SettingData& data);
void StoreTrunks(const TrunkCopy& copy, SettingData& data);
// Differs in anything but the receiving stations' display copies (derived from the masters).
bool TrunksDiffer(const TrunkCopy& copy, const SettingData& data);

// The display copies (number and name) of receiving entry k from the masters of data.
void RefreshReceiver(TrunkLineSetting& line, int k, const SettingData& data);
void ClearReceiver(TrunkLineSetting& line, int k);

// Receiving-station cells. "Exchange": 1..SwitchCnt, "Line": 1..4, both clearing the entry when
// empty; "Station": the number of a master of any exchange in use, which sets both.
bool EnterReceiverExchange(TrunkLineSetting& line, int k, std::string_view text,
                           const SettingData& data);
bool EnterReceiverMaster(TrunkLineSetting& line, int k, std::string_view text,
                         const SettingData& data);
bool EnterReceiverStation(TrunkLineSetting& line, int k, std::string_view text,
                          const SettingData& data);

// A line name: at most 8 characters, each printable ASCII 0x20..0x7D or katakana 0xA1..0xDF.
bool ValidLineName(std::string_view name);

enum class TrunkField { TimeOut, Name, Access, Receivers };
struct TrunkFailure {
    std::string message;
    int exchange = 0;  // 1..16
    int line = 0;      // 0 or 1
    TrunkField field = TrunkField::TimeOut;
    int row = 0;  // the receiving entry, for TrunkField::Receivers
};
// nameTooLong: names typed longer than the field holds (held cut until corrected).
using NameOverflow = std::array<std::array<bool, kTrunkLineCount>, kExchangeCount>;
std::optional<TrunkFailure> ValidateTrunks(const TrunkCopy& copy, const NameOverflow& nameTooLong,
                                           const SettingData& data);

}  // namespace qn410
