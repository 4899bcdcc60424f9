// The whole configuration of one installation: up to 16 exchanges with their stations, trunks,
// paging zones, forwarding functions and dialing tables, plus the tool's own link settings.
//
// SettingData is one trivially copyable block with no pointers. Editors copy a category into a
// working copy and compare it back with the defaulted operator== (member by member, so padding
// never takes part). Text fields are NUL-terminated single-byte strings; the array size includes
// the terminator, so char[9] holds at most 8 characters.
//
// Exchanges are indexed by exchange number - 1 (0..15), stations by equipment number - 1.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace qn410 {

inline constexpr int kExchangeCount = 16;
inline constexpr int kTieLineCount = 4;
inline constexpr int kExternalSourceCount = 4;
inline constexpr int kTrunkLineCount = 2;
inline constexpr int kRxMasterCount = 4;
inline constexpr int kMasterCount = 4;
inline constexpr int kSubCount = 64;
inline constexpr int kSpeakerCount = 16;
inline constexpr int kScanCount = 16;
inline constexpr int kGroupCount = 15;
inline constexpr int kMeetCount = 3;
inline constexpr int kDialCount = 1024;
inline constexpr int kRemoteTelCount = 5;
inline constexpr int kZoneCount = 19;
inline constexpr int32_t kZoneMaskBits = 0x7FFFF;  // zones 1..19 are bits 0..18
inline constexpr int32_t kNoNumber = -1;           // station number value meaning "not set"

// A station in a member list: position in the list (from 1), exchange number, equipment number.
// (0, 0) as exchange and equipment means no station.
struct StationEntry {
    uint8_t Index;
    uint8_t ExchangeNo;
    uint8_t StationNo;
    bool operator==(const StationEntry&) const = default;
};

struct ExchangeNumberEntry {
    uint8_t ExchangeNo;  // always position + 1
    int32_t Value;       // first station number, -1 when not set
    char Text[8];        // at most 6 digits
    bool operator==(const ExchangeNumberEntry&) const = default;
};

struct MaintenanceSetting {
    uint8_t PcConnect;  // 0 RS-232C, 1 Modem
    uint8_t CommPort;   // 0..3 for COM1..COM4
    char TelNo[21];     // modem telephone number
    bool operator==(const MaintenanceSetting&) const = default;
};

struct SystemSetting {
    uint8_t SwitchCnt;   // exchanges in use, 1..16
    uint8_t NumberSize;  // station number digits, 2..6
    uint8_t TieLine[kTieLineCount];
    ExchangeNumberEntry SwNumber[kExchangeCount];
    int32_t OutInZone[kExchangeCount][kExternalSourceCount];  // zone masks
    bool operator==(const SystemSetting&) const = default;
};

// Time of day: Value is hour * 256 + minute, Text its "HH:MM" form.
struct TimeOfDay {
    uint16_t Value;
    char Text[6];
    bool operator==(const TimeOfDay&) const = default;
};

struct FunctionSetting {
    uint8_t OutSend;
    uint8_t AutoOutSend;
    TimeOfDay StartTime;
    TimeOfDay EndTime;
    uint8_t TalkSend;
    uint8_t CallCnt;    // seconds
    uint8_t CallTime;   // minutes
    uint16_t TalkTime;  // seconds
    bool operator==(const FunctionSetting&) const = default;
};

struct StationNumber {
    int32_t Value;  // -1 when not set
    char Text[7];   // at most 6 digits
    bool operator==(const StationNumber&) const = default;
};

struct TrunkLineSetting {
    char Name[9];
    uint8_t TxNumberOnOff;  // file key "TxNumberON/OFF"
    uint8_t TxNumber;
    uint8_t RxLine;
    uint8_t RxDial;
    char RxText[kRxMasterCount][21];  // display texts, not stored in the file
    StationEntry RxMaster[kRxMasterCount];
    // Display copies of each receiving master's record; refreshed when a file is read.
    int32_t RxNumberValue[kRxMasterCount];
    char RxNumberText[kRxMasterCount][7];
    char RxName[kRxMasterCount][9];
    bool operator==(const TrunkLineSetting&) const = default;
};

struct MasterSetting {
    uint8_t ExchangeNo;  // own exchange, fixed by position
    uint8_t StationNo;   // equipment number 1..4, fixed by position
    StationNumber Number;
    char Name[9];
    uint8_t LineTx;
    uint8_t Paging;
    char TelNo[21];
    char AbsenceTelNo[7];
    char AutoAbsenceTelNo[7];
    char CnvTelNo[7];
    char NonRespTelNo[7];
    uint8_t ScanTime;
    uint8_t ScanCnt;
    StationEntry ScanSub[kScanCount];
    uint8_t GroupCnt;
    StationEntry GroupMaster[kGroupCount];
    uint8_t MeetCnt;
    StationEntry MeetMaster[kMeetCount];
    bool operator==(const MasterSetting&) const = default;
};

