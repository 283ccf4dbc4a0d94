#include <QApplication>

#include "app/tmk_app.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tidemark"));
    // The command line is accepted and otherwise ignored.
    tidemark::app::CTMKApp app;
    if (!app.InitInstance()) {
        return 1;
    }
    return QApplication::exec();
}
