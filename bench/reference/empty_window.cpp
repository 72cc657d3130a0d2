// Reference for the start-up benchmark: the least a Qt 6 widget program can
// show, an empty window of the puzzle window's size.
#include "form_description.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    using namespace crossing::form;
    QApplication app(argc, argv);
    const Pixels client = toPixels(window().clientArea);
    QWidget window;
    window.setFixedSize(client.width, client.height);
    window.show();
    return QApplication::exec();
}
