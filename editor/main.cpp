// palvenor: the animation editor.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window("Palvenor");
    window.setWindowTitle("Palvenor");
    window.resize(800, 600);
    window.show();
    return app.exec();
}
