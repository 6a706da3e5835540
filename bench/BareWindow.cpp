// The baseline for the start-up benchmark: an empty Qt window of Tenvaro's
// size, with nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("BareWindow"));
    window.setFixedSize(224, 221);
    window.show();
    return app.exec();
}
