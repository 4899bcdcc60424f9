// Whether the exchanges hold what a setting file would put there.
//
// A download brings back only what the records carry, and some fields change on the way (a
// talk time goes in steps of 10 s, a member list is packed, counts are set by the exchange). So
// the file is not compared with the download directly: the file's data is first sent through
// the encoders and decoders of an upload of the same exchanges, which gives what the exchanges
// would hold after that upload, and that is compared with what they actually sent. Fields no
// download carries then agree by construction; the categories that hold only such fields are
// named once in kNotComparedNote.
#pragma once

#include <memory>
#include <vector>

#include "setting/setting_compare.h"
#include "setting/setting_data.h"

namespace qn410 {

inline constexpr const char* kNotComparedNote =
    "Not compared (a download does not carry them): PC Port, Remote Dialing, Dialing Assignment";

// file after an upload of exchange (0 = all exchanges 1..SwitchCnt) and a download of the same.
std::unique_ptr<SettingData> AsExchangesWouldHold(const SettingData& file, int exchange);

// The fields in which downloaded (the file's data with the downloaded records stored into it)
// differs from what the exchanges would hold after uploading file.
std::vector<FieldDifference> VerifyDownload(const SettingData& file, const SettingData& downloaded,
                                            int exchange);

}  // namespace qn410
