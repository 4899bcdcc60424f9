// The shared editor behaviour on a small editor of the Global Setting kind: station digits in
// an edit box, first station numbers in a grid, an exchange selector.
#include "editors/editor_frame.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "editors/editor_test_host.h"
#include "link/link_messages.h"
#include "ui/message_event.h"

using namespace qn410;
using namespace qn410::test;

namespace {

class TestEditor : public EditorFrame {
  public:
    explicit TestEditor(EditorTestHost& host) : EditorFrame(host) {
        auto* layout = new QVBoxLayout(this);
        for (int e = 1; e <= 16; ++e) selector->addItem(QString::number(e));
        for (QWidget* w : std::initializer_list<QWidget*>{selector, digits, grid})
            layout->addWidget(w);
        layout->addLayout(CommandButtonRow());
        grid->SetColumnCount(2);
        grid->SetRowCount(4);
        connect(digits, &QLineEdit::editingFinished,
                [this] { copy.NumberSize = uint8_t(digits->text().toInt()); });
        connect(grid, &GridCtrl::editEnded, [this](int row, int, const std::string& text, bool*) {
            copy.SwNumber[row].Value = std::stoi(text);
        });
        ReloadWorkingCopy();
    }
    std::optional<ValidationFailure> Validate() override {
        if (copy.NumberSize >= 2 && copy.NumberSize <= 6) return std::nullopt;
        return ValidationFailure{"Incorrect station digit length.", 0, digits};
    }
    bool WorkingCopyDiffers() const override { return !(copy == host().Document().data().System); }
    void CommitWorkingCopy() override { host().Document().data().System = copy; }
    void ReloadWorkingCopy() override {
        copy = host().Document().data().System;
        digits->setText(QString::number(copy.NumberSize));
    }
    int UploadMessageCount() const override { return 3; }
    void SendUploadMessage(int step) override { sent.push_back(step); }
    PrintJob MakePrintJob() const override { return {kPrintGlobalSetting, 1, copy}; }

    SystemSetting copy{};
    QComboBox* selector = new QComboBox(this);
    QLineEdit* digits = new QLineEdit(this);
    GridCtrl* grid = new GridCtrl(this);
    std::vector<int> sent;
};

}  // namespace

