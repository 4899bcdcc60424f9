#include "app/qn410_view.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "app/color_button.h"
#include "link/link_messages.h"
#include "setting/setting_file.h"
#include "ui/message_event.h"

namespace qn410 {

namespace {
const QColor kReadingFace(0xFF, 0x00, 0x00);
const QColor kButtonText(0x01, 0x01, 0x01);
constexpr int kColorButtonBevel = 2;
}  // namespace

CQN410View::CQN410View(Prompt& prompt, std::string password, QString workFilePath,
                       std::unique_ptr<ViewLink> link, QWidget* parent)
    : QWidget(parent),
      prompt_(prompt),
      password_(std::move(password)),
      workFilePath_(std::move(workFilePath)),
      link_(link ? std::move(link) : std::make_unique<NoLink>()),
      panel_(new CategoryPanel(this)),
      progress_(this, [this] { link_->ReleaseTransferBits(); }) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel_);
    for (CColorButton* button : {panel_->logDataButton(), panel_->monitorButton()}) {
        button->SetBevel(kColorButtonBevel);
        PaintReading(button, false);
    }
    connect(panel_, &CategoryPanel::categoryClicked, this, &CQN410View::OpenCategory);
}

CQN410View::~CQN410View() {
    if (initialised_) WriteWorkFile(workFilePath_.toStdString(), work_);
}

void CQN410View::Initialise() {
    if (initialised_) return;
    initialised_ = true;
    document_.fileName = kDefaultSettingFile;
    // A missing file is written with default data by the reader.
    ReadSettingFile(document_.fileName, document_, password_, prompt_);
    work_ = ReadWorkFile(workFilePath_.toStdString(), prompt_);
    document_.modified = false;
    readingLog_ = readingMonitor_ = false;
    link_->Start(document_.data().Maintenance);
    emit documentChanged();
}

void CQN410View::RestartLink() {
    link_->Stop();
    link_->Start(document_.data().Maintenance);
}

void CQN410View::SetReadingLog(bool on) {
    readingLog_ = on;
    PaintReading(panel_->logDataButton(), on);
}

void CQN410View::SetReadingMonitor(bool on) {
    readingMonitor_ = on;
    PaintReading(panel_->monitorButton(), on);
}

void CQN410View::PaintReading(CColorButton* button, bool on) {
    const QColor face = on ? kReadingFace : palette().color(QPalette::Button);
    button->SetColors(face, kButtonText, palette().color(QPalette::Disabled, QPalette::ButtonText));
}

bool CQN410View::RefuseWhileReading() {
    if (readingLog_) {
        prompt_.Tell("Reading log data. Please stop reading and try it again.",
                     PromptIcon::Exclamation);
        return true;
    }
    if (readingMonitor_) {
        prompt_.Tell("Reading communication data. Please stop reading and try it again.",
                     PromptIcon::Exclamation);
        return true;
    }
    return false;
}

void CQN410View::SetCategoryHandler(Category category, std::function<void()> handler) {
    handlers_[static_cast<std::size_t>(category)] = std::move(handler);
}

void CQN410View::SetStationCheck(std::function<bool(const SettingData&)> check) {
    stationCheck_ = std::move(check);
}

void CQN410View::OpenCategory(Category category) {
    if (category == Category::Exit) {
        emit exitRequested();
        return;
    }
    // One reading at a time: the log and monitor windows share the link's receive side.
    if (category == Category::LogData && readingMonitor_) {
        prompt_.Tell("Reading communication data. Please stop reading and try it again.",
                     PromptIcon::Exclamation);
        return;
    }
    if (category == Category::CommunicationMonitor && readingLog_) {
        prompt_.Tell("Reading log data. Please stop reading and try it again.",
                     PromptIcon::Exclamation);
        return;
    }
    if (const auto& handler = handlers_[static_cast<std::size_t>(category)]) handler();
    emit modifiedChanged();
    if ((category == Category::GlobalSetting || category == Category::UploadDownload) &&
        stationCheck_ && stationCheck_(document_.data())) {
        openingForCheck_ = true;
        OpenCategory(Category::Stations);
        openingForCheck_ = false;
    }
}

bool CQN410View::event(QEvent* event) {
    const int type = event->type();
    // Qt sends events (ChildAdded, ...) while the members are still being built: look at the
    // type before touching any member.
    if (type >= UM_PROGRESS_RESTART && type <= UM_PROGRESS_STEP)
        return progress_.HandleMessage(event);
    if (type == UM_TAPI_EVENT || (type >= UM_LINK_CONNECTED && type <= UM_LINK_ERROR))
        return link_->HandleNotification(event) || QWidget::event(event);
    switch (type) {
        case UM_LOG_READING:
            SetReadingLog(WParamOf(event) != 0);
            return true;
        case UM_MONITOR_READING:
            SetReadingMonitor(WParamOf(event) != 0);
            return true;
        case UM_LINK_REQUEST:
            if (auto request = TakeRequest(event)) {
                // A window closed since it posted the request gets no answer; the request
                // itself still acts on the link (an abandon still resets the slot).
                if (auto* e = dynamic_cast<LinkEvent*>(event);
                    e && e->requesterTracked && !e->requester)
                    request->requester = nullptr;
                link_->Submit(std::move(request), WParamOf(event) == 1);
            }
            return true;
        default:
            return QWidget::event(event);
    }
}

}  // namespace qn410
