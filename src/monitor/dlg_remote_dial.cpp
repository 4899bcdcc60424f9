#include "monitor/dlg_remote_dial.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "link/link_event.h"
#include "setting/text_field.h"
#include "transfer/record_codec.h"
#include "transfer/send_record.h"
#include "ui/ansi_text.h"
#include "ui/message_event.h"

namespace qn410 {

namespace {

constexpr std::size_t kDialDataMax = 80;  // what is read of the list's field
constexpr std::size_t kNumberMax = 32;

void FocusAndSelect(QLineEdit* edit) {
    edit->setFocus();
    edit->selectAll();
}

}  // namespace

bool IsRemoteDialNumber(const std::string& text) {
    static constexpr char kSigns[] = "ABCD*#QWERTYUIX-OPabcdqwertyuixop";
    return !text.empty() && text.size() <= kNumberMax &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c != '\0' && std::strchr(kSigns, c));
           });
}

bool RememberNumber(RemoteDialSetting& remembered, const std::string& number) {
    std::vector<std::string> list;
    for (int i = 0; i < std::min<int>(remembered.TelCnt, kRemoteTelCount); ++i)
        list.emplace_back(TextOf(remembered.TelNo[i]));
    const auto found = std::find(list.begin(), list.end(), number);
    const bool added = found == list.end();
    if (!added) {
        list.erase(found);
    } else if (list.size() >= static_cast<std::size_t>(kRemoteTelCount)) {
        list.resize(kRemoteTelCount - 1);
    }
    list.insert(list.begin(), number);
    remembered = {};
    remembered.TelCnt = static_cast<uint8_t>(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) SetText(remembered.TelNo[i], list[i]);
    return added;
}

CSpinField::CSpinField(int high, int digits, QWidget* parent) : QSpinBox(parent), high_(high) {
    setRange(0, digits == 1 ? 9 : 99);
    setValue(1);
}

void CSpinField::stepBy(int steps) {
    setValue(std::clamp(value() + steps, 1, high_));
    selectAll();
}

