// The Upload/Download sheet: the whole setting data to the exchanges ("Data Upload") or from
// them ("Data Download"), for all exchanges or one. The sheet adds the exchange selection, the
// station number check, the confirmation and the one-second timer to a TransferSession, which
// does the sequencing; link results (UM_LINK_RESULT) and an exchange's interruption (0x1404)
// come to the sheet as posted events.
//
// While it is open the sheet is the receiver of the setting records the exchanges send. It
// stays open after every outcome, so another transfer can start; Escape does not close it.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <atomic>
#include <functional>

#include "setting/prompt.h"
#include "setting/setting_data.h"
#include "transfer/transfer_session.h"

class QPushButton;
class QTabWidget;

namespace qn410 {

class CPageComTx;
class CPageComRx;

class CSheetComm : public QDialog, private TransferHost {
    Q_OBJECT
  public:
    enum Page { kUploadPage = 0, kDownloadPage = 1 };

    // registerSheet(this) on opening and registerSheet(nullptr) on closing make the sheet the
    // receiver of the exchanges' setting records; cancelFlag is the progress display's.
    CSheetComm(SettingDocument& doc, LinkPoster& poster, Prompt& prompt,
               std::function<void(QObject*)> registerSheet, std::atomic<int>& cancelFlag,
               QWidget* parent = nullptr);
    ~CSheetComm() override;

    // The confirmations asked before a transfer (true: go on); the dialogs by default.
    void SetConfirmations(std::function<bool(QWidget*)> transmit,
                          std::function<bool(QWidget*)> receive);
    // For tests: a shorter time-out (ticks) and a faster tick than the 120 x 1000 ms.
    void SetTimeout(int ticks, int tickMs);

    CPageComTx* uploadPage() const { return tx_; }
    CPageComRx* downloadPage() const { return rx_; }
    QTabWidget* tabs() const { return tabs_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* exitButton() const { return exit_; }
    const TransferSession& session() const { return session_; }

  public slots:
    void Start();  // "Start Upload" / "Start Dwnload"

  signals:
    void transferFinished(qn410::TransferOutcome outcome);

  protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

  private:
    // TransferHost
    void StartTimer() override;
    void StopTimer() override;
    void Finished(TransferOutcome outcome) override;

    void StartUpload();
    void StartDownload();
    // The chosen exchange of the page (0 for all), or -1 after "Incorrect exchange No.".
    int ChosenExchange(class CPageComm& page);
    void Unregister();

    SettingDocument& doc_;
    Prompt& prompt_;
    std::function<void(QObject*)> register_;
    std::atomic<int>& cancel_;
    TransferSession session_;
    std::function<bool(QWidget*)> confirmTransmit_, confirmReceive_;
    QTabWidget* tabs_;
    CPageComTx* tx_;
    CPageComRx* rx_;
    QPushButton* start_;
    QPushButton* exit_;
    QBasicTimer timer_;
    int tickMs_ = 1000;
    bool registered_ = false;
};

}  // namespace qn410
