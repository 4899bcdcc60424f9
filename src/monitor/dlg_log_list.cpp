#include "monitor/dlg_log_list.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTimerEvent>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <mutex>

#include "editors/editor_host.h"
#include "link/link_event.h"
#include "monitor/log_columns.h"
#include "print/print_request.h"
#include "transfer/record_codec.h"
#include "transfer/send_record.h"
#include "ui/ansi_text.h"
#include "ui/folder_chooser.h"
#include "ui/message_event.h"

namespace qn410 {

namespace {

struct Column {
    const char* title;
    int width;
    Qt::Alignment align;
};
const Column kLogColumnsShown[kLogColumns] = {{"      Download Time", 125, Qt::AlignCenter},
                                              {"Exchange", 75, Qt::AlignCenter},
                                              {"Log Time", 75, Qt::AlignCenter},
                                              {"Line1", 75, Qt::AlignCenter},
                                              {"Line2", 75, Qt::AlignCenter},
                                              {"Line3", 75, Qt::AlignCenter},
                                              {"Line4", 75, Qt::AlignCenter},
                                              {"Status", 150, Qt::AlignCenter}};
const Column kMonitorColumnsShown[kMonitorColumns] = {
    {"      Download Time", 125, Qt::AlignCenter},
    {"Exchange", 75, Qt::AlignCenter},
    {"Monitor Data", 2400, Qt::AlignLeft | Qt::AlignVCenter}};

// Keeps the destination list open while items are ticked: a click toggles the item's check.
class CheckToggler : public QObject {
  public:
    CheckToggler(QComboBox* box, QStandardItemModel* model)
        : QObject(box), box_(box), model_(model) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = box_->view()->indexAt(at);
        if (QStandardItem* item = model_->itemFromIndex(index))
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }

  private:
    QComboBox* box_;
    QStandardItemModel* model_;
};

}  // namespace

CDlgLogList::CDlgLogList(LogKind kind, LogListServices services, QWidget* parent)
    : QDialog(parent), kind_(kind), s_(std::move(services)) {
    setWindowTitle(kind_ == LogKind::Log ? QStringLiteral("Log Data")
                                         : QStringLiteral("Communication Monitor"));
    switchCount_ = ExchangesInUse(s_.host->Document().data());
    BuildControls();

    // The remembered selection, the history (oldest first), then the window takes the records.
    for (int e = 0; e < switchCount_; ++e)
        destModel_->item(e)->setCheckState(selection()[e] ? Qt::Checked : Qt::Unchecked);
    ShowSelectionText();
    {
        std::lock_guard lock(s_.history->lock());
        if (kind_ == LogKind::Log) {
            for (const LogLine& line : s_.history->logsLocked().Entries()) {
                const auto texts = LogRowTexts(line);
                AddRow({texts.begin(), texts.end()});
            }
        } else {
            for (const MonitorEntry& entry : s_.history->monitorsLocked().Entries()) {
                const auto texts = MonitorRowTexts(entry);
                AddRow({texts.begin(), texts.end()});
            }
        }
    }
    dataSave_->setEnabled(list_->topLevelItemCount() > 0);
    if (s_.registerWindow) s_.registerWindow(this);
    destination_->setFocus();
}

CDlgLogList::~CDlgLogList() {
    if (s_.registerWindow) s_.registerWindow(nullptr);
}

