// A bare window of the toolkit and nothing else: what the program's start-up is timed against.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    return app.exec();
}
