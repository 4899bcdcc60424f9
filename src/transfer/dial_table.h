// The rules of a master station's dialing assignment table (1024 switches): what a cell may
// hold, the door-lock marks, the name shown beside a dial text, the check before a commit, and
// the K blocks the table travels in (ten entries a block). Shared by the Dialing Assignment
// editor, the dial transfer, qn410ctl and the exchange simulator; no Qt.
//
// A switch that serves as the door-lock switch of another entry is marked "x" in both its dial
// text and its door-lock field; the marks are rebuilt from the door-lock fields whenever one
// changes, so they never outlive the entry that made them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setting/setting_data.h"

namespace qn410 {

inline constexpr int kDialTextMax = 16;          // characters of a dial text
inline constexpr int kDialBlockEntries = 10;     // entries of one K block
inline constexpr int kDialDownloadBlocks = 103;  // enough blocks for 1024 entries
inline constexpr uint8_t kDefaultDoorLockTime = 3;
inline constexpr char kDoorLockMark[] = "x";
inline constexpr char kIncorrectDialFormat[] =
    "Exchange%d\nMaster Station No.%d\nIncorrect dial number";

// The dial tables and door lock times of every exchange and master: the editor's working copy.
struct DialTables {
    DialTable Dial[kExchangeCount][kMasterCount];
    uint8_t ShotT[kExchangeCount][kMasterCount];
    bool operator==(const DialTables&) const = default;
};
void CopyDialTables(const SettingData& from, DialTables& to);
void CopyDialTables(const DialTables& from, SettingData& to);
// Equal dial texts, door-lock fields and door lock times.
bool SameDialTables(const DialTables& copy, const SettingData& data);

// A door lock time of 0 or above 10 is shown and stored as 3.
uint8_t ValidDoorLockTime(uint8_t time);

// Cell rules of the editor. A dial text being typed may hold digits, a, A, c, C, *, #, - and
// spaces, at most 16 of them; a door-lock entry is 1..4 digits naming switch 1..1024.
bool IsAcceptedDialEdit(std::string_view text);
std::optional<int> ParseDoorLockSwitch(std::string_view text);
// The check of a stored dial text: 1..16 of 0-9, A, a, *, #, -, or exactly the mark "x".
bool IsValidDialText(std::string_view text);
// A switch with no dial text of its own: empty, blank or the mark.
bool HasNoOwnDial(const DialEntry& entry);

// Clears every entry whose dial text starts with the mark (its dial text and door-lock field).
void ClearDoorLockMarks(DialTable& table);
// Clears every mark of table, then marks each switch named by a door-lock field. Switch
// numbers are set to their index.
void RebuildDoorLockMarks(DialTable& table);
// Clears every entry of table (switch numbers kept).
void ClearDialTable(DialTable& table);

// The name of the master station, or else the substation, whose number is dial (exactly
// NumberSize digits); empty when none has it.
std::string LookUpStationName(const SettingData& data, std::string_view dial);

// The first entry of exchanges 1..switchCnt whose dial text fails IsValidDialText.
struct DialFailure {
    int exchange;  // 1..16
    int master;    // 1..4
    int entry;     // 1..1024
};
std::optional<DialFailure> CheckDialTables(const DialTables& tables, int switchCnt);
std::string DialFailureText(const DialFailure& failure);

// The upload of one table: its non-empty entries in switch order (switch numbers set), sent
// in blocks of ten; one empty block when there is none.
std::vector<DialEntry> BuildSendTable(const DialTable& table);
int DialBlockCount(int entries);
// 3 the only block, 1 the first of several, 2 the last, 0 between.
int DialBlockPosition(int block, int blocks);
// Block `block` (1-based) of the send table as a K record for master of exchange.
std::optional<std::string> EncodeDialBlock(int exchange, int master, uint8_t doorLockTime,
                                           const std::vector<DialEntry>& sendTable, int block);

// What a K block says about itself.
struct DialBlockHeader {
    int exchange = 0;
    int master = 0;
    int doorLockTime = 0;
    int total = 0;  // entries of the whole table being sent
    int position = 0;
    int count = 0;  // entries in this block
};
// The header of a K block, or nothing when the body is too short or names an exchange or
// master out of range.
std::optional<DialBlockHeader> ReadDialBlockHeader(std::string_view body);
// Stores a received K block into data: the door lock time of its master, then its entries,
// up to the first switch number outside 1..1024 or the end of the body. With clearTable the
// master's table is emptied first (the first block of a download replaces the table). Returns
// the header, or nothing (data untouched) for a malformed block.
std::optional<DialBlockHeader> StoreDialBlock(std::string_view body, SettingData& data,
                                              bool clearTable);

}  // namespace qn410
