// The puzzle's board as the window's own widgets: every read and write of the
// rules goes straight to a control, so what the window shows is the board and
// there is no second copy to fall out of step.
#pragma once

#include "board_controls.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;

namespace crossing {

// The controls that hold the board, by array index. Owned by the window.
struct BoardWidgets {
    std::array<QCheckBox*, kSeatCount> seats{};
    std::array<QGroupBox*, kBankCount> frames{};
    std::array<QListWidget*, kBankCount> knightLists{};
    std::array<QLabel*, kLabelCount> labels{};
};

class WidgetBoard final : public BoardControls {
public:
    // The widgets are looked up at each call, so the window may fill them in
    // after the board is made; they must outlive it.
    explicit WidgetBoard(const BoardWidgets& widgets) : widgets_(widgets) {}

    std::string seatCaption(Int16 seat) const override;
    void setSeatCaption(Int16 seat, std::string_view caption) override;
    Int16 seatTick(Int16 seat) const override;
    void setSeatTick(Int16 seat, Int16 tick) override;
    void clearKnights(Int16 bank) override;
    void appendKnight(Int16 bank, std::string_view entry) override;
    void removeFirstKnight(Int16 bank) override;
    Int16 knightCount(Int16 bank) const override;
    void setBankEnabled(Int16 bank, bool enabled) override;
    void setLabelCaption(Int16 label, std::string_view caption) override;

private:
    QCheckBox* seatBox(Int16 seat) const;
    QListWidget* knightList(Int16 bank) const;

    const BoardWidgets& widgets_;
};

} // namespace crossing
