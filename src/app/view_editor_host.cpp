#include "app/view_editor_host.h"

#include <QApplication>

#include "app/qn410_doc.h"
#include "app/qn410_view.h"
#include "link/link_event.h"
#include "ui/confirm_dialogs.h"
#include "ui/progress_display.h"

namespace qn410 {

ViewEditorHost::ViewEditorHost(CQN410View& view, CQN410Doc& doc) : view_(view), doc_(doc) {}

SettingDocument& ViewEditorHost::Document() {
    return view_.document();
}
Prompt& ViewEditorHost::prompt() {
    return view_.prompt();
}
void ViewEditorHost::SaveDocument() {
    doc_.Save();
}

bool ViewEditorHost::ConfirmTransmit() {
    QWidget* parent = QApplication::activeModalWidget();
    return qn410::ConfirmTransmit(parent ? parent : view_.window());
}

bool ViewEditorHost::ConfirmReceive() {
    QWidget* parent = QApplication::activeModalWidget();
    return qn410::ConfirmReceive(parent ? parent : view_.window());
}

void ViewEditorHost::SetDialTransferWindow(QObject* window) {
    view_.link().SetDialEditor(window);
}

void ViewEditorHost::SubmitRequest(TransferRequestPtr request, bool abandon) {
    // The requester named in the header gets the answer; it is watched from now on.
    auto* requester = static_cast<QObject*>(request->requester);
    qn410::PostLinkRequest(&view_, requester, std::move(request), abandon);
}

void ViewEditorHost::CloseProgress() {
    qn410::PostProgress(&view_, UM_PROGRESS_CLOSE, 0);
}

void ViewEditorHost::AdvanceProgress() {
    qn410::PostProgress(&view_, UM_PROGRESS_ADVANCE, kProgressTransmitting);
}

bool ViewEditorHost::ProgressCancelled() const {
    return g_transferCancelled == 1;
}

void ViewEditorHost::PostPrint(PrintJob job) {
    if (print_) print_(std::move(job));
}

void ViewEditorHost::PostProgress(AppMessage message, int kind, std::string name, int count) {
    qn410::PostProgress(&view_, message, kind, std::move(name), count);
}

void ViewEditorHost::PostLinkRequest(uint32_t wParam, TransferRequestPtr request) {
    SubmitRequest(std::move(request), wParam == kLinkAbandon);
}

}  // namespace qn410
