// Drives the grid through real key and mouse events, as a user would.
#include "grid/grid_ctrl.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "grid/grid_model.h"

using qn410::GridCell;
using qn410::GridCtrl;

// A dialog holding a grid of 3 rows x 4 columns (column 0 fixed, column 2 a flag column) and
// an OK button that is the default button, as the editors have them.
class GridCtrlTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QDialog> dialog_;
    GridCtrl* grid_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::vector<std::pair<GridCell, std::string>> ended_;
    int begun_ = 0;
    bool accept_ = true, allowBegin_ = true;

    QLineEdit* Editor() const { return grid_->viewport()->findChild<QLineEdit*>(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : grid_, key, mods);
    }
    void Type(const QString& text) {
        for (const QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
    void Click(int row, int column, bool twice = false) {
        const QPoint at = grid_->visualRect(grid_->Model().index(row, column)).center();
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, at);
        if (twice) QTest::mouseDClick(grid_->viewport(), Qt::LeftButton, {}, at);
    }

  private slots:
    void init() {
        dialog_ = std::make_unique<QDialog>();
        grid_ = new GridCtrl(dialog_.get());
        ok_ = new QPushButton("Overwrite", dialog_.get());
        auto* layout = new QHBoxLayout(dialog_.get());
        layout->addWidget(grid_);
        layout->addWidget(ok_);
        ok_->setDefault(true);
        grid_->SetColumnCount(4);
        grid_->SetRowCount(3);
        grid_->SetFixedColumnCount(1);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) grid_->SetItemText(r, c, std::to_string(r * 10 + c));
        grid_->SetToggleColumn(2, "*", "");
        ended_.clear();
        begun_ = 0;
        accept_ = allowBegin_ = true;
        connect(grid_, &GridCtrl::editBegun, [this](int, int, bool* allow) {
            ++begun_;
            *allow = allowBegin_;
        });
        connect(grid_, &GridCtrl::editEnded, [this](int r, int c, const std::string& t, bool* ok) {
            ended_.push_back({{r, c}, t});
            *ok = accept_;
        });
        dialog_->show();
        QApplication::setActiveWindow(dialog_.get());
        grid_->setFocus();
    }

    // What typing into cell (1,3) and ending with a key leaves: the text reported to the
    // receiver and the cell's text. Enter and Escape never reach the dialog's default button.
    void editOutcomes() {
        struct Row {
            const char* typed;
            Qt::Key key;
            bool accept;
            int maxLength;
            bool redraw;        // the receiver redraws the cell from its record
            const char* ended;  // nullptr: no end of edit
            const char* cell;
        };
        for (const Row& row : {Row{"123", Qt::Key_Return, true, 0, false, "123", "123"},
                               Row{"99", Qt::Key_Escape, true, 0, false, nullptr, "13"},
                               Row{"12a", Qt::Key_Return, false, 0, false, "12a", "13"},
                               Row{"5", Qt::Key_Return, true, 0, true, "5", "005"},
                               Row{"12345", Qt::Key_Return, true, 3, false, "123", "123"}}) {
            init();
            QSignalSpy pressed(ok_, &QPushButton::clicked);
            accept_ = row.accept;
            if (row.maxLength) grid_->SetColumnMaxLength(3, row.maxLength);
            if (row.redraw)
                connect(grid_, &GridCtrl::editEnded,
                        [this](int r, int c, const std::string& t, bool*) {
                            grid_->SetItemText(r, c, "00" + t);
                        });
            grid_->SetCurrentCell(1, 3);
            Type(row.typed);  // the first key replaces the old text
            QVERIFY(Editor());
            Key(row.key);
            QTRY_VERIFY(!Editor());
            QCOMPARE(ended_.size(), std::size_t(row.ended != nullptr));
            if (row.ended) QCOMPARE(ended_[0].second, std::string(row.ended));
            QCOMPARE(grid_->ItemText(1, 3), std::string(row.cell));
            Key(Qt::Key_Return);
            Key(Qt::Key_Escape);
            QCoreApplication::processEvents();
            QCOMPARE(pressed.count(), 0);
            QVERIFY(dialog_->isVisible());
        }
    }

    // Read-only and fixed cells open no editor, nor does a cell whose begin-edit receiver
    // refuses; a flag cell flips by click or Space only once it is current.
    void cellsThatDoNotEditAndFlagCells() {
        grid_->SetReadOnly(1, 1, true);
        grid_->SetCurrentCell(1, 1);
        Type("2");  // no editor, and no jump to the row whose text starts with "2"
        Click(1, 1, true);
        Key(Qt::Key_F2);
        QVERIFY(!Editor() && begun_ == 0);
        grid_->SetCurrentCell(0, 0);
        Key(Qt::Key_Home);
        QCOMPARE(grid_->CurrentCell(), (GridCell{0, 1}));
        allowBegin_ = false;
        grid_->SetCurrentCell(2, 3);
        Type("8");
        Click(2, 2);
        Click(2, 2);
        QVERIFY(!Editor() && begun_ == 2 && ended_.empty());
        QCOMPARE(grid_->ItemText(2, 2) + grid_->ItemText(2, 3), std::string("2223"));

        allowBegin_ = true;
        grid_->SetItemText(1, 2, "");
        Click(1, 2);  // only makes it current
        QCOMPARE(grid_->CurrentCell(), (GridCell{1, 2}));
        QCOMPARE(grid_->ItemText(1, 2), std::string(""));
        Click(1, 2);
        QCOMPARE(grid_->ItemText(1, 2), std::string("*"));
        Key(Qt::Key_Space);
        Click(1, 2, true);  // a double click flips there and back, as two clicks would
        QCOMPARE(grid_->ItemText(1, 2), std::string(""));
        accept_ = false;
        Key(Qt::Key_Space);
        QCOMPARE(ended_.back().second, std::string("*"));
        QCOMPARE(grid_->ItemText(1, 2), std::string(""));
        QCOMPARE(ended_.size(), std::size_t(5));
    }

    // The fixed part follows a scroll position set before the first layout; Tab leaves the
    // grid after the last cell.
    void fixedColumnsFollowTheScrollAndTabLeaves() {
        grid_->SetCurrentCell(2, 2);
        Key(Qt::Key_Tab);
        QCOMPARE(grid_->CurrentCell(), (GridCell{2, 3}));
        Key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ok_);

        auto grid = std::make_unique<GridCtrl>();
        grid->SetColumnCount(24);
        grid->SetRowCount(1024);
        grid->SetFixedColumnCount(2);
        grid->SetColumnWidth(0, 0);  // a hidden running-number column, as the editors use
        grid->resize(500, 300);
        grid->SetCurrentCell(1000, 20);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QTableView& fixed = grid->FixedView();
        QVERIFY(grid->verticalScrollBar()->value() > 0 && grid->horizontalScrollBar()->value() > 0);
        QTRY_COMPARE(fixed.verticalScrollBar()->value(), grid->verticalScrollBar()->value());
        QCOMPARE(fixed.indexAt(QPoint(5, 5)).column(), 1);
        QVERIFY(grid->visualRect(grid->Model().index(1000, 20)).left() >= fixed.width());
    }
};

QTEST_MAIN(GridCtrlTest)
#include "grid_ctrl_test.moc"
