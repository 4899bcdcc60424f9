// "Call Forwarding/Time-Out": per exchange, call forwarding (always, or between a start and an
// end time), busy forwarding, and three limits: the no-answer interval, the call time-out and
// the conversation time-out. A limit of 0 is off. Upload sends one 'F' record for the exchange
// shown, then the release request.
//
// Check boxes and limit boxes store at once (a limit box only a number within its range; it
// shows the stored value again otherwise). The time boxes are read whenever the record is
// gathered: before the checks, the comparison, printing, and before another exchange is shown.
#pragma once

#include <array>
#include <memory>

#include "editors/editor_frame.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace qn410 {

class EditSpin;
class ExchangeSelector;

using FunctionCopy = std::array<FunctionSetting, kExchangeCount>;

class CDlgFunction : public EditorFrame {
    Q_OBJECT
  public:
    explicit CDlgFunction(EditorHost& host, QWidget* parent = nullptr);
    ~CDlgFunction() override;

    // A limit: its check box, label and box.
    struct Limit {
        QCheckBox* box;
        QLabel* label;
        EditSpin* value;
    };
    enum LimitKind { kNoAnswer, kCallTimeOut, kConversation };

    // The working copy with the time boxes of the exchange shown read in.
    FunctionCopy Gathered() const;
    ExchangeSelector& selector() const { return *selector_; }
    QCheckBox* forwardingBox() const { return forwarding_; }
    QCheckBox* timeBasedBox() const { return timeBased_; }
    QCheckBox* busyBox() const { return busy_; }
    QLineEdit* startBox() const { return start_; }
    QLineEdit* endBox() const { return end_; }
    const Limit& limit(LimitKind kind) const { return limits_[kind]; }

  protected:
    std::optional<ValidationFailure> Validate() override;
    std::optional<ValidationFailure> ValidateUpload() override;
    bool WorkingCopyDiffers() const override;
    void CommitWorkingCopy() override;
    void ReloadWorkingCopy() override;
    void ShowExchange(int exchange) override;
    void ShowFailurePlace(const ValidationFailure& failure) override;
    void BeginUpload() override;
    int UploadMessageCount() const override { return 2; }
    void SendUploadMessage(int step) override;
    PrintJob MakePrintJob() const override;

  private:
    void BuildLayout();
    Limit MakeLimit(const char* box, QString label, int first, int last, int step, int digits);
    // Fills the controls from the record; the time boxes keep their texts when `keepTimes`.
    void Show(int exchange, bool keepTimes);
    void ShowLimits();
    void UpdateEnabled();
    void OnLimitBox(LimitKind kind, bool on);
    void OnLimitValue(LimitKind kind, int value);
    uint16_t LimitValue(const FunctionSetting& f, LimitKind kind) const;
    void SetLimitValue(FunctionSetting& f, LimitKind kind, int value);
    bool TimeBoxesReadable() const;
    std::optional<ValidationFailure> TimeFailure(int exchange, bool start) const;
    FunctionSetting& Shown() { return copy_[shown_ - 1]; }

    FunctionCopy copy_{};
    std::unique_ptr<ExchangeSelector> selector_;
    QCheckBox* forwarding_;
    QCheckBox* timeBased_;
    QLabel* startLabel_;
    QLineEdit* start_;
    QLabel* endLabel_;
    QLineEdit* end_;
    QCheckBox* busy_;
    Limit limits_[3];
    int shown_ = 1;
    int uploadExchange_ = 1;
};

}  // namespace qn410
