// What the view and the main frame need from the link broker. The broker (which owns the
// transfer manager and LinkUseMask) implements it; until a link exists, NoLink stands in: it
// connects nothing and drops every request.
#pragma once

#include <QEvent>
#include <cstdint>

#include "link/transfer_request.h"
#include "setting/setting_data.h"

class QObject;

namespace qn410 {

class CMainFrame;

class ViewLink {
  public:
    virtual ~ViewLink() = default;

    // Start: a new transfer manager for these settings; with RS-232C the port opens at once.
    virtual void Start(const MaintenanceSetting& settings) = 0;
    // Stop before a restart (New, Open, PC port): disconnects as due, waits for the manager.
    virtual void Stop() = 0;
    // The main window wants to close. False while the link is already being closed for good
    // (the request is ignored); otherwise the disconnect decision is made and true returned.
    virtual bool PrepareClose() = 0;
    // UM_LINK_REQUEST from the windows: wParam 0 submit, 1 abandon. Ownership passes over.
    virtual void Submit(TransferRequestPtr request, bool abandon) = 0;
    // A transfer is queued or in flight.
    virtual bool TransferPending() const = 0;
    // A transmitting progress display has ended: drop bits 0x01 and 0x02 of LinkUseMask and
    // hang the modem up when nobody holds the link any more.
    virtual void ReleaseTransferBits() = 0;
    virtual uint8_t UseMask() const = 0;
    // The link notifications posted to the view (0x0464..0x046E) and UM_TAPI_EVENT (0x0401).
    // Returns true when the event was handled.
    virtual bool HandleNotification(QEvent* event) { return (void)event, false; }
    // The main window exists: the link may show progress through it and close it once the link
    // has been closed for good. Called by the frame when it is built.
    virtual void Attach(CMainFrame& frame) { (void)frame; }
    // The open Upload/Download sheet, which gets the setting records the exchanges send;
    // nullptr when it closes.
    virtual void SetTransferSheet(QObject* sheet) { (void)sheet; }
    // The Dialing Assignment editor while its transfer runs, which gets the K blocks.
    virtual void SetDialEditor(QObject* editor) { (void)editor; }
};

class NoLink : public ViewLink {
  public:
    void Start(const MaintenanceSetting&) override {}
    void Stop() override {}
    bool PrepareClose() override { return true; }
    void Submit(TransferRequestPtr, bool) override {}
    bool TransferPending() const override { return false; }
    void ReleaseTransferBits() override {}
    uint8_t UseMask() const override { return 0; }
};

}  // namespace qn410
