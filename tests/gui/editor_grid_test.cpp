// The grid and the editor frame around it, driven through real key and mouse events on a
// small editor of the Global Setting kind: station digits in an edit box, an exchange selector,
// and a grid of 3 rows (column 0 fixed, 1 the first station number, 2 a flag, 3 free text).
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include "editors/editor_frame.h"
#include "editors/editor_test_host.h"
#include "grid/title_tip.h"
#include "link/link_messages.h"
#include "ui/message_event.h"

using namespace qn410;
using namespace qn410::test;

namespace {

class TestEditor : public EditorFrame {
  public:
    explicit TestEditor(EditorTestHost& host) : EditorFrame(host) {
        auto* layout = new QVBoxLayout(this);
        selector->addItems({"1", "2", "3"});
        for (QWidget* w : std::initializer_list<QWidget*>{selector, digits, grid})
            layout->addWidget(w);
        layout->addLayout(CommandButtonRow());
        grid->SetColumnCount(4);
        grid->SetRowCount(3);
        grid->SetFixedColumnCount(1);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) grid->SetItemText(r, c, std::to_string(r * 10 + c));
        grid->SetToggleColumn(2, "*", "");
        grid->SetBackground(Qt::white);
        connect(digits, &QLineEdit::editingFinished,
                [this] { copy.NumberSize = uint8_t(digits->text().toInt()); });
        connect(grid, &GridCtrl::editBegun, [this](int, int, bool* allow) {
            ++begun;
            *allow = allowBegin;
        });
        connect(grid, &GridCtrl::editEnded, [this](int r, int c, const std::string& t, bool* ok) {
            ended.push_back(t);
            if (redraw) grid->SetItemText(r, c, "00" + t);  // the receiver writes the cell itself
            *ok = accept;
        });
        ReloadWorkingCopy();
    }
    std::optional<ValidationFailure> Validate() override { return std::nullopt; }
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
    std::vector<std::string> ended;  // texts the grid reported at each end of edit
    int begun = 0;
    bool accept = true, allowBegin = true, redraw = false;
};

}  // namespace

class EditorGridTest : public QObject {
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