class EditorFrameTest : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorTestHost> host_;
    std::unique_ptr<TestEditor> editor_;

    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    }
    void TypeDigits(const char* text) {
        editor_->digits->setFocus();
        editor_->digits->selectAll();
        QTest::keyClicks(editor_->digits, text);
        editor_->OverwriteButton()->setFocus();  // leaving the box stores it
    }
    void Post(uint32_t result) {
        QCoreApplication::postEvent(
            editor_.get(),
            new LinkEvent(UM_LINK_RESULT, result, std::make_unique<TransferRequest>()));
        QCoreApplication::processEvents();
    }

  private slots:
    void init() {
        host_ = std::make_unique<EditorTestHost>();
        host_->answer = false;  // the tests hand the results over themselves
        host_->document.data().System.NumberSize = 3;
        editor_ = std::make_unique<TestEditor>(*host_);
        editor_->show();
        QApplication::setActiveWindow(editor_.get());
    }
    void cleanup() { editor_.reset(); }

    // Close asks only when the copy differs; Overwrite commits only a changed copy; Enter and
    // Escape stay with the focused control unless it is a command button; Ctrl+S saves from
    // anywhere; the exchange selector takes no digits or Space.
    void closeOverwriteAndKeys() {
        TypeDigits("5");
        TypeDigits("3");  // an edit undone counts as none
        host_->document.modified = true;
        QVERIFY(editor_->Overwrite() && host_->document.modified);  // left as it was
        host_->document.modified = false;
        QVERIFY(editor_->Overwrite() && !host_->document.modified);
        TypeDigits("4");
        editor_->digits->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) Key(key);
        editor_->grid->SetCurrentCell(0, 1);
        QTest::keyClicks(editor_->grid, "1");
        QTest::keyClicks(QApplication::focusWidget(), "23");
        Key(Qt::Key_S, Qt::ControlModifier);  // inside the cell's line editor
        Key(Qt::Key_Return);                  // ends the cell edit and nothing else
        QTRY_COMPARE(editor_->copy.SwNumber[0].Value, 123);
        editor_->selector->setFocus();
        for (Qt::Key key : {Qt::Key_5, Qt::Key_Space, Qt::Key_Return}) Key(key);
        QCOMPARE(editor_->selector->currentIndex(), 0);
        Key(Qt::Key_Down);  // other keys take the normal path
        QCOMPARE(editor_->selector->currentIndex(), 1);
        QVERIFY(editor_->isVisible() && host_->messages.shown.empty());
        QCOMPARE(host_->document.data().System.NumberSize, 3);  // nothing overwritten
        QCOMPARE(host_->saves, 1);

        editor_->CloseButton()->setFocus();
        Key(Qt::Key_Escape);  // a command button has the focus: Escape is Close; No keeps it
        QCOMPARE(host_->messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
        QCOMPARE(host_->messages.shown[0].buttons, PromptButtons::YesNo);
        editor_->OverwriteButton()->click();
        QCOMPARE(host_->document.data().System.NumberSize, 4);
        QVERIFY(host_->document.modified && editor_->isVisible());
        editor_->CloseButton()->click();
        QVERIFY(!editor_->isVisible());
        editor_->show();
        QApplication::setActiveWindow(editor_.get());
        TypeDigits("5");
        host_->messages.ScriptAnswers({PromptAnswer::Yes});
        editor_->CloseButton()->click();
        QVERIFY(!editor_->isVisible());
        QCOMPARE(host_->document.data().System.NumberSize, 4);  // nothing committed
        QCOMPARE(host_->messages.shown.size(), std::size_t(2));
    }

    void uploadSendsTheSequenceAfterConfirmation() {
        TypeDigits("9");
        editor_->Upload();  // a failed check stops before the question, at its place
        QVERIFY(editor_->digits->hasFocus());
        QCOMPARE(editor_->digits->selectedText(), QString("9"));
        TypeDigits("4");
        host_->confirm = false;
        editor_->UploadButton()->click();
        QCOMPARE(host_->confirmations, 1);
        host_->confirm = true;
        editor_->Upload();
        QCOMPARE(host_->document.data().System.NumberSize, 4);  // committed before sending
        Post(kResultDone);
        QCoreApplication::postEvent(
            editor_.get(), new MessageEvent<TransferRequest>(UM_LINK_RESULT, kResultDone,
                                                             std::make_unique<TransferRequest>()));
        QTRY_COMPARE(editor_->sent, (std::vector<int>{1, 2, 3}));
        QCOMPARE(host_->closes(), 0);
        Post(kResultDone);
        QCOMPARE(host_->advanced * 10 + host_->closes(), 31);
        editor_->Upload();
        Post(kResultNotDelivered);
        editor_->Upload();
        Post(kResultOpenFailed);
        QCOMPARE(host_->messages.texts(),
                 (std::vector<std::string>{"Incorrect station digit length.", "Failed to transmit",
                                           "Failed to open the device"}));
        QCOMPARE(host_->messages.shown[1].icon, PromptIcon::Exclamation);
        QCOMPARE(host_->closes(), 3);
        QVERIFY(!editor_->UploadActive());
    }

    // Each result restarts the watchdog's count; at its limit the upload is abandoned with
    // "Failed to transmit", and at once, silently, when Cancel was pressed.
    void watchdogGivesUpAnUnansweredUpload() {
        editor_->SetWatchdog(120, 1000);  // 120 ticks of a second, as without the seam
        editor_->Upload();
        for (int i = 0; i < 119; ++i) editor_->OnWatchdogTick();
        editor_->HandleLinkResult(kResultDone, nullptr);
        for (int i = 0; i < 119; ++i) editor_->OnWatchdogTick();
        QVERIFY(host_->headers.empty());
        editor_->OnWatchdogTick();
        QCOMPARE(host_->abandons, std::vector<bool>{true});
        QCOMPARE(host_->headers[0].requester, static_cast<void*>(editor_.get()));
        QCOMPARE(host_->headers[0].setMask * 10 + host_->headers[0].clearMask, 3);
        QCOMPARE(host_->messages.texts(), std::vector<std::string>{"Failed to transmit"});
        editor_->HandleLinkResult(kResultDone, nullptr);  // too late: nothing more is sent
        QCOMPARE(editor_->sent, (std::vector<int>{1, 2}));
        editor_->Upload();
        host_->cancelled = true;
        editor_->OnWatchdogTick();
        QCOMPARE(host_->abandons.size(), std::size_t(2));
        QCOMPARE(host_->closes(), 2);
        QCOMPARE(host_->messages.shown.size(), std::size_t(1));
    }
};

QTEST_MAIN(EditorFrameTest)
#include "editor_frame_test.moc"
