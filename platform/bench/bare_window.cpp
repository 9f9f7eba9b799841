// A bare window of the toolkit and nothing else: what the program's start-up is timed against.
// Given a number, it shows that many bare windows, titled "Bare window 1" and on, whose memory
// the program's is measured against.

#include <QApplication>
#include <QString>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <vector>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < count; ++i) {
        windows.push_back(std::make_unique<QWidget>());
        if (argc > 1)
            windows.back()->setWindowTitle(QStringLiteral("Bare window %1").arg(i + 1));
        windows.back()->show();
    }
    return app.exec();
}