void CDlgLogList::BuildControls() {
    auto* group = new QGroupBox(QStringLiteral("Destination"), this);
    auto* exchangeLabel =
        new QLabel(QString::asprintf("Exchange No. (1-%d):", switchCount_), group);
    destination_ = new QComboBox(group);
    destModel_ = new QStandardItemModel(destination_);
    QStringList names;
    for (int e = 1; e <= switchCount_; ++e) names << QString::number(e);
    if (switchCount_ > 1) names << QStringLiteral("ALL") << QStringLiteral("RESET");
    for (const QString& name : names) {
        auto* item = new QStandardItem(name);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        destModel_->appendRow(item);
    }
    destination_->setModel(destModel_);
    destination_->view()->viewport()->installEventFilter(
        new CheckToggler(destination_, destModel_));
    exchangeLabel->setBuddy(destination_);
    selectionText_ = new QLabel(group);
    selectionText_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("16 ")) * 16);
    select_ = new QPushButton(QStringLiteral("Select"), group);
    auto* row = new QHBoxLayout(group);
    row->addWidget(exchangeLabel);
    row->addWidget(destination_);
    row->addWidget(selectionText_, 1);
    row->addWidget(select_);

    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);  // fast with a thousand rows arriving
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const Column* columns = kind_ == LogKind::Log ? kLogColumnsShown : kMonitorColumnsShown;
    const int count = kind_ == LogKind::Log ? kLogColumns : kMonitorColumns;
    QStringList titles;
    for (int c = 0; c < count; ++c) titles << QString::fromLatin1(columns[c].title);
    list_->setHeaderLabels(titles);
    // The widths are the exchange's tool's, in its small font; a larger desktop font still
    // shows every title and the whole reception time.
    const QFontMetrics metrics = list_->fontMetrics();
    const int timeWidth = metrics.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16;
    const int statusWidth =
        metrics.horizontalAdvance(QStringLiteral("Emergency Paging begin")) + 16;
    for (int c = 0; c < count; ++c) {
        const int needed = metrics.horizontalAdvance(titles[c].trimmed()) + 24;
        list_->setColumnWidth(c, std::max({columns[c].width, needed, c == 0 ? timeWidth : 0,
                                           kind_ == LogKind::Log && c == 7 ? statusWidth : 0}));
        list_->headerItem()->setTextAlignment(c, columns[c].align);
    }
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsClickable(true);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &CDlgLogList::SortBy);

    folderButton_ = new QPushButton(QStringLiteral("Select Folder"), this);
    print_ = new QPushButton(QStringLiteral("Print"), this);
    dataSave_ = new QPushButton(QStringLiteral("Data Save"), this);
    close_ = new QPushButton(QStringLiteral("Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(folderButton_);
    buttons->addStretch(1);
    buttons->addWidget(print_);
    buttons->addWidget(dataSave_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    for (QPushButton* b : {select_, folderButton_, print_, dataSave_, close_})
        b->setAutoDefault(false);
    setTabOrder(destination_, select_);
    setTabOrder(select_, list_);
    setTabOrder(list_, folderButton_);
    setTabOrder(folderButton_, print_);
    setTabOrder(print_, dataSave_);
    setTabOrder(dataSave_, close_);

    connect(select_, &QPushButton::clicked, this, &CDlgLogList::Select);
    connect(dataSave_, &QPushButton::clicked, this, &CDlgLogList::DataSave);
    connect(folderButton_, &QPushButton::clicked, this, &CDlgLogList::SelectFolder);
    connect(print_, &QPushButton::clicked, this, &CDlgLogList::Print);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    resize(kind_ == LogKind::Log ? 840 : 720, 480);
}

std::array<bool, kExchangeCount>& CDlgLogList::selection() {
    return kind_ == LogKind::Log ? s_.choices->logSelection : s_.choices->monitorSelection;
}

std::string& CDlgLogList::folder() {
    return kind_ == LogKind::Log ? s_.choices->logFolder : s_.choices->monitorFolder;
}

void CDlgLogList::SetTimeout(int ticks, int tickMs) {
    limit_ = ticks;
    tickMs_ = tickMs;
}

void CDlgLogList::ShowSelectionText() {
    bool all = true;
    QString text;
    for (int e = 0; e < switchCount_; ++e) {
        all = all && selection()[e];
        if (selection()[e]) text += QString::number(e + 1) + QLatin1Char(' ');
    }
    selectionText_->setText(all ? QStringLiteral("ALL") : text);
}

void CDlgLogList::Select() {
    auto checked = [this](int row) {
        return row < destModel_->rowCount() && destModel_->item(row)->checkState() == Qt::Checked;
    };
    std::array<bool, kExchangeCount> flags{};
    const bool several = switchCount_ >= 2;
    if (several && checked(switchCount_)) {  // "ALL"
        for (int e = 0; e < switchCount_; ++e) flags[e] = true;
    } else if (!(several && checked(switchCount_ + 1))) {  // not "RESET"
        for (int e = 0; e < switchCount_; ++e) flags[e] = checked(e);
    }
    selection() = flags;
    ShowSelectionText();
    if (!s_.host->ConfirmTransmit()) return;

    std::string text;
    anySelected_ = false;
    for (const bool f : flags) {
        text += f ? '1' : '0';
        anySelected_ = anySelected_ || f;
    }
    const char letter = kind_ == LogKind::Log ? 'O' : 'P';
    const uint8_t mask = kind_ == LogKind::Log ? kUseLog : kUseMonitor;
    TransferRequest header;
    header.requester = this;
    header.setMask = mask;
    header.clearMask = anySelected_ ? 0 : mask;
    RecordRequest request;
    request.text = text;
    const auto record = Encode(letter, request);
    if (!record) return;
    ticks_ = 0;
    timer_.start(tickMs_, this);
    HostPoster poster(*s_.host);
    SendRecord(poster, ProgressMode::Single, 1, 1, header, *record, false);
}

void CDlgLogList::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) return QDialog::timerEvent(event);
    if (s_.host->ProgressCancelled()) return GiveUp(false);
    if (++ticks_ >= limit_) GiveUp(true);
}

void CDlgLogList::GiveUp(bool timedOut) {
    timer_.stop();
    s_.host->SubmitRequest(MakeCloseRequest(this), /*abandon=*/true);
    s_.host->CloseProgress();
    if (timedOut) s_.host->prompt().Tell("Failed to transmit", PromptIcon::Exclamation);
}

