// Reference for the start-up benchmark: the empty window plus one line of the
// title text in the puzzle window's font. Any window that shows text pays for
// finding and loading its font, which is most of what a small Qt window costs
// to start, so this is the floor the puzzle window is held against.
#include "form_texts.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(crossing::titleLabelText());
    QFont font(QStringLiteral("Times New Roman"), 12, QFont::Normal, false);
    font.setStyleHint(QFont::Serif);
    window.setFont(font);
    window.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    window.setFixedSize(487, 400);
    window.show();
    return QApplication::exec();
}
