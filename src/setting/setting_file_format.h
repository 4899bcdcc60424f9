// Keys and headers shared by the setting file writer and reader, so both spell them alike.
#pragma once

namespace qn410::setting_keys {

inline constexpr char kPassword[] = "Password=";
inline constexpr char kMaintenance[] = "[Maintenance]";
inline constexpr char kRemoteDial[] = "[RemoteDial]";
inline constexpr char kSystem[] = "[System]";
inline constexpr char kDirectSelect[] = "[DirectSelect]";
inline constexpr char kOneShotMake[] = "OneShotMake";

}  // namespace qn410::setting_keys
