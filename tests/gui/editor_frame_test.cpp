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
#include "setting/text_field.h"
#include "ui/message_event.h"

using namespace qn410;

namespace {

using FakeHost = test::EditorTestHost;

class TestEditor : public EditorFrame {
  public:
    explicit TestEditor(FakeHost& host) : EditorFrame(host) {
        auto* layout = new QVBoxLayout(this);
        for (int e = 1; e <= 16; ++e) selector->addItem(QString::number(e));
        layout->addWidget(selector);
        layout->addWidget(digits);
        layout->addWidget(grid);
        layout->addLayout(CommandButtonRow());
        grid->SetColumnCount(2);
        grid->SetRowCount(4);
        grid->SetFixedColumnCount(1);
        QObject::connect(digits, &QLineEdit::editingFinished,
                         [this] { copy.NumberSize = uint8_t(digits->text().toInt()); });
        QObject::connect(grid, &GridCtrl::editEnded,
                         [this](int row, int, const std::string& text, bool*) {
                             copy.SwNumber[row].Value = std::stoi(text);
                             SetText(copy.SwNumber[row].Text, text);
                         });
        ReloadWorkingCopy();
    }

    std::optional<ValidationFailure> Validate() override {
        if (copy.NumberSize < 2 || copy.NumberSize > 6)
            return ValidationFailure{"Incorrect station digit length.", 0, digits};
        for (int i = 0; i < copy.SwitchCnt; ++i)
            if (copy.SwNumber[i].Value < 0)
                return ValidationFailure{
                    "Incorrect first station No.digit length", i + 1, nullptr, grid, {i, 1}};
        return std::nullopt;
    }
    bool WorkingCopyDiffers() const override { return !(copy == host().Document().data().System); }
    void CommitWorkingCopy() override { host().Document().data().System = copy; }
    void ReloadWorkingCopy() override {
        copy = host().Document().data().System;
        digits->setText(QString::number(copy.NumberSize));
    }
    void ShowExchange(int exchange) override { selector->setCurrentIndex(exchange - 1); }
    int UploadMessageCount() const override { return 3; }
    void SendUploadMessage(int step) override { sent.push_back(step); }
    PrintJob MakePrintJob() const override {
        return {kPrintGlobalSetting, uint8_t(selector->currentIndex() + 1), copy};
    }

    SystemSetting copy{};
    QComboBox* selector = new QComboBox(this);
    QLineEdit* digits = new QLineEdit(this);
    GridCtrl* grid = new GridCtrl(this);
    std::vector<int> sent;
};

// A fresh document with four numbered exchanges and an editor on it, shown.
struct Fixture {
    FakeHost host;
    std::unique_ptr<TestEditor> editor;
    Fixture() {
        host.answer = false;  // the tests hand the results over themselves
        SystemSetting& s = host.document.data().System;
        s.SwitchCnt = 4;
        s.NumberSize = 3;
        for (int i = 0; i < 4; ++i) {
            s.SwNumber[i].Value = 100 * (i + 1);
            SetText(s.SwNumber[i].Text, std::to_string(100 * (i + 1)));
        }
        editor = std::make_unique<TestEditor>(host);
        editor->show();
        QApplication::setActiveWindow(editor.get());
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    }
    void TypeDigits(const char* text) {
        editor->digits->setFocus();
        editor->digits->selectAll();
        QTest::keyClicks(editor->digits, text);
        editor->OverwriteButton()->setFocus();  // leaving the box stores it
    }
};

}  // namespace

class EditorFrameTest : public QObject {
    Q_OBJECT
  private slots:
    void closeAsksOnlyWhenTheCopyDiffers();
    void enterAndEscapeStayWithTheFocusedControl();
    void overwriteCommitsOnlyAChangedCopy();
    void failedCheckReportsAndFocusesThePlace();
    void keyboardRules();
    void uploadSendsTheSequenceAfterConfirmation();
    void uploadFailuresAndWatchdog();
    void printHandsOverACopyWithUnsavedEdits();
    void postedResultsReachTheUpload();
};

