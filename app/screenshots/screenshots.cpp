// Draws the program offscreen and saves PNG pictures of it: the main frame, each of the four
// tabs of the rename window and each dialog, on a demonstration folder made for the purpose.
// Usage: tidemark-screenshots <output folder> [<width>x<height>]
// The main frame keeps its starting size unless a size is given.

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QSize>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "help/help_window.h"
#include "ui/dialog_hooks.h"
#include "ui/intelligent_merge_dialog.h"
#include "ui/move_on_length_dialog.h"
#include "ui/qt_text.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"
#include "ui/rename_page.h"
#include "ui/sort_files_dialog.h"

namespace fs = std::filesystem;

namespace {

// A folder that looks like a user's: holiday pictures, a few documents and two subfolders.
fs::path MakeDemoFolder(const fs::path& root) {
    const fs::path demo = root / "Holiday 2010";
    fs::create_directories(demo / "Originals");
    fs::create_directories(demo / "Rejected");
    const char* const names[] = {"IMG_4711.JPG", "IMG_4712.JPG", "IMG_4713.JPG", "IMG_4714.JPG",
                                 "IMG_4720.JPG", "beach.png",    "notes.txt",    "route.gpx",
                                 "README",       "budget.ods"};
    int size = 1;
    for (const char* name : names) {
        std::ofstream(demo / name) << std::string(static_cast<std::size_t>(size) * 731, 'x');
        size = size * 3 % 17 + 1;
    }
    return demo;
}

bool Save(QWidget& widget, const QDir& out, const char* name) {
    widget.show();
    QCoreApplication::processEvents();
    const QString path = out.filePath(QString::fromUtf8(name));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// "1280x800" as a size; an invalid size when the text is not one.
QSize ParseSize(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('x'));
    if (parts.size() != 2) {
        return {};
    }
    bool okWidth = false;
    bool okHeight = false;
    const QSize size(parts[0].toInt(&okWidth), parts[1].toInt(&okHeight));
    return okWidth && okHeight ? size : QSize();
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const QString outPath =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/screenshots");
    const fs::path work = fs::temp_directory_path() / "tidemark-screenshots";
    fs::remove_all(work);
    fs::create_directories(work);
    // The pictures never touch the user's own settings file.
    setenv("TMK_INI", (work / "tmk.ini").c_str(), 1);

    QApplication application(argc, argv);
    QDir out;
    if (!out.mkpath(outPath)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outPath));
        return 1;
    }
    out.setPath(outPath);
    QSize frameSize;
    if (argc > 2) {
        frameSize = ParseSize(QString::fromLocal8Bit(argv[2]));
        if (!frameSize.isValid() || frameSize.isEmpty()) {
            std::fprintf(stderr, "size must be <width>x<height>, not %s\n", argv[2]);
            return 1;
        }
    }
    // Nothing may block: message boxes are printed, browsing is cancelled.
    tidemark::ui::SetMessageBoxFunction(
        [](QWidget*, const QString& text, const QString&, QMessageBox::Icon) {
            std::printf("message: %s\n", qPrintable(text));
        });
    tidemark::ui::SetBrowseFolderFunction(
        [](QWidget*, const QString&, const QString&) { return std::optional<QString>(); });

    const fs::path demo = MakeDemoFolder(work);
    bool ok = true;
    {
        tidemark::app::CMainFrame frame;
        if (frameSize.isValid()) {
            frame.resize(frameSize);
        }
        ok &= Save(frame, out, "main-frame.png");

        frame.OnFileNew();
        tidemark::ui::CRenameMstrView* view = frame.RenameView();
        if (view == nullptr) {
            return 1;
        }
        view->ChangeFolder(demo.string());
        if (auto* page = dynamic_cast<tidemark::ui::CRenamePage*>(view->Page(0))) {
            page->Rules().Options().DoPrepend = true;
            page->Rules().Options().Prepend = "2010 ";
            page->ShowOptions();
        }
        view->SourcePane()->SelectRows({2, 3, 4});
        view->SourcePane()->UpdateSelection();
        QCoreApplication::processEvents();
        const char* const tabs[] = {"tab-name.png", "tab-ext.png", "tab-folder.png",
                                    "tab-number.png"};
        for (int tab = 0; tab < 4; ++tab) {
            view->TabControl()->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            ok &= Save(frame, out, tabs[tab]);
        }
        // The least window size, and a font half as large again, where captions are most at risk.
        const QFont normal = QApplication::font();
        QFont large = normal;
        large.setPointSizeF(normal.pointSizeF() * 1.5);
        const struct {
            const char* suffix;
            QSize size;
            const QFont& font;
        } variants[] = {{"700x400", {700, 400}, normal},
                        {"large-font", {800, 600}, large},
                        {"700x400-large-font", {700, 400}, large}};
        for (const auto& variant : variants) {
            QApplication::setFont(variant.font);
            frame.resize(variant.size);
            for (int tab : {0, 3}) {
                view->TabControl()->setCurrentIndex(tab);
                QCoreApplication::processEvents();
                const std::string name =
                    std::string(tab == 0 ? "tab-name-" : "tab-number-") + variant.suffix + ".png";
                ok &= Save(frame, out, name.c_str());
            }
        }
        QApplication::setFont(normal);
        frame.resize(frameSize.isValid() ? frameSize : QSize(800, 600));

        ok &= Save(*tidemark::help::HelpWindow::Open(&frame, tidemark::help::ContentsTopic()), out,
                   "help.png");
        tidemark::app::CAboutDlg about(&frame);
        ok &= Save(about, out, "dialog-about.png");
        tidemark::ui::CMoveOnLengthDlg moveOnLength;
        ok &= Save(moveOnLength, out, "dialog-move-on-length.png");
        tidemark::ui::CIntelligentMergeDlg merge;
        ok &= Save(merge, out, "dialog-intelligent-merge.png");
        tidemark::ui::CSortFilesDlg sortFiles;
        sortFiles.SetItems({"IMG_4711.JPG", "IMG_4712.JPG", "IMG_4713.JPG"}, {2, 3, 4});
        ok &= Save(sortFiles, out, "dialog-sort-files.png");
    }
    fs::remove_all(work);
    return ok ? 0 : 1;
}
