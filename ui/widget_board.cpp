#include "widget_board.h"

#include "qt_conversions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QString>

namespace crossing {

QCheckBox* WidgetBoard::seatBox(Int16 seat) const { return widgets_.seats.at(slot(seat)); }

QListWidget* WidgetBoard::knightList(Int16 bank) const { return widgets_.knightLists.at(slot(bank)); }

std::string WidgetBoard::seatCaption(Int16 seat) const { return seatBox(seat)->text().toStdString(); }

void WidgetBoard::setSeatCaption(Int16 seat, std::string_view caption)
{
    seatBox(seat)->setText(toQString(caption));
}

Int16 WidgetBoard::seatTick(Int16 seat) const { return seatBox(seat)->isChecked() ? kTicked : kUnticked; }

void WidgetBoard::setSeatTick(Int16 seat, Int16 tick) { seatBox(seat)->setChecked(tick == kTicked); }

void WidgetBoard::clearKnights(Int16 bank) { knightList(bank)->clear(); }

void WidgetBoard::appendKnight(Int16 bank, std::string_view entry)
{
    knightList(bank)->addItem(toQString(entry));
}

// takeItem gives up ownership and returns null for an empty list.
void WidgetBoard::removeFirstKnight(Int16 bank) { delete knightList(bank)->takeItem(0); }

Int16 WidgetBoard::knightCount(Int16 bank) const { return static_cast<Int16>(knightList(bank)->count()); }

void WidgetBoard::setBankEnabled(Int16 bank, bool enabled)
{
    widgets_.frames.at(slot(bank))->setEnabled(enabled);
}

void WidgetBoard::setLabelCaption(Int16 label, std::string_view caption)
{
    widgets_.labels.at(slot(label))->setText(toQString(caption));
}

} // namespace crossing
