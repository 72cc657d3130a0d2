// CrossingForm: the program's only window. It is built by walking the form's
// description (form_description.h); its controls hold the puzzle's board, and
// the two command buttons drive the rules in crossing_puzzle.h.
#pragma once

#include "form_description.h"
#include "platform/move_announcer.h"
#include "play_session.h"
#include "widget_board.h"

#include <QIcon>
#include <QWidget>

#include <array>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace crossing {

// The hamburger: the window's icon.
QIcon programIcon();

class CrossingForm final : public QWidget {
    Q_OBJECT
public:
    // Builds every control, then runs the load handler, so the window is in
    // the starting position before it is first shown.
    explicit CrossingForm(QWidget* parent = nullptr);

    // The control arrays, addressed by index as the puzzle addresses them.
    QGroupBox* Frame1(int index) const { return boardWidgets_.frames.at(slot(index)); }
    QCheckBox* Check1(int index) const { return boardWidgets_.seats.at(slot(index)); }
    QListWidget* List1(int index) const { return boardWidgets_.knightLists.at(slot(index)); }
    QLabel* Label1(int index) const { return boardWidgets_.labels.at(slot(index)); }
    QPushButton* Command1(int index) const { return buttons_.at(slot(index)); }
    QPlainTextEdit* Text1(int index) const { return texts_.at(slot(index)); }

    // Any control by its array and index; each also carries its name
    // ("Check1(3)") as its object name.
    QWidget* control(form::ControlId id) const;

    const CrossingPuzzle& puzzle() const { return session_.puzzle(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* build(const form::Control& control, QWidget* parent);
    void stackControls();
    void orderTabs();

    void OnLoad();
    void OnCommandClick(Int16 index);

    BoardWidgets boardWidgets_;
    std::array<QPushButton*, kButtonCount> buttons_{};
    std::array<QPlainTextEdit*, form::kTextCount> texts_{};
    std::vector<QWidget*> controls_;
    WidgetBoard board_{boardWidgets_};
    form::PlaySession session_{board_};
    platform::MoveAnnouncer announcer_{this};
};

} // namespace crossing