struct SubSetting {
    uint8_t ExchangeNo;  // own exchange, fixed by position
    uint8_t StationNo;   // equipment number 1..64, fixed by position
    StationNumber Number;
    char Name[9];
    uint8_t CallSwNo;  // exchange of the master this substation calls
    uint8_t CallStNo;  // equipment number of that master, 1..4
    // Display copies of the called master, not stored in the file.
    int32_t CallNumberValue;
    char CallNumberText[7];
    char CallName[9];
    uint8_t Level;   // 1 Emergency, 0 Normal
    int32_t Paging;  // zone mask
    bool operator==(const SubSetting&) const = default;
};

struct SpeakerSetting {
    int32_t Paging;  // zone mask
    bool operator==(const SpeakerSetting&) const = default;
};

struct ExchangeSetting {
    uint8_t LineCntLimit;  // C/O time-out, minutes
    TrunkLineSetting Line[kTrunkLineCount];
    MasterSetting Master[kMasterCount];
    SubSetting Sub[kSubCount];
    uint8_t ZoneSize;
    int32_t PagingTimeLimit;  // seconds
    SpeakerSetting Speaker[kSpeakerCount];
    bool operator==(const ExchangeSetting&) const = default;
};

struct RemoteDialSetting {
    uint8_t TelCnt;  // 0..5
    char TelNo[kRemoteTelCount][33];
    bool operator==(const RemoteDialSetting&) const = default;
};

struct DirectSelectSetting {
    uint8_t OutMode[kExchangeCount];
    bool operator==(const DirectSelectSetting&) const = default;
};

struct DialEntry {
    uint16_t SwitchNo;  // kept by the dialing-assignment editor, not stored in the file
    char Dial[17];
    char Name[9];  // display copy, not stored in the file
    char Shot[6];  // door-lock switch number, at most 4 characters
    bool operator==(const DialEntry&) const = default;
};

using DialTable = std::array<DialEntry, kDialCount>;

// One row of a zone membership table. Cells: 1 member, 0 not a member, 2 not selectable.
struct ZoneRow {
    uint8_t ZoneSize;
    int32_t PagingTimeLimit;
    uint8_t ExchangeNo;
    uint8_t Index;        // 1-based member index
    int32_t NumberValue;  // substation rows only
    char NumberText[7];
    char Name[9];
    uint8_t Cell[kZoneCount];
    bool operator==(const ZoneRow&) const = default;
};

struct ZoneTables {
    ZoneRow Sub[kExchangeCount][kSubCount];
    ZoneRow Speaker[kExchangeCount][kSpeakerCount];
    ZoneRow Source[kExchangeCount][kExternalSourceCount];
    bool operator==(const ZoneTables&) const = default;
};

struct SettingData {
    MaintenanceSetting Maintenance;
    SystemSetting System;
    FunctionSetting Function[kExchangeCount];
    ExchangeSetting Exchange[kExchangeCount];
    RemoteDialSetting RemoteDial;
    DirectSelectSetting DirectSelect;
    DialTable Dial[kExchangeCount][kMasterCount];  // exchange-major, master-minor
    uint8_t ShotT[kExchangeCount][kMasterCount];   // door lock time 1..10
    ZoneTables Zones;                              // not stored in the file; rebuilt from the masks
    bool operator==(const SettingData&) const = default;
};

static_assert(std::is_trivially_copyable_v<SettingData>);

// Fills every field with its default (the zone tables are left alone).
void SetDefaults(SettingData& data);

// SwitchCnt kept to 1..16, so that a damaged value never indexes outside the exchanges.
int ExchangesInUse(const SettingData& data);

// Master and substation lookups by 1-based numbers; nullptr for (0, 0) or out of range.
const MasterSetting* FindMaster(const SettingData& data, int exchangeNo, int stationNo);

// The setting data with the document state that belongs beside it. Allocated once; the data
// block never moves while the document lives.
struct SettingDocument {
    SettingDocument();
    SettingData& data() { return *data_; }
    const SettingData& data() const { return *data_; }

    std::string fileName;
    bool modified = false;

  private:
    std::unique_ptr<SettingData> data_;
};

}  // namespace qn410