void EditorFrameTest::closeAsksOnlyWhenTheCopyDiffers() {
    {
        Fixture f;  // edits that were undone count as none
        f.TypeDigits("5");
        f.TypeDigits("3");
        f.editor->CloseButton()->click();
        QVERIFY(f.host.messages.shown.empty());
        QVERIFY(!f.editor->isVisible());
    }
    Fixture f;
    f.TypeDigits("5");
    f.editor->CloseButton()->click();
    QCOMPARE(f.host.messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
    QCOMPARE(f.host.messages.shown[0].buttons, PromptButtons::YesNo);
    QCOMPARE(f.host.messages.shown[0].icon, PromptIcon::Question);
    QVERIFY(f.editor->isVisible());  // No (the default) keeps it open
    f.host.messages.ScriptAnswers({PromptAnswer::Yes});
    f.editor->CloseButton()->click();
    QVERIFY(!f.editor->isVisible());
    QCOMPARE(f.host.document.data().System.NumberSize, 3);  // nothing committed
}

void EditorFrameTest::enterAndEscapeStayWithTheFocusedControl() {
    Fixture f;
    f.TypeDigits("5");
    f.editor->digits->setFocus();
    f.Key(Qt::Key_Return);
    f.Key(Qt::Key_Escape);
    QVERIFY(f.editor->isVisible());
    QVERIFY(f.host.messages.shown.empty());
    QCOMPARE(f.host.document.data().System.NumberSize, 3);  // Enter did not overwrite

    // Enter ends a grid cell edit and nothing else.
    f.editor->grid->SetCurrentCell(0, 1);
    QTest::keyClicks(f.editor->grid, "1");
    QTest::keyClicks(QApplication::focusWidget(), "23");
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.editor->copy.SwNumber[0].Value, 123);
    QCOMPARE(f.host.document.data().System.SwNumber[0].Value, 100);

    // With a command button focused, Escape is Close again.
    f.editor->CloseButton()->setFocus();
    f.Key(Qt::Key_Escape);
    QCOMPARE(f.host.messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
}

void EditorFrameTest::overwriteCommitsOnlyAChangedCopy() {
    Fixture f;
    QVERIFY(f.editor->Overwrite());
    QVERIFY(!f.host.document.modified);
    f.host.document.modified = true;
    QVERIFY(f.editor->Overwrite());
    QVERIFY(f.host.document.modified);

    f.host.document.modified = false;
    f.TypeDigits("4");
    f.editor->OverwriteButton()->click();
    QCOMPARE(f.host.document.data().System.NumberSize, 4);
    QVERIFY(f.host.document.modified);
    QVERIFY(f.editor->isVisible());  // the dialog stays open
    QVERIFY(f.host.messages.shown.empty());
}

void EditorFrameTest::failedCheckReportsAndFocusesThePlace() {
    Fixture f;
    f.TypeDigits("9");
    QVERIFY(!f.editor->Overwrite());
    QCOMPARE(f.host.messages.shown.size(), size_t(1));
    QCOMPARE(f.host.messages.shown[0].text, std::string("Incorrect station digit length."));
    QCOMPARE(f.host.messages.shown[0].icon, PromptIcon::Question);
    QCOMPARE(f.host.messages.shown[0].buttons, PromptButtons::Ok);
    QVERIFY(f.editor->digits->hasFocus());
    QCOMPARE(f.editor->digits->selectedText(), QString("9"));
    QCOMPARE(f.host.document.data().System.NumberSize, 3);

    // A grid failure selects the exchange and makes the cell current.
    f.TypeDigits("3");
    f.editor->copy.SwNumber[2].Value = -1;
    QVERIFY(!f.editor->Overwrite());
    QCOMPARE(f.host.messages.shown.back().text,
             std::string("Incorrect first station No.digit length"));
    QCOMPARE(f.editor->selector->currentIndex(), 2);
    QVERIFY(f.editor->grid->hasFocus());
    QCOMPARE(f.editor->grid->CurrentCell(), (GridCell{2, 1}));
}

void EditorFrameTest::keyboardRules() {
    Fixture f;
    f.editor->digits->setFocus();
    f.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.host.saves, 1);
    QCOMPARE(f.editor->digits->text(), QString("3"));
    f.editor->grid->SetCurrentCell(1, 1);
    QTest::keyClicks(f.editor->grid, "7");  // a line editor opens in the cell
    f.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.host.saves, 2);

    f.editor->selector->setFocus();
    f.Key(Qt::Key_5);
    f.Key(Qt::Key_Space);
    QCOMPARE(f.editor->selector->currentIndex(), 0);
    f.Key(Qt::Key_Down);  // other keys take the normal path
    QCOMPARE(f.editor->selector->currentIndex(), 1);
}

void EditorFrameTest::uploadSendsTheSequenceAfterConfirmation() {
    Fixture f;
    f.TypeDigits("9");
    f.editor->Upload();  // a failed check stops before the question
    QCOMPARE(f.host.confirmations, 0);
    f.TypeDigits("4");
    f.host.confirm = false;
    f.editor->UploadButton()->click();
    QCOMPARE(f.host.confirmations, 1);
    QVERIFY(f.editor->sent.empty());
    QCOMPARE(f.host.document.data().System.NumberSize, 3);

    f.host.confirm = true;
    f.editor->Upload();
    QCOMPARE(f.host.document.data().System.NumberSize, 4);  // committed before sending
    QVERIFY(f.host.document.modified);
    QCOMPARE(f.editor->sent, std::vector<int>{1});
    f.editor->HandleLinkResult(kResultDone, std::make_unique<TransferRequest>());
    f.editor->HandleLinkResult(kResultDone, std::make_unique<TransferRequest>());
    QCOMPARE(f.editor->sent, (std::vector<int>{1, 2, 3}));
    QCOMPARE(f.host.closes(), 0);
    f.editor->HandleLinkResult(kResultDone, std::make_unique<TransferRequest>());
    QCOMPARE(f.host.advanced, 3);
    QCOMPARE(f.host.closes(), 1);
    QVERIFY(!f.editor->UploadActive());
    QVERIFY(f.host.messages.shown.size() == 1);  // only the failed check
}

