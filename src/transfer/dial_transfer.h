// The transfer of one master station's dialing assignment table, without any window: the block
// upload and the download, with their time-outs, cancel rule and failure texts. The Dialing
// Assignment editor and `qn410ctl dial upload/download` drive the same object; they add the
// check, the confirmation, the timer and the registration as the receiver of K blocks.
//
// Upload: the table's non-empty entries in blocks of ten (K, positions 1/0/2/3), each sent when
// the link has confirmed the previous one, then the closing release request. Download: the
// request T, then the exchange's K blocks, each stored into the setting data as it arrives. The
// first block announces the table's entry count and with it the number of blocks; the first
// block also empties the table, so that the exchange's table replaces the tool's. When every
// block has arrived the link is released. 120 seconds without a confirmation or a block end the
// transfer; blocks already stored stay in the setting data.
//
// Everything runs on one thread: link results, timer ticks and the cancel flag arrive in order.
#pragma once

#include <functional>
#include <vector>

#include "link/transfer_request.h"
#include "setting/prompt.h"
#include "setting/setting_data.h"
#include "transfer/send_record.h"
#include "transfer/transfer_session.h"

namespace qn410 {

class DialTransfer {
  public:
    // owner is the requester named in every request (the window that gets UM_LINK_RESULT);
    // cancelled reads the progress display's cancel flag.
    DialTransfer(SettingDocument& doc, LinkPoster& poster, Prompt& prompt, TransferHost& host,
                 void* owner, std::function<bool()> cancelled);

    // Sends the table of master (1..4) of exchange (1..16) as the setting data holds it. The
    // check, the confirmation and the commit are the caller's.
    void StartUpload(int exchange, int master);
    void StartDownload(int exchange, int master);

    // UM_LINK_RESULT for owner: code and the request or received block (released here).
    void OnLinkResult(uint32_t code, TransferRequestPtr item);
    void OnTimer();           // every 1000 ms while the timer runs
    void OnExchangeCancel();  // 0x1405: an exchange interrupted the transfer

    void setTimeoutLimit(int seconds) { timeoutLimit_ = seconds; }
    bool uploading() const { return uploading_; }
    bool running() const { return outcome_ == TransferOutcome::Running && started_; }
    TransferOutcome outcome() const { return outcome_; }
    int exchange() const { return exchange_; }
    int master() const { return master_; }
    int blockCount() const { return blocks_; }  // upload: blocks of the table
    int expected() const { return expected_; }  // download: blocks expected
    int received() const { return received_; }

  private:
    void SendUploadStep();
    void OnUploadResult(uint32_t code);
    void OnDownloadResult(uint32_t code, TransferRequestPtr item);
    void StoreBlock(const std::string& body);
    void EndCancelled();
    void Fail(TransferOutcome outcome, const char* text);
    void Finish(TransferOutcome outcome);
    void RestartTimeout();
    TransferRequest Header(uint8_t setMask, uint8_t clearMask) const;

    SettingDocument& doc_;
    LinkPoster& poster_;
    Prompt& prompt_;
    TransferHost& host_;
    void* owner_;
    std::function<bool()> cancelled_;

    bool uploading_ = true;
    bool started_ = false;
    int exchange_ = 1;
    int master_ = 1;
    std::vector<DialEntry> sendTable_;
    int blocks_ = 0;
    int step_ = 0;
    int expected_ = 0;
    int received_ = 0;
    bool waiting_ = false;
    int counter_ = 0;
    int timeoutLimit_ = kTransferTimeoutSeconds;
    TransferOutcome outcome_ = TransferOutcome::Running;
};

}  // namespace qn410
