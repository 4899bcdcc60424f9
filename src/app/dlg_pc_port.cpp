#include "app/dlg_pc_port.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

#include "app/password_dialogs.h"
#include "link/port_map.h"
#include "setting/text_field.h"
#include "ui/ansi_text.h"

namespace qn410 {

namespace {

constexpr std::size_t kTelNoLength = 20;

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The serial devices present, each with what the system says of it.
QString PresentDevices() {
    QStringList lines;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString line = info.systemLocation();
        if (!info.description().isEmpty()) line += QStringLiteral("  ") + info.description();
        if (!info.manufacturer().isEmpty())
            line += QStringLiteral(" (%1)").arg(info.manufacturer());
        lines << line;
    }
    if (lines.isEmpty()) return QStringLiteral("Serial devices present: none found");
    return QStringLiteral("Serial devices present:\n") + lines.join(QLatin1Char('\n'));
}

}  // namespace

bool IsModemNumber(const std::string& text) {
    return !text.empty() && text.size() <= kTelNoLength &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
}

CDlgPcPort::CDlgPcPort(EditorHost& host, PcPortActions actions, QWidget* parent)
    : QDialog(parent), host_(host), actions_(std::move(actions)) {
    setWindowTitle(QStringLiteral("PC Port"));
    auto* group = new QGroupBox(QStringLiteral("PC/Exchange Connection Setting"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Method"), group), 0, 0);
    methods_[0] = Named(new QRadioButton(QStringLiteral("RS-232C"), group), "rs232c");
    methods_[1] = Named(new QRadioButton(QStringLiteral("Modem"), group), "modem");
    auto* methodGroup = new QButtonGroup(this);
    for (int m = 0; m < 2; ++m) {
        methodGroup->addButton(methods_[m], m);
        grid->addWidget(methods_[m], 0, 1 + m);
        connect(methods_[m], &QRadioButton::clicked, this, [this, m] {
            copy_.PcConnect = static_cast<uint8_t>(m);
            EnableForMethod(m);
        });
    }
    portLabel_ = new QLabel(QStringLiteral("COM port"), group);
    grid->addWidget(portLabel_, 1, 0);
    portGroup_ = new QButtonGroup(this);
    for (int p = 0; p < kPortCount; ++p) {
        ports_[p] = new QRadioButton(QString::fromStdString(PortName(p)), group);
        ports_[p]->setObjectName(QStringLiteral("com%1").arg(p + 1));
        devices_[p] = new QLabel(QString::fromStdString(DeviceOfPort(p)), group);
        devices_[p]->setEnabled(false);  // information, greyed like a hint
        portGroup_->addButton(ports_[p], p);
        grid->addWidget(ports_[p], 1 + p, 1);
        grid->addWidget(devices_[p], 1 + p, 2);
        connect(ports_[p], &QRadioButton::clicked, this,
                [this, p] { copy_.CommPort = static_cast<uint8_t>(p); });
    }
    lineLabel_ = new QLabel(
        QStringLiteral("Baud Rate: 19200; Parity: Even; Data: 8 bits; Stop Bit: 1"), group);
    grid->addWidget(lineLabel_, 5, 0, 1, 3);
    telLabel_ = new QLabel(QStringLiteral("Telephone No."), group);
    telNo_ = Named(new QLineEdit(group), "telNo");
    telLabel_->setBuddy(telNo_);
    grid->addWidget(telLabel_, 6, 0);
    grid->addWidget(telNo_, 6, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    auto* present = Named(new QLabel(PresentDevices(), this), "present");
    present->setTextInteractionFlags(Qt::TextSelectableByMouse);

    password_ = Named(new QPushButton(QStringLiteral("New Password"), this), "newPassword");
    print_ = Named(new QPushButton(QStringLiteral("Print"), this), "print");
    overwrite_ = Named(new QPushButton(QStringLiteral("Overwrite"), this), "overwrite");
    close_ = Named(new QPushButton(QStringLiteral("Close"), this), "close");
    overwrite_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(password_);
    buttons->addWidget(print_);
    buttons->addStretch(1);
    buttons->addWidget(overwrite_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(present);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(overwrite_, &QPushButton::clicked, this, &CDlgPcPort::Overwrite);
    connect(close_, &QPushButton::clicked, this, [this] {
        if (MayClose()) QDialog::reject();
    });
    connect(print_, &QPushButton::clicked, this, &CDlgPcPort::Print);
    connect(password_, &QPushButton::clicked, this, [this] {
        if (actions_.newPassword) actions_.newPassword();
    });
    telNo_->installEventFilter(new EnterToDefaultFilter(overwrite_, this));
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this,
            [this] { host_.SaveDocument(); });

    copy_ = stored();
    ShowValues(copy_);
    methods_[copy_.PcConnect == 1 ? 1 : 0]->setFocus();
}

void CDlgPcPort::ShowValues(const MaintenanceSetting& values) {
    const int method = values.PcConnect == 1 ? 1 : 0;
    portGroup_->setExclusive(false);
    for (QRadioButton* b : ports_) b->setChecked(false);
    portGroup_->setExclusive(true);
    methods_[method]->setChecked(true);
    EnableForMethod(method);
    if (values.CommPort < kPortCount) ports_[values.CommPort]->setChecked(true);
    telNo_->setText(AnsiToQString(TextOf(values.TelNo)));
}

void CDlgPcPort::EnableForMethod(int method) {
    const bool serial = method == 0;
    portLabel_->setEnabled(serial);
    lineLabel_->setEnabled(serial);
    for (QRadioButton* b : ports_) b->setEnabled(serial);
    telLabel_->setEnabled(!serial);
    telNo_->setEnabled(!serial);
}

void CDlgPcPort::Overwrite() {
    if (actions_.refuseWhileReading && actions_.refuseWhileReading()) {
        copy_ = stored();
        ShowValues(copy_);
        return;
    }
    if (copy_.PcConnect == 1) {
        const std::string number = QStringToAnsi(telNo_->text());
        if (!IsModemNumber(number)) {
            host_.prompt().Tell("Incorrect telephone No.", PromptIcon::Question);
            telNo_->setFocus();
            telNo_->selectAll();
            return;
        }
        SetText(copy_.TelNo, number);
    }
    const MaintenanceSetting& now = stored();
    const bool changed = copy_.PcConnect != now.PcConnect || copy_.CommPort != now.CommPort ||
                         (copy_.PcConnect == 1 && TextOf(copy_.TelNo) != TextOf(now.TelNo));
    if (!changed) return;
    host_.Document().data().Maintenance = copy_;
    host_.Document().modified = true;
    if (actions_.restartLink) actions_.restartLink();
}

bool CDlgPcPort::MayClose() {
    const MaintenanceSetting& now = stored();
    const bool differs =
        copy_.PcConnect != now.PcConnect || copy_.CommPort != now.CommPort ||
        (copy_.PcConnect == 1 && QStringToAnsi(telNo_->text()) != TextOf(now.TelNo));
    return !differs || host_.prompt().AskYesNo("Text changed. Exit?");
}

void CDlgPcPort::Print() {
    SetText(copy_.TelNo, QStringToAnsi(telNo_->text()).substr(0, kTelNoLength));
    host_.PostPrint({kPrintPcPort, 0, copy_});
}

void CDlgPcPort::reject() {}

void CDlgPcPort::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;  // swallowed
    QDialog::keyPressEvent(event);
}

void CDlgPcPort::closeEvent(QCloseEvent* event) {
    if (MayClose()) {
        QDialog::reject();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace qn410
