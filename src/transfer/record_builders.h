// The per-letter record builders and storers behind Encode and Decode (internal to
// src/transfer). Builders get a request that Encode has range-checked for their letter;
// storers get an exchange 1..16 and check their own record's size and indexes.
#pragma once

#include <optional>
#include <string_view>

#include "setting/setting_data.h"
#include "transfer/record_format.h"
#include "transfer/record_request.h"

namespace qn410::wire {

// A record of size bytes, all '0', with its letter and exchange.
WireRecord StartRecord(char letter, int exchange, std::size_t size);

inline const ExchangeSetting& Ex(const RecordRequest& r) {
    return r.data->Exchange[r.exchange - 1];
}
inline const MasterSetting& Master(const RecordRequest& r) {
    return Ex(r).Master[r.station - 1];
}

// Station categories (encode_stations.cpp).
WireRecord EncodeB(const RecordRequest& r);
WireRecord EncodeC(const RecordRequest& r);
WireRecord EncodeD(const RecordRequest& r);
WireRecord EncodeList(char letter, const RecordRequest& r, const StationEntry* entries,
                      int capacity);  // E and L
WireRecord EncodeG(const RecordRequest& r);
WireRecord EncodeU(const RecordRequest& r);

// System, functions, zones and dialing (encode_system.cpp).
WireRecord EncodeA(const RecordRequest& r);
WireRecord EncodeF(const RecordRequest& r);
WireRecord EncodeH(const RecordRequest& r);
WireRecord EncodeMembers(char letter, const RecordRequest& r, const ZoneRow* rows, int count,
                         int zone);  // I and J
std::optional<WireRecord> EncodeK(const RecordRequest& r);

// Station categories (decode_stations.cpp).
bool DecodeB(std::string_view body, int e, SettingData& data);
bool DecodeC(std::string_view body, int e, SettingData& data);
bool DecodeD(std::string_view body, int e, SettingData& data);
bool DecodeList(std::string_view body, int e, SettingData& data, bool group);  // E and L
bool DecodeG(std::string_view body, int e, SettingData& data);
bool DecodeU(std::string_view body, int e, SettingData& data);

// System, functions and zones (record_decoder.cpp).
bool DecodeA(std::string_view body, SettingData& data);
bool DecodeF(std::string_view body, int e, SettingData& data);
bool DecodeH(std::string_view body, int e, SettingData& data);
bool DecodeI(std::string_view body, int e, SettingData& data);
bool DecodeJ(std::string_view body, int e, SettingData& data);

}  // namespace qn410::wire
