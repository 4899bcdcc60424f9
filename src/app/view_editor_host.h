// What the editors and the senders of records get from the main view: the setting data, the
// message boxes, Save, the transmit confirmation, the link and the progress display, all as
// messages posted to the view so that they arrive in order on the user-interface thread.
#pragma once

#include <functional>

#include "editors/editor_host.h"
#include "transfer/send_record.h"

namespace qn410 {

class CQN410Doc;
class CQN410View;

class ViewEditorHost : public EditorHost, public LinkPoster {
  public:
    ViewEditorHost(CQN410View& view, CQN410Doc& doc);

    // EditorHost
    SettingDocument& Document() override;
    Prompt& prompt() override;
    void SaveDocument() override;
    bool ConfirmTransmit() override;
    bool ConfirmReceive() override;
    void SetDialTransferWindow(QObject* window) override;
    void SubmitRequest(TransferRequestPtr request, bool abandon) override;
    void CloseProgress() override;
    void AdvanceProgress() override;
    bool ProgressCancelled() const override;
    void PostPrint(PrintJob job) override;

    // LinkPoster
    void PostProgress(AppMessage message, int kind, std::string name, int count) override;
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) override;

    // Where print jobs go (the printing thread); dropped without one.
    void SetPrintHandler(std::function<void(PrintJob)> handler) { print_ = std::move(handler); }

  private:
    CQN410View& view_;
    CQN410Doc& doc_;
    std::function<void(PrintJob)> print_;
};

}  // namespace qn410
