#include "editors/editor_sheet.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qn410 {

EditorSheet::EditorSheet(EditorHost& host, const QString& title, QWidget* parent)
    : EditorFrame(host, parent),
      selector_(new ExchangeSelector(host.Document().data(), /*offerAll=*/true, this)),
      tabs_(new QTabWidget(this)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(selector_);
    layout->addWidget(tabs_, 1);
    layout->addLayout(CommandButtonRow());
}

void EditorSheet::AddPage(ExchangeGridPage* page, const QString& title) {
    tabs_->addTab(page, title);
}

void EditorSheet::StartShowing() {
    // Reading order: the selector, the pages, then the command buttons; the selector first.
    QWidget* previous = tabs_;
    for (QPushButton* button : {PrintButton(), UploadButton(), OverwriteButton(), CloseButton()}) {
        setTabOrder(previous, button);
        previous = button;
    }
    selector_->list()->setFocus();
    ShowActivePage();
    connect(selector_, &ExchangeSelector::changed, this, &EditorSheet::ShowActivePage);
    connect(tabs_, &QTabWidget::currentChanged, this, &EditorSheet::ShowActivePage);
}

ExchangeGridPage* EditorSheet::ActivePage() const {
    return static_cast<ExchangeGridPage*>(tabs_->currentWidget());
}

void EditorSheet::ShowActivePage() {
    if (ExchangeGridPage* page = ActivePage()) page->Show(SelectedExchange());
}

void EditorSheet::ShowExchange(int exchange) {
    // Under "ALL" the selector stays: the unit's row is in the list already.
    if (SelectedExchange() == kAll) return;
    if (SelectedExchange() == exchange)
        ShowActivePage();
    else
        selector_->Select(exchange);
}

int EditorSheet::FirstExchange() const {
    return SelectedExchange() == kAll ? 1 : SelectedExchange();
}

int EditorSheet::LastExchange() const {
    return SelectedExchange() == kAll ? selector_->exchanges() : SelectedExchange();
}

}  // namespace qn410
