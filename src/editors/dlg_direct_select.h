// "Direct Select": per exchange, whether its control outputs switch when a call is answered
// ("Response-Activated", 0) or when it is made ("Call-Activated", 1). No checks; Upload sends
// one 'M' record for the exchange shown (the other exchanges' changes are committed, not sent).
#pragma once

#include <memory>

#include "editors/editor_frame.h"

class QRadioButton;

namespace qn410 {

class ExchangeSelector;

class CDlgDirectSelect : public EditorFrame {
    Q_OBJECT
  public:
    explicit CDlgDirectSelect(EditorHost& host, QWidget* parent = nullptr);
    ~CDlgDirectSelect() override;

    const DirectSelectSetting& workingCopy() const { return copy_; }
    ExchangeSelector& selector() const { return *selector_; }
    QRadioButton* responseButton() const { return response_; }
    QRadioButton* callButton() const { return call_; }

  protected:
    std::optional<ValidationFailure> Validate() override { return std::nullopt; }
    bool WorkingCopyDiffers() const override;
    void CommitWorkingCopy() override;
    void ReloadWorkingCopy() override;
    void ShowExchange(int exchange) override;
    void BeginUpload() override;
    int UploadMessageCount() const override { return 1; }
    void SendUploadMessage(int step) override;
    PrintJob MakePrintJob() const override;

  private:
    void Show(int exchange);

    DirectSelectSetting copy_{};
    std::unique_ptr<ExchangeSelector> selector_;
    QRadioButton* response_;
    QRadioButton* call_;
    int shown_ = 1;
    int uploadExchange_ = 1;
};

}  // namespace qn410
