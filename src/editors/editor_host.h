// What a setting editor needs of the main view, and nothing of the link itself. The view
// implements it (posting UM_LINK_REQUEST, the progress messages 0x1701/0x1702 and the print
// request 0x1500); tests use a recording fake.
#pragma once

#include <any>
#include <cstdint>
#include <string>

class QObject;

#include "link/link_messages.h"
#include "link/transfer_request.h"
#include "setting/prompt.h"
#include "setting/setting_data.h"
#include "transfer/send_record.h"

namespace qn410 {

// Print category codes (top byte of the print request's wParam). What each code's PrintJob
// carries is listed in print/print_request.h.
enum PrintCategory : uint8_t {
    kPrintAll = 0x00,  // every setting category, for one exchange or all (the "Printout" dialog)
    kPrintGlobalSetting = 0x01,
    kPrintForwarding = 0x02,
    kPrintMasters = 0x03,
    kPrintSubstations = 0x04,
    kPrintTrunks = 0x05,
    kPrintScanMonitor = 0x06,
    kPrintGroupCall = 0x07,
    kPrintConference = 0x08,
    kPrintPagingSubstations = 0x09,
    kPrintPcPort = 0x0B,
    kPrintPublicAddress = 0x0C,
    kPrintExternalSources = 0x0D,
    kPrintLogData = 0x0E,
    kPrintMonitor = 0x0F,
    kPrintDirectSelect = 0x10,
    kPrintDialingAssignment = 0x11,
};

// What Print hands to the printing thread: the category, the exchange shown in the selector
// (0 where the editor has none) and a copy of the working copy. The job owns its copy, so the
// printer never reads an editor that has been closed meanwhile. The forms data may take (a whole
// SettingData, a working copy, PrintRows for a list) are in print/print_request.h.
struct PrintJob {
    PrintCategory category = kPrintGlobalSetting;
    uint8_t exchange = 0;
    std::any data;

    // A job carrying its own copy of data (made in place: the block is megabytes), for an
    // editor to write its working copy into as Overwrite would.
    static PrintJob WithCopyOf(PrintCategory category, int exchange, const SettingData& data) {
        return {category, static_cast<uint8_t>(exchange),
                std::any(std::in_place_type<SettingData>, data)};
    }
    SettingData& copy() { return std::any_cast<SettingData&>(data); }
};

class EditorHost {
  public:
    virtual ~EditorHost() = default;

    // The setting data and its modified flag, owned by the view.
    virtual SettingDocument& Document() = 0;
    virtual Prompt& prompt() = 0;

    // Ctrl+S: saves the setting file exactly as the main window's Save does.
    virtual void SaveDocument() = 0;
    // The transmission confirmation ("Will transmit set data. OK?"); true on OK.
    virtual bool ConfirmTransmit() = 0;
    // The reception confirmation ("Will receive set data. OK?"), for an editor that downloads
    // (Dialing Assignment); true on OK. A host without one receives nothing.
    virtual bool ConfirmReceive() { return false; }
    // The window that gets the K blocks the exchanges send (the active dial-transfer window);
    // nullptr when its transfer ends.
    virtual void SetDialTransferWindow(QObject* window) { (void)window; }

    // UM_LINK_REQUEST: a request (or, with abandon, an abandon request) handed to the view.
    virtual void SubmitRequest(TransferRequestPtr request, bool abandon) = 0;
    // A progress message of a send step (0x1703 with the category's name and bound, 0x1704
    // with its name), as SendRecord posts them.
    virtual void PostProgress(AppMessage message, int kind, std::string name, int count) = 0;
    // 0x1701: close the progress display.
    virtual void CloseProgress() = 0;
    // 0x1702 with wParam 2: advance the progress display by one step.
    virtual void AdvanceProgress() = 0;
    // The progress dialog's cancel flag is 1.
    virtual bool ProgressCancelled() const = 0;

    // 0x1500 to the printing thread.
    virtual void PostPrint(PrintJob job) = 0;
};

// The send step's view of a host: its progress messages and link requests.
class HostPoster : public LinkPoster {
  public:
    explicit HostPoster(EditorHost& host) : host_(host) {}
    void PostProgress(AppMessage message, int kind, std::string name, int count) override {
        host_.PostProgress(message, kind, std::move(name), count);
    }
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) override {
        host_.SubmitRequest(std::move(request), wParam == kLinkAbandon);
    }

  private:
    EditorHost& host_;
};

}  // namespace qn410
