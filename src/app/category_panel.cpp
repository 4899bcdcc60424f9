#include "app/category_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/color_button.h"

namespace qn410 {

namespace {

constexpr const char* kButtonTexts[kCategoryCount] = {
    "Global Setting",
    "Stations",
    "C/O Trunks",
    "Group Call",
    "Call Forwarding/Time-Out",
    "Scan Monitor",
    "Paging",
    "Emergency Conference",
    "Direct Select",
    "Remote Dialing",
    "Log Data",
    "Communication Monitor",
    "Upload/Download",
    "Printout",
    "PC Port",
    "Dialing Assignment",
    "Exit",
};

constexpr int kButtonWidth = 180;
constexpr int kButtonHeight = 30;

// The title picture above the groups: the system's name on a dark band.
QLabel* TitlePicture(QWidget* parent) {
    auto* title = new QLabel(QStringLiteral("QN-410 System  Maintenance"), parent);
    title->setObjectName(QStringLiteral("titlePicture"));
    title->setAlignment(Qt::AlignCenter);
    title->setMinimumHeight(64);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(24);
    font.setBold(true);
    font.setItalic(true);
    title->setFont(font);
    title->setStyleSheet(QStringLiteral(
        "QLabel { color: #ffffff; border: 2px groove #808080;"
        " background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #0a246a, stop:1 #3a6ea5); }"));
    return title;
}

QGroupBox* Group(const char* title, QWidget* parent) {
    auto* group = new QGroupBox(QString::fromLatin1(title), parent);
    auto* layout = new QVBoxLayout(group);
    layout->setSpacing(10);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    return group;
}

}  // namespace

const char* CategoryButtonText(Category category) {
    return kButtonTexts[static_cast<int>(category)];
}

CategoryPanel::CategoryPanel(QWidget* parent)
    : QWidget(parent),
      logData_(new CColorButton(QString(), this)),
      monitor_(new CColorButton(QString(), this)) {
    auto* system = Group("System", this);
    auto* lines = Group("Lines", this);
    auto* functions = Group("Functions", this);
    auto* maintenance = Group("Maintenance/Control Functions", this);
    auto* dial = Group("QN-410DI", this);

    auto add = [this](QGroupBox* group, Category category, QPushButton* button = nullptr) {
        group->layout()->addWidget(AddButton(category, button));
    };
    add(system, Category::GlobalSetting);
    add(lines, Category::Stations);
    add(lines, Category::CoTrunks);
    for (Category c : {Category::GroupCall, Category::CallForwarding, Category::ScanMonitor,
                       Category::Paging, Category::EmergencyConference, Category::DirectSelect})
        add(functions, c);
    add(maintenance, Category::RemoteDialing);
    add(maintenance, Category::LogData, logData_);
    add(maintenance, Category::CommunicationMonitor, monitor_);
    for (Category c : {Category::UploadDownload, Category::Printout, Category::PcPort})
        add(maintenance, c);
    add(dial, Category::DialingAssignment);
    QPushButton* exit = AddButton(Category::Exit, nullptr);

    // Enter on these three opens them, as a click would.
    for (Category c : {Category::GlobalSetting, Category::LogData, Category::CommunicationMonitor})
        button(c)->setAutoDefault(true);

    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    left->addWidget(system);
    left->addWidget(lines);
    left->addWidget(dial);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 14, 14, 14);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(14);
    grid->addWidget(TitlePicture(this), 0, 0, 1, 3);
    grid->addLayout(left, 1, 0);
    grid->addWidget(functions, 1, 1);
    grid->addWidget(maintenance, 1, 2);
    grid->addWidget(exit, 2, 2, Qt::AlignRight);
}

QPushButton* CategoryPanel::AddButton(Category category, QPushButton* button) {
    if (!button) button = new QPushButton(this);
    button->setText(QString::fromLatin1(CategoryButtonText(category)));
    button->setFixedSize(kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    buttons_[static_cast<std::size_t>(category)] = button;
    connect(button, &QPushButton::clicked, this,
            [this, category] { emit categoryClicked(category); });
    return button;
}

}  // namespace qn410
