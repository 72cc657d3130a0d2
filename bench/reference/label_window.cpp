// Reference for the start-up benchmark: the empty window plus one line of the
// title text in the puzzle window's font. Any window that shows text pays for
// finding and loading its font, which is most of what a small Qt window costs
// to start, so this is the floor the puzzle window is held against.
#include "form_description.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    using namespace crossing::form;
    QApplication app(argc, argv);
    const Pixels client = toPixels(window().clientArea);
    const Font& face = window().font;
    QLabel label(QString::fromUtf8(control(ControlArray::Label1, 0).text));
    QFont font(QString::fromUtf8(face.face), face.points, QFont::Normal, false);
    font.setStyleHint(QFont::Serif);
    label.setFont(font);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label.setFixedSize(client.width, client.height);
    label.show();
    return QApplication::exec();
}