    GridCtrl* grid() { return editor_->grid; }
    QLineEdit* CellEditor() { return grid()->viewport()->findChild<QLineEdit*>(); }
    void Type(const QString& text) {
        for (const QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
    void Click(int row, int column, bool twice = false) {
        const QPoint at = grid()->visualRect(grid()->Model().index(row, column)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
        if (twice) QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
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

    // Overwrite leaves the modified flag alone when nothing differs (an edit undone is none);
    // Enter and Escape stay with the focused control unless it is a command button; Ctrl+S saves
    // from anywhere; the exchange selector takes no digits or Space.
    void overwriteAndKeys() {
        TypeDigits("5");
        TypeDigits("3");
        host_->document.modified = true;
        QVERIFY(editor_->Overwrite() && host_->document.modified);
        TypeDigits("4");
        grid()->SetCurrentCell(0, 1);
        QTest::keyClicks(grid(), "1");
        Type("23");
        Key(Qt::Key_S, Qt::ControlModifier);  // inside the cell's line editor
        Key(Qt::Key_Return);                  // ends the cell edit and nothing else
        QTRY_COMPARE(grid()->ItemText(0, 1), std::string("123"));
        editor_->selector->setFocus();
        for (Qt::Key key : {Qt::Key_3, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape}) Key(key);
        QCOMPARE(editor_->selector->currentIndex(), 0);
        QCOMPARE(host_->saves, 1);
        QCOMPARE(host_->document.data().System.NumberSize, 3);  // nothing overwritten
        editor_->CloseButton()->setFocus();
        Key(Qt::Key_Escape);  // a command button has the focus: Escape is Close; No keeps it
        QCOMPARE(host_->messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
        QVERIFY(editor_->isVisible());
    }

    // Upload asks, commits, then sends one message per result; a failure ends it with its text;
    // the watchdog gives up at its limit (each result restarts the count), and at once, silently,
    // when Cancel was pressed; a result after that sends nothing more.
    void uploadAndWatchdog() {
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
        for (uint32_t result : {kResultNotDelivered, kResultOpenFailed}) {
            editor_->Upload();
            Post(result);
        }
        QCOMPARE(host_->messages.shown[1].icon, PromptIcon::Exclamation);

        const auto tick = [this](int n) {
            while (n--) editor_->OnWatchdogTick();
        };
        editor_->SetWatchdog(3, 1000);
        editor_->Upload();
        tick(2);
        Post(kResultDone);  // restarts the count
        tick(2);
        QVERIFY(host_->headers.empty());
        tick(1);
        QCOMPARE(host_->abandons, std::vector<bool>{true});
        QCOMPARE(host_->headers[0].requester, static_cast<void*>(editor_.get()));
        QCOMPARE(host_->headers[0].setMask * 10 + host_->headers[0].clearMask, 3);
        Post(kResultDone);  // too late: nothing more is sent
        QCOMPARE(editor_->sent, (std::vector<int>{1, 2, 3, 1, 1, 1, 2}));
        editor_->Upload();
        host_->cancelled = true;
        tick(2);  // the second finds nothing left to watch
        QCOMPARE(host_->abandons.size(), std::size_t(2));
        QCOMPARE(host_->closes(), 5);
        QCOMPARE(host_->messages.texts(),
                 (std::vector<std::string>{"Failed to transmit", "Failed to open the device",
                                           "Failed to transmit"}));
        QVERIFY(!editor_->UploadActive());
    }

    // What typing into cell (1,3) and ending with a key leaves: the text reported to the
    // receiver (none after Escape) and the cell's text. Plain accepted and refused edits are the
    // editors' window test's, through real editors.
    void editOutcomes() {
        struct Row {
            const char* typed;
            Qt::Key key;
            bool redraw;
            int maxLength;
            const char* ended;
            const char* cell;
        };
        for (const Row& row : {Row{"99", Qt::Key_Escape, false, 0, "", "13"},
                               Row{"5", Qt::Key_Return, true, 0, "5|", "005"},
                               Row{"12345", Qt::Key_Return, false, 3, "123|", "123"}}) {
            cleanup();
            init();
            editor_->redraw = row.redraw;
            if (row.maxLength) grid()->SetColumnMaxLength(3, row.maxLength);
            grid()->SetCurrentCell(1, 3);
            Type(row.typed);  // the first key replaces the old text
            QVERIFY(CellEditor());
            Key(row.key);
            QTRY_VERIFY(!CellEditor());
            std::string ended;
            for (const std::string& text : editor_->ended) ended += text + '|';
            QCOMPARE(ended, std::string(row.ended));
            QCOMPARE(grid()->ItemText(1, 3), std::string(row.cell));
            Key(Qt::Key_Return);  // with the edit over, Enter and Escape stay in the grid
            Key(Qt::Key_Escape);
            QVERIFY(editor_->isVisible() && host_->messages.shown.empty() && !CellEditor());
        }
    }

    // A read-only cell opens no editor, nor does a cell whose begin-edit receiver refuses; a
    // flag cell flips by click or Space only once it is current.
    void cellsThatDoNotEditAndFlagCells() {
        grid()->SetReadOnly(1, 1, true);
        grid()->SetCurrentCell(1, 1);
        Type("2");  // no editor, and no jump to the row whose text starts with "2"
        Click(1, 1, true);
        Key(Qt::Key_F2);
        QVERIFY(!CellEditor() && editor_->begun == 0);
        editor_->allowBegin = false;
        grid()->SetCurrentCell(2, 3);
        Type("8");
        Click(2, 2);
        Click(2, 2);
        QVERIFY(!CellEditor() && editor_->begun == 2 && editor_->ended.empty());
        QCOMPARE(grid()->ItemText(2, 2) + grid()->ItemText(2, 3), std::string("2223"));

        editor_->allowBegin = true;
        grid()->SetItemText(1, 2, "");
        Click(1, 2);  // only makes it current
        Click(1, 2);
        QCOMPARE(grid()->ItemText(1, 2), std::string("*"));
        Key(Qt::Key_Space);
        Click(1, 2, true);  // a double click flips there and back, as two clicks would
        QCOMPARE(grid()->ItemText(1, 2), std::string(""));
        grid()->SetReadOnly(0, 2, true);
        Click(0, 2);
        Click(0, 2);
        QCOMPARE(grid()->ItemText(0, 2), std::string("2"));
        grid()->SetCurrentCell(1, 2);
        editor_->accept = false;
        Key(Qt::Key_Space);
        QCOMPARE(editor_->ended.back(), std::string("*"));
        QCOMPARE(grid()->ItemText(1, 2), std::string(""));
        QCOMPARE(editor_->ended.size(), std::size_t(5));
    }

    // A cell whose text is cut off shows it whole in a tip; one that fits shows none. A cell's
    // own colour and back; a key filter sees the keys first, in the grid and in the line editor.
    void titleTipColourAndKeyFilter() {
        grid()->SetColumnWidth(3, 40);
        grid()->SetItemText(0, 3, "A rather long name that cannot fit");
        QVERIFY(!TitleTip::IsCutOff(*grid(), grid()->Model().index(1, 3)));
        const QPoint at = grid()->visualRect(grid()->Model().index(0, 3)).center();
        QHelpEvent help(QEvent::ToolTip, at, grid()->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid()->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QString("A rather long name that cannot fit"));
        const auto colour = [this] {
            return grid()->Model().index(1, 3).data(Qt::BackgroundRole).value<QBrush>().color();
        };
        grid()->SetCellBackground(1, 3, Qt::red);
        QCOMPARE(colour(), QColor(Qt::red));
        grid()->SetCellBackground(1, 3, QColor());
        QCOMPARE(colour(), QColor(Qt::white));
        int seen = 0;
        grid()->SetKeyFilter([&](QKeyEvent& e) { return e.key() == Qt::Key_F5 && ++seen; });
        grid()->SetCurrentCell(1, 3);
        Key(Qt::Key_F5);
        Type("1");
        Key(Qt::Key_F5);
        QCOMPARE(seen, 2);
        QCOMPARE(CellEditor()->text(), QString("1"));
    }
};

QTEST_MAIN(EditorGridTest)
#include "editor_grid_test.moc"
