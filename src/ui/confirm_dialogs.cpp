#include "ui/confirm_dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/title_width.h"

namespace qn410 {

CDlgConfirm::CDlgConfirm(Direction direction, QWidget* parent) : QDialog(parent) {
    const bool transmit = direction == Direction::Transmit;
    setWindowTitle(transmit ? QStringLiteral("Transmission verification")
                            : QStringLiteral("reception verification"));
    auto* text = new QLabel(transmit ? QStringLiteral("Will transmit set data. OK?")
                                     : QStringLiteral("Will receive set data. OK?"),
                            this);
    text->setObjectName(QStringLiteral("text"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
    WidenForTitle(*this);
}

bool ConfirmTransmit(QWidget* parent) {
    CDlgConfirm dialog(CDlgConfirm::Direction::Transmit, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool ConfirmReceive(QWidget* parent) {
    CDlgConfirm dialog(CDlgConfirm::Direction::Receive, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace qn410
