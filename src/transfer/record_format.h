// Byte layout of the wire records exchanged with the exchanges, shared by encoders, decoders,
// the exchange simulator and the tests.
//
// A WireRecord is the body of one frame: an ASCII command letter, the two-digit exchange number
// ("00" = all exchanges) and the fields of its category. Its size is the record's length word;
// the length is kept beside the body inside the program and never transmitted.
//
// All offsets below count BODY bytes: the letter is byte 0. (An exchange's own documentation
// counts from the length word, i.e. 4 more.) Digits fields are '0'-padded decimal, text fields
// space-padded on the right; unwritten bytes read '0' because every buffer starts all '0'.
//
//   common   0 letter | 1..2 exchange
//   A  3 year(4) 7 month(2) 9 day(2) 11 hour(2) 13 min(2) 15 sec(2) 17 weekday(1, 1 = Sunday)
//      18 SwitchCnt(2) 20 NumberSize(1) 21 TieLine x4(1) 25+6i SwNumber text(6)   25 + 6N
//   B  3 master(1) 4 Number text(6) 10 Name(8) 18 LineTx(1) 19 Paging(1) 20 TelNo(20)   40
//   C  3 sub(2) 5 Number text(6) 11 Name(8) 19 CallSwNo(2) 21 CallStNo(1) 22 Level(1)   23
//   D  3 LineCntLimit(2), line 1 at 5, line 2 at 29:                                     53
//        +0 Name(8) +8 TxNumberON/OFF(1) +9 TxNumber(1) +10 RxDial(1) +11 count(1, 4 or 0)
//        +12+3k RxMaster exchange(2) +14+3k RxMaster station(1)   k = 0..3
//   E,L 3 master(1) 4 n(2) 6+3j exchange(2) 8+3j station(1)                             6 + 3n
//   F  3 OutSend 4 start hh 6 start mm 8 end hh 10 end mm 12 TalkSend(1) 13 CallCnt(2)
//      15 CallTime(2) 17 TalkTime/10(2)                                                  19
//   G  3 master(1) 4 ScanTime(2) 6 n(2) 8+4j exchange(2) 10+4j substation(2)           8 + 4n
//   H  3 ZoneSize(1) 4 PagingTimeLimit/10(2) 6 zone(2) 8+s substation s+1 cell(1) x64    72
//   I  3 zone(2) 5+p speaker p+1 cell(1) x16                                             21
//   J  3 zone(2) 5+k source k+1 cell(1) x4                                               9
//   K  3 master(1) 4 door lock time(1) 5 total entries(4) 9 block position(1) 10 c(2)
//      12+24j switch(4) 16+24j dial text(16) 32+24j door-lock switch(4, right-aligned)  12 + 24c
//   M  3 OutMode(1)                                                                      4
//   N  3 master(1) 4 telephone number text(32)                                           36
//   O,P 3..18 sixteen request bytes copied unchanged                                     19
//   Q  (exchange only)                                                                   3
//   T  3 master(1)                                                                       4
//   U  3 master(1), groups at 4, 21, 38, 55 (AbsenceTelNo, AutoAbsenceTelNo, CnvTelNo,
//        NonRespTelNo): +0 number text(6) +6 dest exchange(2) +8 dest station(1)
//        +9 dest name(8)                                                                 72
#pragma once

#include <cstddef>
#include <string>

namespace qn410 {

// The body of one record; body.size() is its length word.
using WireRecord = std::string;

namespace wire {

inline constexpr std::size_t kLetter = 0;
inline constexpr std::size_t kExchange = 1;  // width 2
inline constexpr std::size_t kFields = 3;    // first category field

namespace a {
inline constexpr std::size_t kYear = 3, kMonth = 7, kDay = 9, kHour = 11, kMinute = 13,
                             kSecond = 15, kWeekday = 17, kSwitchCnt = 18, kNumberSize = 20,
                             kTieLine = 21, kSwNumber = 25, kSwNumberWidth = 6;
inline constexpr std::size_t Size(int switchCnt) {
    return kSwNumber + 6 * switchCnt;
}
}  // namespace a

namespace b {
inline constexpr std::size_t kMaster = 3, kNumber = 4, kName = 10, kLineTx = 18, kPaging = 19,
                             kTelNo = 20, kSize = 40;
}

namespace c {
inline constexpr std::size_t kSub = 3, kNumber = 5, kName = 11, kCallSwNo = 19, kCallStNo = 21,
                             kLevel = 22, kSize = 23;
}

namespace d {
inline constexpr std::size_t kLineCntLimit = 3, kLine1 = 5, kLine2 = 29, kSize = 53;
// Offsets inside one line block.
inline constexpr std::size_t kName = 0, kTxOnOff = 8, kTxNumber = 9, kRxDial = 10, kRxCount = 11,
                             kRxMaster = 12;  // + 3k: exchange(2), station(1)
}  // namespace d

namespace list {  // E and L
inline constexpr std::size_t kMaster = 3, kCount = 4, kEntries = 6, kEntryWidth = 3;
inline constexpr std::size_t Size(int n) {
    return kEntries + kEntryWidth * n;
}
}  // namespace list

namespace f {
inline constexpr std::size_t kOutSend = 3, kStartHour = 4, kStartMinute = 6, kEndHour = 8,
                             kEndMinute = 10, kTalkSend = 12, kCallCnt = 13, kCallTime = 15,
                             kTalkTime = 17, kSize = 19;
}

namespace g {
inline constexpr std::size_t kMaster = 3, kScanTime = 4, kCount = 6, kEntries = 8, kEntryWidth = 4;
inline constexpr std::size_t Size(int n) {
    return kEntries + kEntryWidth * n;
}
}  // namespace g

namespace h {
inline constexpr std::size_t kZoneSize = 3, kTimeLimit = 4, kZone = 6, kCells = 8, kSize = 72;
}

namespace i {
inline constexpr std::size_t kZone = 3, kCells = 5, kSize = 21;
}

namespace j {
inline constexpr std::size_t kZone = 3, kCells = 5, kSize = 9;
}

namespace k {
inline constexpr std::size_t kMaster = 3, kDoorLock = 4, kTotal = 5, kPosition = 9, kCount = 10,
                             kEntries = 12, kEntryWidth = 24, kMaxEntries = 10;
// Offsets inside one entry.
inline constexpr std::size_t kSwitch = 0, kDial = 4, kShot = 20;
inline constexpr std::size_t Size(int c) {
    return kEntries + kEntryWidth * c;
}
}  // namespace k

namespace m {
inline constexpr std::size_t kOutMode = 3, kSize = 4;
}

namespace n {
inline constexpr std::size_t kMaster = 3, kTelNo = 4, kTelNoWidth = 32, kSize = 36;
}

namespace op {  // O and P
inline constexpr std::size_t kData = 3, kDataWidth = 16, kSize = 19;
}

namespace q {
inline constexpr std::size_t kSize = 3;
}

namespace t {
inline constexpr std::size_t kMaster = 3, kSize = 4;
}

namespace u {
inline constexpr std::size_t kMaster = 3, kGroups = 4, kGroupWidth = 17, kSize = 72;
// Offsets inside one group.
inline constexpr std::size_t kNumber = 0, kDestExchange = 6, kDestStation = 8, kDestName = 9;
}  // namespace u

}  // namespace wire
}  // namespace qn410
