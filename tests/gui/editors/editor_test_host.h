// A host for an editor that records every request, closed progress display and print job (and
// answers each request as the view would), and helpers that act on dialogs as a user would.
#pragma once

#include <QtTest>
#include <QtWidgets>
#include <string>
#include <vector>

#include "editors/editor_host.h"
#include "grid/grid_ctrl.h"
#include "grid/grid_model.h"
#include "link/link_event.h"
#include "support/recording_prompt.h"

namespace qn410::test {

class EditorTestHost : public EditorHost {
  public:
    SettingDocument& Document() override { return document; }
    Prompt& prompt() override { return messages; }
    void SaveDocument() override { ++saves; }
    bool ConfirmTransmit() override {
        ++confirmations;
        return confirm;
    }
    bool ConfirmReceive() override { return confirm; }
    void SubmitRequest(TransferRequestPtr request, bool abandon) override {
        auto* requester = static_cast<QObject*>(request->requester);
        bodies.push_back(request->body);
        abandons.push_back(abandon);
        if (submit) return submit(std::move(request), abandon);  // a real link takes it
        if (answer && requester)  // one UM_LINK_RESULT to the requester, as the view gives
            QCoreApplication::postEvent(
                requester, new LinkEvent(UM_LINK_RESULT, abandon ? kResultReset : answerCode,
                                         std::move(request)));
    }
    void PostProgress(AppMessage, int, std::string, int) override {}
    void CloseProgress() override { ++closes; }
    void AdvanceProgress() override {}
    bool ProgressCancelled() const override { return cancelled; }
    void PostPrint(PrintJob job) override { prints.push_back(std::move(job)); }

    SettingDocument document;
    RecordingPrompt messages;
    bool confirm = true;
    bool answer = true;      // post a result for each request
    bool cancelled = false;  // the progress display's Cancel was pressed
    uint32_t answerCode = kResultDone;
    std::function<void(TransferRequestPtr, bool)> submit;  // where requests go instead
    int saves = 0, confirmations = 0, closes = 0;          // progress displays closed
    std::vector<std::string> bodies;
    std::vector<bool> abandons;
    std::vector<PrintJob> prints;
};

// Keys to the focused control, one at a time (the first key opens a cell's line editor).
inline void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
inline void Keys(const QString& text) {  // keys that bring their text, katakana alike
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, c, {});
}

// Types into a grid cell and presses Enter ("": empties it).
inline void TypeIntoCell(GridCtrl* grid, int row, int column, const QString& text) {
    grid->SetCurrentCell(row, column);
    if (text.isEmpty()) {  // open the editor, then delete what it holds
        QTest::keyClick(grid, Qt::Key_F2);
        Key(Qt::Key_A, Qt::ControlModifier);
        Key(Qt::Key_Delete);
    }
    Keys(text);
    Key(Qt::Key_Return);
    QCoreApplication::processEvents();
}

// Clicks a cell, made current first unless `current` is false (a toggle cell flips only once it
// is current), and double-clicks it when `twice`.
inline void ClickCell(GridCtrl* grid, int row, int column, bool current = true,
                      bool twice = false) {
    if (current) grid->SetCurrentCell(row, column);
    const QPoint at = grid->visualRect(grid->Model().index(row, column)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

// Chooses an entry of a drop-down list in its pop-up, as a click on the entry does.
inline void ChooseFromList(QComboBox* list, const QString& text) {
    list->setFocus();
    list->showPopup();
    list->view()->setCurrentIndex(list->model()->index(list->findText(text), 0));
    QTest::keyClick(list->view(), Qt::Key_Return);
    QCoreApplication::processEvents();
    // The pop-up is a window of its own: the dialog is the active window again once it closed.
    QApplication::setActiveWindow(list->window());
    QCoreApplication::processEvents();
}

}  // namespace qn410::test
