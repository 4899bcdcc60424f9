// An editor made of pages under one exchange selector ("Stations", "Paging"): the selector with
// "ALL" above the pages, the pages following it when they become active, and the command buttons
// of the frame below. A failure's exchange is selected unless "ALL" is shown, where the unit's
// row is in the list already.
#pragma once

#include "editors/editor_frame.h"
#include "editors/exchange_grid_page.h"
#include "editors/exchange_selector.h"

class QComboBox;
class QTabWidget;

namespace qn410 {

class EditorSheet : public EditorFrame {
    Q_OBJECT
  public:
    static constexpr int kAll = ExchangeSelector::kAll;

    EditorSheet(EditorHost& host, const QString& title, QWidget* parent = nullptr);

    // The exchange chosen in the selector, or kAll.
    int SelectedExchange() const { return selector_->Selected(); }
    QComboBox* exchangeList() const { return selector_->list(); }
    QTabWidget* tabs() const { return tabs_; }

  protected:
    void AddPage(ExchangeGridPage* page, const QString& title);
    // Shows the selected exchange on the active page, now and whenever either changes.
    void StartShowing();
    ExchangeGridPage* ActivePage() const;
    void ShowActivePage();
    void ShowExchange(int exchange) override;
    // The exchanges an upload sends: the one shown, or 1..SwitchCnt under "ALL".
    int FirstExchange() const;
    int LastExchange() const;

  private:
    ExchangeSelector* selector_;
    QTabWidget* tabs_;
};

}  // namespace qn410
