#include "transfer/sheet_comm.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimerEvent>
#include <QVBoxLayout>

#include "link/diagnostics.h"
#include "link/link_messages.h"
#include "transfer/page_comm.h"
#include "transfer/record_codec.h"
#include "transfer/station_check.h"
#include "ui/confirm_dialogs.h"
#include "ui/message_event.h"

namespace qn410 {

namespace {
const char kIncorrectExchange[] = "Incorrect exchange No.";
const char kStartUpload[] = "Start Upload";
const char kStartDownload[] = "Start Dwnload";
}  // namespace

CSheetComm::CSheetComm(SettingDocument& doc, LinkPoster& poster, Prompt& prompt,
                       std::function<void(QObject*)> registerSheet, std::atomic<int>& cancelFlag,
                       QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      prompt_(prompt),
      register_(std::move(registerSheet)),
      cancel_(cancelFlag),
      session_(doc, poster, prompt, *this, this, cancelFlag, &SystemClock::Instance()),
      confirmTransmit_(&ConfirmTransmit),
      confirmReceive_(&ConfirmReceive) {
    setObjectName(QStringLiteral("sheetComm"));
    setWindowTitle(QStringLiteral("Upload/Download"));
    const int switchCnt = doc_.data().System.SwitchCnt;
    tabs_ = new QTabWidget(this);
    tx_ = new CPageComTx(switchCnt, tabs_);
    tx_->setObjectName(QStringLiteral("pageComTx"));
    rx_ = new CPageComRx(switchCnt, tabs_);
    rx_->setObjectName(QStringLiteral("pageComRx"));
    tabs_->addTab(tx_, QStringLiteral("Data Upload"));
    tabs_->addTab(rx_, QStringLiteral("Data Download"));

    start_ = new QPushButton(QString::fromLatin1(kStartUpload), this);
    start_->setObjectName(QStringLiteral("start"));
    start_->setDefault(true);
    exit_ = new QPushButton(QStringLiteral("Exit"), this);
    exit_->setObjectName(QStringLiteral("exit"));
    connect(start_, &QPushButton::clicked, this, &CSheetComm::Start);
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) {
        start_->setText(QString::fromLatin1(page == kDownloadPage ? kStartDownload : kStartUpload));
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));

    // The zone tables are the editors' and encoders' view of the zone masks.
    RebuildZoneTables(doc_.data());
    if (register_) {
        register_(this);
        registered_ = true;
    }
}

CSheetComm::~CSheetComm() {
    Unregister();
}

void CSheetComm::SetConfirmations(std::function<bool(QWidget*)> transmit,
                                  std::function<bool(QWidget*)> receive) {
    confirmTransmit_ = std::move(transmit);
    confirmReceive_ = std::move(receive);
}

void CSheetComm::SetTimeout(int ticks, int tickMs) {
    session_.setTimeoutLimit(ticks);
    tickMs_ = tickMs;
}

void CSheetComm::Start() {
    cancel_ = 0;
    if (tabs_->currentIndex() == kDownloadPage) {
        StartDownload();
    } else {
        StartUpload();
    }
}

void CSheetComm::StartUpload() {
    // Station numbers route calls: data that fails the check is not sent. The sheet closes as
    // after "Exit", and the view opens the Stations editor.
    if (!CheckStationNumbers(doc_.data()).ok()) {
        reject();
        return;
    }
    const int exchange = ChosenExchange(*tx_);
    if (exchange < 0 || !confirmTransmit_(this)) return;
    session_.StartUpload(exchange);
}

void CSheetComm::StartDownload() {
    const int exchange = ChosenExchange(*rx_);
    if (exchange < 0 || !confirmReceive_(this)) return;
    session_.StartDownload(exchange);
}

int CSheetComm::ChosenExchange(CPageComm& page) {
    if (page.allSelected()) return 0;
    const int exchange = page.typedExchange();
    if (exchange < 1 || exchange > doc_.data().System.SwitchCnt) {
        prompt_.Tell(kIncorrectExchange, PromptIcon::Question);
        page.FocusNumber();
        return -1;
    }
    return exchange;
}

bool CSheetComm::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
        case UM_LINK_RESULT:
            session_.OnLinkResult(static_cast<uint32_t>(WParamOf(event)), TakeRequest(event));
            return true;
        case UM_RCV_CANCEL_SHEET:
            session_.OnExchangeCancel();
            return true;
        default:
            return QDialog::event(event);
    }
}

void CSheetComm::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) {
        QDialog::timerEvent(event);
        return;
    }
    session_.OnTimer();
}

void CSheetComm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();  // the sheet closes only with "Exit" or its close box
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // Enter belongs to the control that has the focus; only the buttons act on it.
            QWidget* focus = focusWidget();
            if (focus == start_ || focus == exit_) {
                static_cast<QPushButton*>(focus)->click();
            }
            event->accept();
            return;
        }
        default:
            QDialog::keyPressEvent(event);
    }
}

void CSheetComm::done(int result) {
    timer_.stop();
    Unregister();
    QDialog::done(result);
}

void CSheetComm::Unregister() {
    if (registered_ && register_) register_(nullptr);
    registered_ = false;
}

void CSheetComm::StartTimer() {
    timer_.start(tickMs_, this);
}

void CSheetComm::StopTimer() {
    timer_.stop();
}

void CSheetComm::Finished(TransferOutcome outcome) {
    qCInfo(lcTransfer) << (session_.uploading() ? "upload" : "download") << "of exchange"
                       << session_.exchange() << "ended:" << static_cast<int>(outcome) << "after"
                       << session_.received() << "of" << session_.expected()
                       << "records (upload step" << session_.uploadStep() << ")";
    // A download may have changed the number of exchanges the pages offer.
    for (CPageComm* page : {static_cast<CPageComm*>(tx_), static_cast<CPageComm*>(rx_)})
        page->SetSwitchCnt(doc_.data().System.SwitchCnt);
    emit transferFinished(outcome);
}

}  // namespace qn410
