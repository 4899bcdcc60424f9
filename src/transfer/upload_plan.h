// The record sequence of a whole-data upload, and the record count of a download.
//
// Upload order (N = SwitchCnt; "each" = exchanges 1..N for all exchanges, else the chosen one):
//   A once (exchange 00) | B 4 per exchange, always for exchanges 1..N | C 64 each | D 1 each |
//   E 4 each | F 1 each | G 4 each | H 19 each | I 19 each | J 19 each | U 4 each | L 4 each |
//   M 1 each | the closing release request for the target.
// That is 2 + 144 N steps for all exchanges and 142 + 4 N for one. Within a letter the records
// run exchange by exchange, then by station, substation or zone. A download expects one record
// less than the upload's step count (no closing message).
//
// The plan only reads the setting data, which must outlive it; the caller sends step 1, then each
// next step when the link has confirmed the previous one. Step numbers count from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "link/transfer_request.h"
#include "setting/clock.h"
#include "setting/setting_data.h"
#include "transfer/record_format.h"
#include "transfer/record_request.h"
#include "transfer/send_record.h"

namespace qn410 {

struct UploadStep {
    char letter = '\0';     // '\0' for the closing release request
    RecordRequest request;  // exchange and station, substation or zone; data = the plan's data
    int rangeTotal = 1;     // records of this letter's range (the total given to SendRecord)
    int rangeIndex = 1;     // this record's place in its range, from 1
    ProgressMode progress = ProgressMode::Sequence;
    uint8_t setMask = kUseMulti;  // records: 2 / 0; closing: 0 / 2
    uint8_t clearMask = 0;
    uint8_t headerExchange = 0;  // the exchange in the TransferRequest header
};

// Step count of one upload: exchange 0 for all exchanges, else one exchange 1..switchCnt.
int UploadStepCount(int switchCnt, int exchange);

// Records a download of exchange (0 = all) expects with the data's SwitchCnt.
int ExpectedDownloadCount(const SettingData& data, int exchange);

class UploadPlan {
  public:
    // exchange 0 uploads every exchange; an exchange outside 0..SwitchCnt gives an empty plan.
    UploadPlan(const SettingData& data, int exchange);

    int size() const { return size_; }
    int exchange() const { return exchange_; }
    UploadStep step(int s) const;  // 1 <= s <= size()

    // The header of step s, with owner as the requester.
    TransferRequest Header(int s, void* owner) const;
    // The record of step s: empty for the closing message.
    std::optional<WireRecord> Record(int s, const Clock* clock = nullptr) const;
    // Encodes step s and hands it over with SendRecord; step 1 first opens the progress display
    // (UM_PROGRESS_START, "Global Setting", size()). Returns SendRecord's answer (false also
    // for a step that cannot be encoded).
    bool Send(LinkPoster& poster, void* owner, int s, bool cancelRequested,
              const Clock* clock = nullptr) const;

  private:
    const SettingData& data_;
    int switchCnt_;
    int exchange_;
    int size_;
};

// Stores a record received during a download: for the letters the download stores (A-J, L, M,
// U) posts UM_PROGRESS_STEP with the category name and decodes the record. Other letters are
// ignored. Returns true when the record was stored; after an A record the expected count
// changes with the new SwitchCnt (ask ExpectedDownloadCount again).
bool StoreReceivedRecord(std::string_view body, SettingData& data, LinkPoster& poster);

// The "Start Dwnload" request (Q) for a download of exchange (0 = all): set mask 3 for all
// exchanges or 2 for one, clear mask 0, progress kind Single, total 1, step 1.
bool SendStartDownload(LinkPoster& poster, void* owner, int exchange, bool cancelRequested);

}  // namespace qn410
