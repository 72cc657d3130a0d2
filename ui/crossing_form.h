// CrossingForm: the program's only window. Its controls hold the puzzle's
// board; the two command buttons drive the rules in crossing_puzzle.h.
#pragma once

#include "crossing_puzzle.h"
#include "widget_board.h"

#include <QIcon>
#include <QWidget>

#include <array>
#include <memory>

class QPlainTextEdit;
class QPushButton;

namespace crossing {

// The hamburger: the window's icon and the application's.
QIcon programIcon();

class CrossingForm final : public QWidget {
    Q_OBJECT
public:
    // Builds every control, then runs the load handler, so the window is in
    // the starting position before it is first shown.
    explicit CrossingForm(QWidget* parent = nullptr);
    ~CrossingForm() override;

    // The control arrays, addressed by index as the puzzle addresses them.
    QGroupBox* Frame1(int index) const { return board_.frames.at(at(index)); }
    QCheckBox* Check1(int index) const { return board_.seats.at(at(index)); }
    QListWidget* List1(int index) const { return board_.knightLists.at(at(index)); }
    QLabel* Label1(int index) const { return board_.labels.at(at(index)); }
    QPushButton* Command1(int index) const { return buttons_.at(at(index)); }
    QPlainTextEdit* Text1(int index) const { return texts_.at(at(index)); }

    const CrossingPuzzle& puzzle() const { return *puzzle_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static std::size_t at(int index) { return static_cast<std::size_t>(index); }

    void buildLabels();
    void buildTextBoxes();
    void buildBanks();
    void buildButtons();
    void buildKnightLists();
    void stackControls();
    void orderTabs();
    void centreOnScreen();

    void OnLoad();
    void OnCommandClick(Int16 Index);

    BoardWidgets board_;
    std::array<QPushButton*, 2> buttons_{};
    std::array<QPlainTextEdit*, 2> texts_{};
    std::unique_ptr<WidgetBoard> widgetBoard_;
    std::unique_ptr<CrossingPuzzle> puzzle_;
};

} // namespace crossing
