#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/tmk_app.h"
#include "tidemark_version.h"
#include "ui/qt_text.h"

namespace {

// --help and --version only print: they get a core application, so they answer without a
// display (help2man runs them at build time).
std::unique_ptr<QCoreApplication> CreateApplication(int& argc, char** argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0) {
                return std::make_unique<QCoreApplication>(argc, argv);
            }
        }
    }
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> application = CreateApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tidemark"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tidemark::kProgramVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Renames the files of one folder by rules or by numbers."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FOLDER | FILE"),
        QCoreApplication::translate(
            "main", "A folder to open in the rename window, or a file whose folder is opened."),
        QStringLiteral("[FOLDER | FILE]"));
    parser.process(*application);
    const QStringList paths = parser.positionalArguments();
    if (paths.size() > 1) {
        std::fputs(qPrintable(QCoreApplication::translate(
                       "main", "tidemark: one folder or file at most (see --help)\n")),
                   stderr);
        return 2;
    }
    if (qobject_cast<QApplication*>(application.get()) == nullptr) {
        return 0;
    }

    const QString appId = QString::fromLatin1(tidemark::kApplicationId);
    QGuiApplication::setDesktopFileName(appId);
    // The installed theme's icon when there is one, else the copy built into the program.
    QApplication::setWindowIcon(
        QIcon::fromTheme(appId, QIcon(QStringLiteral(":/icons/%1.svg").arg(appId))));

    tidemark::app::CTMKApp app;
    if (!app.InitInstance()) {
        return 1;
    }
    if (!paths.isEmpty()) {
        const std::string path =
            tidemark::ui::ToStdString(QDir::cleanPath(QDir::current().absoluteFilePath(paths[0])));
        // Once the event loop runs, so that the window is on screen under a message box.
        QTimer::singleShot(0, &app, [&app, path] { app.OpenPath(path); });
    }
    return QApplication::exec();
}
