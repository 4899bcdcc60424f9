#include "app/broker_link.h"

#include <QCoreApplication>

#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "link/link_event.h"

namespace qn410 {

BrokerLink::BrokerLink(Prompt& prompt, const Clock& clock, LinkBroker::ControlFactory factory)
    : broker_(history_, clock, prompt, std::move(factory)) {}

BrokerLink::~BrokerLink() {
    broker_.dispatch().SetProgress(nullptr);
    broker_.Shutdown();
}

void BrokerLink::Start(const MaintenanceSetting& settings) {
    broker_.Start(settings);
}

void BrokerLink::Stop() {
    broker_.Stop();  // waits for the old transfer manager without a limit
}

bool BrokerLink::PrepareClose() {
    return broker_.OnMainWindowClose();
}

void BrokerLink::Submit(TransferRequestPtr request, bool abandon) {
    if (!request) return;
    // Handled at once, in the order the view received the requests.
    LinkEvent event(UM_LINK_REQUEST, abandon ? 1u : 0u, std::move(request));
    QCoreApplication::sendEvent(&broker_, &event);
}

bool BrokerLink::TransferPending() const {
    return broker_.pending();
}

void BrokerLink::ReleaseTransferBits() {
    broker_.ReleaseBits(kUseSingle | kUseMulti);
}

uint8_t BrokerLink::UseMask() const {
    return broker_.linkUseMask();
}

bool BrokerLink::HandleNotification(QEvent* event) {
    // The transfer manager posts to the broker itself; a notification that reached the view
    // is passed on unchanged.
    if (!dynamic_cast<LinkEvent*>(event)) return false;
    QCoreApplication::sendEvent(&broker_, event);
    return true;
}

void BrokerLink::Attach(CMainFrame& frame) {
    broker_.dispatch().SetProgress(&frame.view().progress());
    // The link has been closed for good on the way out: the window closes without questions.
    QObject::connect(&broker_, &LinkBroker::closeMainWindow, &frame, &CMainFrame::CloseNow,
                     Qt::UniqueConnection);
}

void BrokerLink::SetTransferSheet(QObject* sheet) {
    broker_.dispatch().SetTransferSheet(sheet);
}

void BrokerLink::SetDialEditor(QObject* editor) {
    broker_.dispatch().SetDialEditor(editor);
}

}  // namespace qn410
