// The rename window driven offscreen on folders of 32,767 and 1,000,000 entries: opening the
// folder (read, both lists refilled and painted), a preview refresh after an option change
// (the rows on screen named and painted), a click on the Size header and the background pass
// that marks colliding names.
// Targets: opening 1,000,000 entries under 3 s, a refresh under one 16 ms frame.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <numeric>
#include <string>

#include "tests/support/temp_folder.h"
#include "ui/collision_marker.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"
#include "ui/rename_page.h"

namespace {

using tidemark::testing::TempFolder;
using tidemark::ui::CRenameMstrView;
using tidemark::ui::CRenamePage;

constexpr int kSmall = 32'767;
constexpr int kLarge = 1'000'000;

// Every n-th entry is a folder, the rest are empty files with a few extensions.
void MakeEntries(const std::string& folder, int entries) {
    static const char* const kExtensions[] = {".txt", ".JPG", ".doc", ".mp3", ""};
    for (int n = 0; n < entries; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "photo %07d%s", n, kExtensions[n % 5]);
        const std::string path = folder + "/" + name;
        int fd = -1;
        const bool made = n % 100 == 0
                              ? mkdir(path.c_str(), 0755) == 0
                              : (fd = open(path.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644)) >= 0 &&
                                    close(fd) == 0;
        if (!made) {
            std::perror(path.c_str());
            std::exit(1);
        }
    }
}

// One folder per size, made on first use. Making a million entries takes minutes, so with
// TMK_BENCH_KEEP naming a folder the entries are made there once (as ui-N) and kept for later
// runs; otherwise they live in a temporary folder removed at the end.
const std::string& BigFolder(int entries) {
    static std::map<int, std::unique_ptr<TempFolder>> temporary;
    static std::map<int, std::string> paths;
    std::string& path = paths[entries];
    if (!path.empty()) {
        return path;
    }
    if (const char* keep = std::getenv("TMK_BENCH_KEEP"); keep != nullptr && *keep != '\0') {
        path = std::string(keep) + "/ui-" + std::to_string(entries);
        const std::string done = path + ".done";
        if (access(done.c_str(), F_OK) != 0) {
            mkdir(path.c_str(), 0755);
            MakeEntries(path, entries);
            close(open(done.c_str(), O_CREAT | O_WRONLY, 0644));
        }
        return path;
    }
    auto& folder = temporary[entries];
    folder = std::make_unique<TempFolder>();
    MakeEntries(folder->Path(), entries);
    path = folder->Path();
    return path;
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

// The window showing the folder of the benchmark's size, painted once: what a refresh costs
// is measured without the first layout of the rows.
void OpenShown(CRenameMstrView& view, const benchmark::State& state) {
    view.ChangeFolder(BigFolder(static_cast<int>(state.range(0))));
    PaintLists(view);
    QCoreApplication::processEvents();
}

void BM_OpenFolder(benchmark::State& state) {
    const std::string& folder = BigFolder(static_cast<int>(state.range(0)));
    CRenameMstrView& view = View();
    for (auto _ : state) {
        view.ChangeFolder(folder);
        PaintLists(view);
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = view.SourcePane()->model()->rowCount();
}
BENCHMARK(BM_OpenFolder)
    ->Arg(kSmall)
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// A click on the Size header of a folder just opened: range(1) 1 waits for the background
// pass to read every entry's details first (the usual case: a click some seconds after the
// open), 0 clicks at once, so the click reads what the pass has not.
void BM_SortBySize(benchmark::State& state) {
    const std::string& folder = BigFolder(static_cast<int>(state.range(0)));
    CRenameMstrView& view = View();
    tidemark::catalogue::FileCatalogue& catalogue = *view.Catalogue();
    for (auto _ : state) {
        state.PauseTiming();
        catalogue.sortKey = tidemark::catalogue::kKeyName;
        catalogue.ascending = true;
        view.ChangeFolder(folder);
        PaintLists(view);
        while (state.range(1) != 0 && catalogue.MissingDetails() > 0) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        state.ResumeTiming();
        emit view.SourcePane()->header()->sectionClicked(tidemark::catalogue::kKeySize);
        QCoreApplication::processEvents();
        PaintLists(view);
    }
    catalogue.sortKey = tidemark::catalogue::kKeyName;
    view.ChangeFolder(folder);
    state.counters["rows"] = view.SourcePane()->model()->rowCount();
}
BENCHMARK(BM_SortBySize)
    ->Args({kSmall, 1})
    ->Args({kSmall, 0})
    ->Args({kLarge, 1})
    ->Args({kLarge, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// Each iteration changes an option (the prepended text) and refreshes the preview.
void BM_PreviewRefresh(benchmark::State& state) {
    CRenameMstrView& view = View();
    OpenShown(view, state);
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
BENCHMARK(BM_PreviewRefresh)
    ->Arg(kSmall)
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same refresh with "selected only" and every row selected (the preview renames the
// catalogue's selection, as the rename does).
void BM_PreviewRefreshAllSelected(benchmark::State& state) {
    CRenameMstrView& view = View();
    OpenShown(view, state);
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
BENCHMARK(BM_PreviewRefreshAllSelected)
    ->Arg(kSmall)
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Each iteration changes an option and waits for the marks of the whole batch, found on the
// worker thread and delivered to the window.
void BM_CollisionPass(benchmark::State& state) {
    CRenameMstrView& view = View();
    OpenShown(view, state);
    auto* page = dynamic_cast<CRenamePage*>(view.Page(0));
    page->Rules().Options().DoPrepend = true;
    bool delivered = false;
    const QMetaObject::Connection connection =
        QObject::connect(view.Marker(), &tidemark::ui::CollisionMarker::MarksReady,
                         [&delivered] { delivered = true; });
    int n = 0;
    for (auto _ : state) {
        page->Rules().Options().Prepend = (n++ % 2) != 0 ? "2010 " : "2011 ";
        delivered = false;
        view.RefreshResultNames();
        while (!delivered) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    QObject::disconnect(connection);
    page->Rules().Options().DoPrepend = false;
    state.counters["rows"] = view.ResultPane()->model()->rowCount();
}
BENCHMARK(BM_CollisionPass)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->UseRealTime();

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