CDlgRemoteDial::CDlgRemoteDial(EditorHost& host, QWidget* parent) : QDialog(parent), host_(host) {
    setWindowTitle(QStringLiteral("Remote Dialing"));
    const int exchanges = std::max<int>(1, host_.Document().data().System.SwitchCnt);
    exchange_ = new CSpinField(exchanges, 2, this);
    exchange_->setObjectName(QStringLiteral("exchange"));
    master_ = new CSpinField(kMasterCount, 1, this);
    master_->setObjectName(QStringLiteral("master"));
    numbers_ = new QComboBox(this);
    numbers_->setObjectName(QStringLiteral("numbers"));
    numbers_->setEditable(true);
    numbers_->setInsertPolicy(QComboBox::NoInsert);
    numbers_->lineEdit()->setMaxLength(static_cast<int>(kDialDataMax));
    numbers_->setMinimumContentsLength(static_cast<int>(kNumberMax));
    ShowNumbers();

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Exchange No. (1-%1):").arg(exchanges), exchange_);
    form->addRow(QStringLiteral("Master Station No. (1-%1):").arg(kMasterCount), master_);
    form->addRow(QStringLiteral("Dialing Data:"), numbers_);

    dial_ = new QPushButton(QStringLiteral("Dial"), this);
    dial_->setObjectName(QStringLiteral("dial"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    dial_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(dial_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(dial_, &QPushButton::clicked, this, &CDlgRemoteDial::Dial);
    connect(cancel_, &QPushButton::clicked, this, [this] { QDialog::reject(); });
    for (QWidget* edit : {static_cast<QWidget*>(exchange_), static_cast<QWidget*>(master_),
                          static_cast<QWidget*>(numbers_->lineEdit())})
        edit->installEventFilter(this);
    watchdog_.setInterval(1000);
    connect(&watchdog_, &QTimer::timeout, this, &CDlgRemoteDial::OnTick);
    exchange_->setFocus();
}

void CDlgRemoteDial::ShowNumbers() {
    const RemoteDialSetting& remembered = host_.Document().data().RemoteDial;
    numbers_->clear();
    for (int i = 0; i < std::min<int>(remembered.TelCnt, kRemoteTelCount); ++i)
        numbers_->addItem(AnsiToQString(TextOf(remembered.TelNo[i])));
}

void CDlgRemoteDial::SetWatchdog(int limitTicks, int periodMs) {
    limit_ = limitTicks;
    watchdog_.setInterval(periodMs);
}

void CDlgRemoteDial::Dial() {
    const std::string number = QStringToAnsi(numbers_->currentText()).substr(0, kDialDataMax);
    const SettingData& data = host_.Document().data();
    const int exchange = exchange_->value();
    const int master = master_->value();
    const bool exchangeText = !exchange_->text().isEmpty();
    if (!exchangeText || exchange < 1 || exchange > data.System.SwitchCnt) {
        host_.prompt().Tell("Incorrect exchange No.", PromptIcon::Question);
        FocusAndSelect(exchange_->findChild<QLineEdit*>());
        return;
    }
    if (master_->text().isEmpty() || master < 1 || master > kMasterCount) {
        host_.prompt().Tell("Incorrect master equipment No.", PromptIcon::Question);
        FocusAndSelect(master_->findChild<QLineEdit*>());
        return;
    }
    if (data.Exchange[exchange - 1].Master[master - 1].Number.Value == kNoNumber) {
        host_.prompt().Tell("Not registered", PromptIcon::Question);
        FocusAndSelect(exchange_->findChild<QLineEdit*>());
        return;
    }
    if (!IsRemoteDialNumber(number)) {
        host_.prompt().Tell("Incorrect telephone No.", PromptIcon::Question);
        FocusAndSelect(numbers_->lineEdit());
        return;
    }
    if (!host_.ConfirmTransmit()) return;
    ticks_ = 0;
    watchdog_.start();
    SettingDocument& doc = host_.Document();
    if (RememberNumber(doc.data().RemoteDial, number)) doc.modified = true;
    ShowNumbers();
    numbers_->setEditText(AnsiToQString(number));

    RecordRequest request;
    request.exchange = static_cast<uint8_t>(exchange);
    request.station = static_cast<uint8_t>(master);
    request.text = number;
    TransferRequest header;
    header.requester = this;
    header.setMask = kUseSingle;
    header.clearMask = kUseSingle;
    header.exchange = static_cast<uint8_t>(exchange);
    HostPoster poster(host_);
    SendRecord(poster, ProgressMode::Single, 1, 1, header, *Encode('N', request),
               host_.ProgressCancelled());
}

void CDlgRemoteDial::OnTick() {
    const bool cancelled = host_.ProgressCancelled();
    if (!cancelled && ++ticks_ < limit_) return;
    watchdog_.stop();
    host_.SubmitRequest(MakeCloseRequest(this), true);
    host_.CloseProgress();
    if (!cancelled) host_.prompt().Tell("Failed to transmit", PromptIcon::Exclamation);
}

bool CDlgRemoteDial::event(QEvent* event) {
    if (event->type() != static_cast<QEvent::Type>(UM_LINK_RESULT)) return QDialog::event(event);
    watchdog_.stop();
    const auto result = static_cast<uint32_t>(WParamOf(event));
    TakeRequest(event).reset();  // the request ends with its answer
    if (result == kResultDone) {
        host_.AdvanceProgress();
        host_.CloseProgress();
    } else if (result == kResultNotDelivered || result == kResultOpenFailed) {
        host_.prompt().Tell(
            result == kResultNotDelivered ? "Failed to transmit" : "Failed to open the device",
            PromptIcon::Exclamation);
        host_.CloseProgress();
    }
    return true;
}

bool CDlgRemoteDial::eventFilter(QObject* watched, QEvent* event) {
    // Enter inside an edit field moves the focus to Dial instead of pressing it.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            dial_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CDlgRemoteDial::reject() {}  // Escape

void CDlgRemoteDial::closeEvent(QCloseEvent* event) {
    QDialog::reject();  // the window's own close button still closes it
    event->accept();
}

}  // namespace qn410
