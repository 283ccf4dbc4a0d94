// The rename window on a folder of 32,767 entries, driven offscreen: opening the folder (read,
// both lists refilled and painted) and a preview refresh after an option change (result
// column rewritten and painted). Targets: under 0.5 s and under one 16 ms frame.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <string>

#include "tests/support/temp_folder.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"
#include "ui/rename_page.h"

namespace {

using tidemark::testing::TempFolder;
using tidemark::ui::CRenameMstrView;
using tidemark::ui::CRenamePage;

constexpr int kEntries = 32'767;

const std::string& BigFolder() {
    static std::unique_ptr<TempFolder> folder;
    if (!folder) {
        folder = std::make_unique<TempFolder>();
        static const char* const kExtensions[] = {".txt", ".JPG", ".doc", ".mp3", ""};
        for (int n = 0; n < kEntries; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "photo %05d%s", n, kExtensions[n % 5]);
            const std::string path = *folder / name;
            if (n % 100 == 0) {
                folder->Folder(name);
                continue;
            }
            const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
            if (fd < 0) {
                std::perror(path.c_str());
                std::exit(1);
            }
            close(fd);
        }
    }
    return folder->Path();
}

std::unique_ptr<CRenameMstrView>& ViewSlot() {
    static std::unique_ptr<CRenameMstrView> view;
    return view;
}

// One rename window, shown offscreen at a usual size, for the whole run; closed by main while
// the application still exists.
CRenameMstrView& View() {
    std::unique_ptr<CRenameMstrView>& view = ViewSlot();
    if (!view) {
        view = std::make_unique<CRenameMstrView>();
        view->resize(1200, 800);
        view->show();
        view->OnInitialUpdate();
        QCoreApplication::processEvents();
    }
    return *view;
}

void PaintLists(CRenameMstrView& view) {
    view.SourcePane()->viewport()->repaint();
    view.ResultPane()->viewport()->repaint();
}

void BM_OpenFolder(benchmark::State& state) {
    const std::string& folder = BigFolder();
    CRenameMstrView& view = View();
    for (auto _ : state) {
        view.ChangeFolder(folder);
        PaintLists(view);
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = view.SourcePane()->model()->rowCount();
}
BENCHMARK(BM_OpenFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Each iteration changes an option (the prepended text) and refreshes the preview.
void BM_PreviewRefresh(benchmark::State& state) {
    CRenameMstrView& view = View();
    view.ChangeFolder(BigFolder());
    auto* page = dynamic_cast<CRenamePage*>(view.Page(0));
    page->Rules().Options().DoPrepend = true;
    int n = 0;
    for (auto _ : state) {
        page->Rules().Options().Prepend = (n++ % 2) != 0 ? "2010 " : "2011 ";
        view.RefreshResultNames();
        PaintLists(view);
    }
    page->Rules().Options().DoPrepend = false;
    state.counters["rows"] = view.ResultPane()->model()->rowCount();
}
BENCHMARK(BM_PreviewRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same refresh with "selected only" and every row selected (the preview renames the
// catalogue's selection, as the rename does).
void BM_PreviewRefreshAllSelected(benchmark::State& state) {
    CRenameMstrView& view = View();
    view.ChangeFolder(BigFolder());
    auto* page = dynamic_cast<CRenamePage*>(view.Page(0));
    page->Rules().Options().DoPrepend = true;
    page->Rules().Options().SelOnly = true;
    view.ResultPane()->selectAll();
    auto& selection = view.Catalogue()->selection;
    selection.resize(view.Catalogue()->GetRecords().size());
    std::iota(selection.begin(), selection.end(), 0U);
    int n = 0;
    for (auto _ : state) {
        page->Rules().Options().Prepend = (n++ % 2) != 0 ? "2010 " : "2011 ";
        view.RefreshResultNames();
        PaintLists(view);
    }
    page->Rules().Options().DoPrepend = false;
    page->Rules().Options().SelOnly = false;
}
BENCHMARK(BM_PreviewRefreshAllSelected)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    ViewSlot().reset();
    benchmark::Shutdown();
    return 0;
}