void EditorFrameTest::uploadFailuresAndWatchdog() {
    Fixture f;
    f.editor->SetWatchdog(120, 1000);  // 120 ticks of a second, as without the seam
    f.editor->Upload();
    f.editor->HandleLinkResult(kResultNotDelivered, nullptr);
    QCOMPARE(f.host.messages.texts(), std::vector<std::string>{"Failed to transmit"});
    QCOMPARE(f.host.messages.shown[0].icon, PromptIcon::Exclamation);
    QCOMPARE(f.host.closes(), 1);
    f.editor->Upload();
    f.editor->HandleLinkResult(kResultOpenFailed, nullptr);
    QCOMPARE(f.host.messages.texts().back(), std::string("Failed to open the device"));
    QCOMPARE(f.host.closes(), 2);

    // Each result restarts the 120-second count; 120 silent seconds give up.
    f.editor->Upload();
    for (int i = 0; i < 119; ++i) f.editor->OnWatchdogTick();
    f.editor->HandleLinkResult(kResultDone, nullptr);
    for (int i = 0; i < 119; ++i) f.editor->OnWatchdogTick();
    QVERIFY(f.host.headers.empty());
    f.editor->OnWatchdogTick();
    QCOMPARE(f.host.headers.size(), size_t(1));
    QVERIFY(f.host.abandons[0]);
    const TransferRequest& abandon = f.host.headers[0];
    QCOMPARE(abandon.requester, static_cast<void*>(f.editor.get()));
    QCOMPARE(abandon.setMask, 0);
    QCOMPARE(abandon.clearMask, 3);
    QCOMPARE(abandon.exchange, 0);
    QVERIFY(f.host.bodies[0].empty());
    QCOMPARE(f.host.messages.texts().back(), std::string("Failed to transmit"));
    QCOMPARE(f.host.closes(), 3);
    // A result that comes after the upload was given up sends nothing more.
    const std::vector<int> sentBefore = f.editor->sent;
    f.editor->HandleLinkResult(kResultDone, nullptr);
    QCOMPARE(f.editor->sent, sentBefore);
    QCOMPARE(f.host.closes(), 3);

    // Cancel in the progress display abandons silently at the next tick.
    const size_t shown = f.host.messages.shown.size();
    f.editor->Upload();
    f.host.cancelled = true;
    f.editor->OnWatchdogTick();
    QCOMPARE(f.host.headers.size(), size_t(2));
    QCOMPARE(f.host.closes(), 4);
    QCOMPARE(f.host.messages.shown.size(), shown);
}

void EditorFrameTest::printHandsOverACopyWithUnsavedEdits() {
    Fixture f;
    f.TypeDigits("5");
    f.editor->selector->setCurrentIndex(1);
    f.editor->PrintButton()->click();
    QCOMPARE(f.host.prints.size(), size_t(1));
    QCOMPARE(f.host.prints[0].category, kPrintGlobalSetting);
    QCOMPARE(f.host.prints[0].exchange, 2);
    QCOMPARE(std::any_cast<SystemSetting>(f.host.prints[0].data).NumberSize, 5);
    f.editor.reset();  // the job's copy outlives the editor
    QCOMPARE(std::any_cast<SystemSetting>(f.host.prints[0].data).NumberSize, 5);
}

// The view answers with a posted UM_LINK_RESULT, as the link's LinkEvent or as a MessageEvent.
void EditorFrameTest::postedResultsReachTheUpload() {
    Fixture f;
    f.editor->Upload();
    QCoreApplication::postEvent(f.editor.get(), new LinkEvent(UM_LINK_RESULT, kResultDone,
                                                              std::make_unique<TransferRequest>()));
    QCoreApplication::postEvent(
        f.editor.get(), new MessageEvent<TransferRequest>(UM_LINK_RESULT, kResultDone,
                                                          std::make_unique<TransferRequest>()));
    QTRY_COMPARE(f.editor->sent, (std::vector<int>{1, 2, 3}));
    PostMessageTo(f.editor.get(), UM_LINK_RESULT, kResultNotDelivered);
    QTRY_VERIFY(!f.editor->UploadActive());
    QCOMPARE(f.host.messages.texts(), std::vector<std::string>{"Failed to transmit"});
}

QTEST_MAIN(EditorFrameTest)
#include "editor_frame_test.moc"
