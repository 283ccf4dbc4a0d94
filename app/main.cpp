#include <QApplication>
#include <QLabel>

// Placeholder until the main frame exists.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QObject::tr("Tidemark: the main window is not built yet."));
    label.show();
    return app.exec();
}