bool CDlgLogList::event(QEvent* event) {
    if (static_cast<int>(event->type()) != UM_LINK_RESULT) return QDialog::event(event);
    auto* e = dynamic_cast<LinkEvent*>(event);
    const auto code = static_cast<uint32_t>(WParamOf(event));
    if (code == kResultReceived) {
        if (e && e->logLine && kind_ == LogKind::Log) {
            const auto texts = LogRowTexts(*e->logLine);
            AddRow({texts.begin(), texts.end()});
        } else if (e && e->monitorEntry && kind_ == LogKind::Monitor) {
            const auto texts = MonitorRowTexts(*e->monitorEntry);
            AddRow({texts.begin(), texts.end()});
        }
        dataSave_->setEnabled(true);
        return true;
    }
    OnResult(code);
    return true;  // the block is released with the event
}

void CDlgLogList::OnResult(uint32_t code) {
    timer_.stop();
    Prompt& prompt = s_.host->prompt();
    switch (code) {
        case kResultDone:
            s_.host->AdvanceProgress();
            s_.host->CloseProgress();
            PostMessageTo(s_.view, kind_ == LogKind::Log ? UM_LOG_READING : UM_MONITOR_READING,
                          anySelected_ ? 1 : 0);
            break;
        case kResultNotDelivered:
            prompt.Tell("Failed to transmit", PromptIcon::Exclamation);
            s_.host->CloseProgress();
            break;
        case kResultOpenFailed:
            prompt.Tell("Failed to open the device", PromptIcon::Exclamation);
            s_.host->CloseProgress();
            break;
        default:
            break;
    }
}

void CDlgLogList::AddRow(const std::vector<std::string>& texts) {
    QScrollBar* bar = list_->verticalScrollBar();
    const bool atEnd = list_->topLevelItemCount() == 0 || bar->value() == bar->maximum();
    if (list_->topLevelItemCount() >= kMaxRows) delete list_->takeTopLevelItem(0);
    auto* item = new QTreeWidgetItem;
    const int count = static_cast<int>(texts.size());
    const Column* columns = kind_ == LogKind::Log ? kLogColumnsShown : kMonitorColumnsShown;
    for (int c = 0; c < count; ++c) {
        item->setText(c, QString::fromLatin1(texts[c].data(), static_cast<int>(texts[c].size())));
        item->setTextAlignment(c, columns[c].align);
    }
    list_->addTopLevelItem(item);
    if (atEnd) list_->scrollToItem(item);
}

void CDlgLogList::SortBy(int column) {
    if (column < 0 || column >= static_cast<int>(descending_.size())) return;
    list_->sortItems(column, descending_[column] ? Qt::DescendingOrder : Qt::AscendingOrder);
    descending_[column] = !descending_[column];
}

void CDlgLogList::DataSave() {
    const std::string path = DataSaveName(kind_, folder(), s_.clock->Now());
    std::vector<std::string> lines;
    bool saved = false;
    {
        // The history is not added to while it is written out.
        std::lock_guard lock(s_.history->lock());
        if (kind_ == LogKind::Log) {
            for (const LogLine& line : s_.history->logsLocked().Entries())
                lines.push_back(FileLine(line));
        } else {
            for (const MonitorEntry& entry : s_.history->monitorsLocked().Entries())
                lines.push_back(FileLine(entry));
        }
        saved = AppendLines(path, lines);
    }
    // A save that did not happen is said so, with the words of the daily file.
    if (!saved)
        s_.host->prompt().Tell(kind_ == LogKind::Log
                                   ? "Log Data File could not be opened"
                                   : "Communication Monitoring File could not be opened",
                               PromptIcon::Exclamation);
}

void CDlgLogList::SelectFolder() {
    const auto chosen = s_.folders->ChooseFolder(this, QStringLiteral("Select Folder"));
    if (!chosen) return;
    folder() = chosen->toStdString();
    if (s_.folderChosen) s_.folderChosen(kind_, folder());
}

void CDlgLogList::Print() {
    // The rows as the list shows them, in the system's single-byte texts.
    PrintRows rows;
    for (int r = 0; r < list_->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* item = list_->topLevelItem(r);
        std::vector<std::string> texts;
        for (int c = 0; c < list_->columnCount(); ++c)
            texts.push_back(QStringToAnsi(item->text(c)));
        rows.rows.push_back(std::move(texts));
    }
    PrintJob job;
    job.category = kind_ == LogKind::Log ? kPrintLogData : kPrintMonitor;
    job.data = std::move(rows);
    s_.host->PostPrint(std::move(job));
}

void CDlgLogList::done(int result) {
    if (s_.registerWindow) s_.registerWindow(nullptr);
    timer_.stop();
    QDialog::done(result);
}

}  // namespace qn410
