// Placeholder start-up until the puzzle window exists: shows the starting
// position of the headless board in a message box.
#include "crossing_puzzle.h"
#include "memory_board.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    crossing::MemoryBoard board;
    crossing::CrossingPuzzle puzzle(board);
    puzzle.OnLoad();
    QMessageBox::information(nullptr, QStringLiteral("Философия - Логика, задача за транспорт"),
                             QStringLiteral("Рицари отляво: %1").arg(board.knightCount(crossing::kLeftBank)));
    return 0;
}
