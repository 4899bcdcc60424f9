#include "editors/dlg_direct_select.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editors/exchange_selector.h"
#include "editors/tab_order.h"
#include "transfer/record_codec.h"

namespace qn410 {

CDlgDirectSelect::CDlgDirectSelect(EditorHost& host, QWidget* parent)
    : EditorFrame(host, parent),
      copy_(host.Document().data().DirectSelect),
      selector_(std::make_unique<ExchangeSelector>(host.Document().data(), false, this)),
      response_(new QRadioButton(QStringLiteral("Response-Activated"), this)),
      call_(new QRadioButton(QStringLiteral("Call-Activated"), this)) {
    setWindowTitle(QStringLiteral("Direct Select"));
    auto* outputs = new QHBoxLayout;
    outputs->addWidget(new QLabel(QStringLiteral("Control Outputs:"), this));
    outputs->addWidget(response_);
    outputs->addWidget(call_);
    outputs->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(selector_.get());
    connect(selector_.get(), &ExchangeSelector::changed, this,
            [this] { Show(selector_->Selected()); });
    layout->addLayout(outputs);
    layout->addStretch(1);
    layout->addLayout(CommandButtonRow());

    connect(response_, &QRadioButton::clicked, this, [this] { copy_.OutMode[shown_ - 1] = 0; });
    connect(call_, &QRadioButton::clicked, this, [this] { copy_.OutMode[shown_ - 1] = 1; });
    SetReadingOrder({selector_->list(), response_, call_, PrintButton(), UploadButton(),
                     OverwriteButton(), CloseButton()});
    Show(1);
    selector_->list()->setFocus(Qt::OtherFocusReason);
}

CDlgDirectSelect::~CDlgDirectSelect() {
    // The controls outlive the working copy: a box that loses the focus while the dialog is
    // taken down must not store into it.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void CDlgDirectSelect::Show(int exchange) {
    shown_ = std::clamp(exchange, 1, kExchangeCount);
    const bool callActivated = copy_.OutMode[shown_ - 1] != 0;
    response_->setChecked(!callActivated);
    call_->setChecked(callActivated);
}

bool CDlgDirectSelect::WorkingCopyDiffers() const {
    return !(copy_ == host().Document().data().DirectSelect);
}

void CDlgDirectSelect::CommitWorkingCopy() {
    host().Document().data().DirectSelect = copy_;
}

void CDlgDirectSelect::ReloadWorkingCopy() {
    copy_ = host().Document().data().DirectSelect;
    Show(shown_);
}

void CDlgDirectSelect::ShowExchange(int exchange) {
    selector_->Reselect(exchange);
}

void CDlgDirectSelect::BeginUpload() {
    uploadExchange_ = shown_;
}

void CDlgDirectSelect::SendUploadMessage(int step) {
    RecordRequest request;
    request.exchange = static_cast<uint8_t>(uploadExchange_);
    request.data = &host().Document().data();
    const std::optional<WireRecord> record = Encode('M', request);
    SendUploadRecord(ProgressMode::Single, /*bound=*/1, step, kUseSingle, kUseSingle,
                     request.exchange, record ? std::string_view(*record) : std::string_view());
}

PrintJob CDlgDirectSelect::MakePrintJob() const {
    PrintJob job = PrintJob::WithCopyOf(kPrintDirectSelect, shown_, host().Document().data());
    job.copy().DirectSelect = copy_;
    return job;
}

}  // namespace qn410
