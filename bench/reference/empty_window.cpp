// Reference for the start-up benchmark: the least a Qt 6 widget program can
// show, an empty window of the puzzle window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(487, 400);
    window.show();
    return QApplication::exec();
}
