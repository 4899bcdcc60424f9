// The behaviour every setting editor shares: a private working copy of its category, written
// back only by Overwrite (or just before an upload); Close that asks before throwing changes
// away; Upload with its confirmation, commit, message sequence and 120-second watchdog; Print;
// and the keyboard rules of the editors. A subclass adds its controls and the hooks below.
//
// Buttons: "Print", "Upload", "Overwrite" (the default button; validates and commits, the dialog
// stays open) and "Close" (the dialog's cancel: asks "Text changed. Exit?" when the working copy
// differs from the setting data). The subclass places them with CommandButtonRow().
//
// Keyboard rules, applied to every key press inside the dialog before the dialog sees it:
//   1. Ctrl+S saves the setting file and is consumed;
//   2. while a drop-down list has the focus, 0..9 and Space are consumed;
//   3. while the focus is on anything but the four command buttons, Enter and Escape go only to
//      the focused control and never press Overwrite or Close;
//   4. every other key takes the normal path.
//
// Every editor opens with the focus on its first input and Tab walks its controls in reading
// order (top to bottom, left to right; the command buttons last). An editor can be resized, its
// grids taking the room, and opens again at the size the user last gave it.
//
// Link results reach the editor as the view's posted UM_LINK_RESULT (a LinkEvent or a
// MessageEvent carrying the request), handled by HandleLinkResult; the watchdog ticks through
// OnWatchdogTick every second while an upload message is in flight.
#pragma once

#include <QDialog>
#include <QTimer>
#include <optional>
#include <string>

#include "editors/editor_host.h"
#include "grid/grid_ctrl.h"
#include "transfer/send_record.h"

class QHBoxLayout;
class QPushButton;

namespace qn410 {

// The first failing check of a validation, and where the user is taken to correct it.
struct ValidationFailure {
    std::string message;       // shown with the question-mark icon and OK
    int exchange = 0;          // selected and shown first; 0 leaves the selector as it is
    QWidget* focus = nullptr;  // the control to focus; an edit box gets its text selected
    GridCtrl* grid = nullptr;  // or a grid, which takes the focus with `cell` current
    GridCell cell;
};

class EditorFrame : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kWatchdogLimit = 120;  // ticks of 1 second

    EditorFrame(EditorHost& host, QWidget* parent = nullptr);
    ~EditorFrame() override;

    // Overwrite: validates; if the working copy differs from the setting data, commits it, sets
    // the modified flag and reloads the working copy. False when a check failed.
    bool Overwrite();
    // Upload: validates, confirms, commits, then sends the messages one by one. An editor that
    // runs a transfer of its own (Dialing Assignment) replaces it.
    virtual void Upload();
    // Print: hands a copy of the working copy (unsaved edits included) to the printing thread.
    void Print();
    // Close: the dialog's cancel.
    void reject() override;

    // UM_LINK_RESULT for one of this editor's requests; the request is released here.
    void HandleLinkResult(uint32_t result, TransferRequestPtr request);
    // One tick of the upload watchdog (timer 1, every 1000 ms).
    void OnWatchdogTick();
    bool UploadActive() const { return uploading_; }
    // The watchdog's limit in ticks and its period; 120 ticks of 1000 ms unless a test shortens
    // them.
    void SetWatchdog(int limitTicks, int periodMs);

    QPushButton* PrintButton() const { return print_; }
    QPushButton* UploadButton() const { return upload_; }
    QPushButton* OverwriteButton() const { return overwrite_; }
    QPushButton* CloseButton() const { return close_; }

  protected:
    // The first failing check of the working copy, or nothing when all pass.
    virtual std::optional<ValidationFailure> Validate() = 0;
    // The checks Upload makes before its confirmation; an editor with stricter upload checks
    // overrides it. The commit that follows the confirmation uses Validate.
    virtual std::optional<ValidationFailure> ValidateUpload() { return Validate(); }
    virtual bool WorkingCopyDiffers() const = 0;
    // Copies the working copy into the setting data (the frame sets the modified flag).
    virtual void CommitWorkingCopy() = 0;
    // Copies the setting data back into the working copy.
    virtual void ReloadWorkingCopy() = 0;
    // Selects an exchange in the selector and shows its records (editors with a selector).
    virtual void ShowExchange(int /*exchange*/) {}
    // Takes the user to a failure: shows its exchange and focuses its control or grid cell.
    // A sheet with pages overrides it to switch to the page concerned first.
    virtual void ShowFailurePlace(const ValidationFailure& failure);

    // The upload sequence: how many messages it has (the release request included) and the
    // sending of message `step` (1-based), which builds the record and posts it (SendRecord).
    // BeginUpload fixes the sequence (which exchanges, which page) before its first message.
    virtual void BeginUpload() {}
    virtual int UploadMessageCount() const = 0;
    virtual void SendUploadMessage(int step) = 0;

    virtual PrintJob MakePrintJob() const = 0;

    // A row holding the four command buttons, for the subclass's layout.
    QHBoxLayout* CommandButtonRow();
    EditorHost& host() const { return host_; }
    // An abandon request for the view: requester this editor, set mask 0, clear mask 3.

    // One message of the upload sequence: record (empty for the release request) behind a
    // header naming this editor, with the progress announcement of its mode; when the user has
    // cancelled the progress display the link is abandoned instead (SendRecord).
    void SendUploadRecord(ProgressMode mode, int bound, int step, uint8_t setMask,
                          uint8_t clearMask, uint8_t exchange, std::string_view record);

    bool eventFilter(QObject* watched, QEvent* event) override;
    // UM_LINK_RESULT from the view reaches HandleLinkResult.
    bool event(QEvent* event) override;
    // The first showing arranges focus, tab order and the remembered size.
    void setVisible(bool visible) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool ValidateAndReport(bool upload = false);
    void SendStep();
    void EndUpload();
    bool IsCommandButton(const QWidget* widget) const;
    void ArrangeForFirstShow();
    QString SizeKey() const;

    EditorHost& host_;
    QPushButton* print_;
    QPushButton* upload_;
    QPushButton* overwrite_;
    QPushButton* close_;
    QTimer watchdog_;
    int watchdogCount_ = 0;
    int watchdogLimit_ = kWatchdogLimit;
    int step_ = 0;
    bool done_ = false;
    bool uploading_ = false;
    bool arranged_ = false;
    bool userResized_ = false;
};

}  // namespace qn410
