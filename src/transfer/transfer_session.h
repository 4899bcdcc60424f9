// The transfer of the whole setting data to or from the exchanges, one record at a time: the
// sequencing, time-outs, cancel rule and failure texts of an upload or a download, without any
// window. The Upload/Download sheet and `qn410ctl upload/download` drive the same session; they
// add the exchange selection, the confirmation and the timer.
//
// Upload: each record goes out only after the link has confirmed the previous one; the closing
// release request ends the sequence. Download: the "Start Dwnload" request, then the records the
// exchanges send are stored until every record the download asked for has arrived (see
// DownloadTally: records it did not ask for are ignored); a Global Setting record may change
// SwitchCnt and with it the expected count. 120 seconds without a confirmation or a record end
// the transfer.
//
// Every request of a transfer carries the transfer's number in its tag. An answer that comes
// after its transfer has ended (cancelled, timed out, failed, or followed by another transfer)
// changes nothing and shows nothing. A failure answer without a request (the link lost the
// device) ends the running transfer at once with its failure text.
//
// Everything runs on one thread: link results, timer ticks and the cancel flag arrive in order.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "link/transfer_request.h"
#include "setting/clock.h"
#include "setting/prompt.h"
#include "setting/setting_data.h"
#include "transfer/download_tally.h"
#include "transfer/send_record.h"
#include "transfer/upload_plan.h"

namespace qn410 {

inline constexpr char kFailedToTransmit[] = "Failed to transmit";
inline constexpr char kFailedToReceive[] = "Failed to receive";
inline constexpr char kFailedToOpen[] = "Failed to open the device";
inline constexpr char kCommunicationsTimeOut[] = "Communications time-out";
inline constexpr int kTransferTimeoutSeconds = 120;

enum class TransferOutcome {
    Running,
    Uploaded,        // the closing message was confirmed
    Downloaded,      // every expected record arrived and the link was released
    FailedTransmit,  // "Failed to transmit": the link gave up, or the upload timed out
    FailedReceive,   // "Failed to receive"
    FailedOpen,      // "Failed to open the device"
    TimedOut,        // "Communications time-out" (download)
    Cancelled,       // the user or an exchange cancelled; the link was abandoned
};

// What the driver of a session provides besides the poster and the prompt.
class TransferHost {
  public:
    virtual ~TransferHost() = default;
    virtual void StartTimer() = 0;  // a tick every 1000 ms until StopTimer
    virtual void StopTimer() = 0;
    virtual void Finished(TransferOutcome) {}
};

class TransferSession {
  public:
    // owner is the requester named in every request (the window that gets UM_LINK_RESULT).
    // cancelFlag is the process-wide flag that the progress display's Cancel sets.
    TransferSession(SettingDocument& doc, LinkPoster& poster, Prompt& prompt, TransferHost& host,
                    void* owner, const int& cancelFlag, const Clock* clock = nullptr);
    // The same with the program's process-wide flag, which the windows share as an atomic.
    TransferSession(SettingDocument& doc, LinkPoster& poster, Prompt& prompt, TransferHost& host,
                    void* owner, const std::atomic<int>& cancelFlag, const Clock* clock = nullptr);

    // exchange 0 for all exchanges, else 1..SwitchCnt. The station number check, the exchange
    // selection and the confirmation are the caller's.
    void StartUpload(int exchange);
    void StartDownload(int exchange);

    // UM_LINK_RESULT for owner: code and the request or received item (released here).
    void OnLinkResult(uint32_t code, TransferRequestPtr item);
    void OnTimer();  // every 1000 ms while the timer runs
    // An exchange reported that it cannot take data now ('z'): the transfer ends as cancelled
    // and the link is abandoned at once.
    void OnExchangeCancel();

    void setTimeoutLimit(int seconds) { timeoutLimit_ = seconds; }
    bool uploading() const { return uploading_; }
    bool active() const { return active_; }
    TransferOutcome outcome() const { return outcome_; }
    int uploadStep() const { return step_; }
    int exchange() const { return exchange_; }  // of the last transfer started (0 for all)
    int expected() const { return expected_; }
    int received() const { return received_; }

  private:
    // Puts the running transfer's number on every request it sends.
    class Tagger : public LinkPoster {
      public:
        explicit Tagger(LinkPoster& poster) : poster_(poster) {}
        void PostProgress(AppMessage message, int kind, std::string name, int count) override {
            poster_.PostProgress(message, kind, std::move(name), count);
        }
        void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) override {
            if (request) request->tag = tag;
            poster_.PostLinkRequest(wParam, std::move(request));
        }
        uint8_t tag = 0;

      private:
        LinkPoster& poster_;
    };

    void Begin(bool uploading, int exchange);
    void NextUploadStep();
    void OnUploadResult(uint32_t code);
    void OnDownloadResult(uint32_t code);
    void OnRecord(const TransferRequest& item);
    int SwitchCount() const;
    void CloseLink(uint32_t wParam);
    void Fail(TransferOutcome outcome, const char* text);
    void Finish(TransferOutcome outcome);
    void RestartTimeout();
    bool Cancelled() const { return cancelled_(); }

    SettingDocument& doc_;
    LinkPoster& poster_;
    Tagger tagger_;
    Prompt& prompt_;
    TransferHost& host_;
    void* owner_;
    std::function<bool()> cancelled_;
    const Clock* clock_;

    bool uploading_ = true;
    bool active_ = false;  // a transfer runs: this session is the active transfer window
    int exchange_ = 0;
    std::optional<UploadPlan> plan_;
    int step_ = 0;
    bool lastStepSent_ = false;
    DownloadTally tally_;
    int expected_ = 0;
    int received_ = 0;
    bool waiting_ = false;
    int counter_ = 0;
    int timeoutLimit_ = kTransferTimeoutSeconds;
    TransferOutcome outcome_ = TransferOutcome::Running;
};

}  // namespace qn410
