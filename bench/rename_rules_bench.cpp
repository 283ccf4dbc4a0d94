// Preview speed: the new names of a full 32,767-entry folder must be recomputable within one
// screen frame, so every rule switched on should stay well under 300 ns per name.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "rename/numbering.h"
#include "rename/rename_rules.h"

namespace {

using tidemark::rename::Numbering;
using tidemark::rename::PageKind;
using tidemark::rename::RenameOptions;
using tidemark::rename::RenameRules;

constexpr std::size_t kNames = 32767;

// Names as a real folder holds them: camera files, documents, music, dotfiles, words joined
// by spaces, underscores and dashes, lengths from a few to about eighty characters. One word
// in eight is accented, CJK or outside the Basic Multilingual Plane, so about a third of the
// names are not pure ASCII (more than most folders hold, which keeps the figure cautious).
std::vector<std::string> RealisticNames() {
    static const std::vector<std::string> ascii = {
        "IMG",   "DSC",     "report", "Final",   "draft", "2023",    "holiday", "Copy of",
        "scan",  "invoice", "Track",  "meeting", "notes", "v2",      "backup",  "THE",
        "Photo", "budget",  "a",      "summer",  "test",  "ProjectX"};
    static const std::vector<std::string> other = {"résumé", "Über",  "naïve",  "café",  "日本語",
                                                   "😀",      "Ωmega", "Straße", "ÉCOLE", "𝄞music"};
    static const std::vector<std::string> separators = {" ", "_", "-", " - ", ""};
    static const std::vector<std::string> extensions = {".jpg", ".JPG",  ".txt", ".pdf", ".tar.gz",
                                                        ".mp3", ".docx", "",     ".PNG", ".c"};
    std::mt19937 random(20261206);
    const auto pick = [&](const std::vector<std::string>& from) -> const std::string& {
        return from[random() % from.size()];
    };
    std::vector<std::string> names;
    names.reserve(kNames);
    for (std::size_t i = 0; i < kNames; ++i) {
        std::string name;
        if (random() % 200 == 0) {
            name.assign(1, '.');  // a dotfile (not = ".": a false -Wrestrict of GCC 12 -O3)
        }
        const unsigned words = 1 + random() % 6;
        for (unsigned w = 0; w < words; ++w) {
            if (w > 0) {
                name += pick(separators);
            }
            name += random() % 8 == 0 ? pick(other) : pick(ascii);
            if (random() % 3 == 0) {
                name += std::to_string(random() % 10000);
            }
        }
        name += pick(extensions);
        names.push_back(std::move(name));
    }
    return names;
}

const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = RealisticNames();
    return names;
}

// The same names split by whether they are pure ASCII, to show the two paths apart.
const std::vector<std::string>& NamesWhere(bool ascii) {
    static const auto split = [] {
        std::array<std::vector<std::string>, 2> parts;
        for (const std::string& name : Names()) {
            const bool isAscii = std::all_of(name.begin(), name.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x80;
            });
            parts[isAscii ? 1 : 0].push_back(name);
        }
        return parts;
    }();
    return split[ascii ? 1 : 0];
}

RenameOptions AllRules(bool changeName) {
    RenameOptions o;
    o.DoDelete = o.DoLCrop = o.DoRCrop = o.DoReplace = o.DoInsert = true;
    o.DoPrepend = o.DoAppend = true;
    o.DoChgName = changeName;
    o.DelPos = 3;
    o.DelNum = 2;
    o.LCrop = 1;
    o.RCrop = 1;
    o.ChgName = "renamed file";
    // assign(1, c), not = "_": GCC 12 at -O3 warns falsely (-Wrestrict) on the literal.
    o.RepOrig.assign(1, '_');
    o.RepNew.assign(1, ' ');
    o.InsPos = 5;
    o.Insert = "-x-";
    o.Prepend = "new ";
    o.Append = " (1)";
    o.CaseMode = tidemark::rename::kCaseCapsAndLower;
    return o;
}

void SetPerNameCounter(benchmark::State& state, std::size_t count) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
    state.counters["ns_per_name"] = benchmark::Counter(
        static_cast<double>(count) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The preview's work for one refresh: copy every source name into its result slot and
// apply the page's rules.
void RunApplyRules(benchmark::State& state, PageKind kind, const RenameOptions& options,
                   const std::vector<std::string>& names = Names()) {
    RenameRules rules(kind);
    rules.Options() = options;
    std::vector<std::string> results(names.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            results[i] = names[i];
            rules.ApplyRules(results[i], true);
        }
        benchmark::DoNotOptimize(results.data());
        benchmark::ClobberMemory();
    }
    SetPerNameCounter(state, names.size());
}

void BM_ApplyRules_AllRules(benchmark::State& state) {
    RunApplyRules(state, PageKind::Files, AllRules(true));
}
BENCHMARK(BM_ApplyRules_AllRules)->Unit(benchmark::kMillisecond);

void BM_ApplyRules_AllRules_AsciiNames(benchmark::State& state) {
    RunApplyRules(state, PageKind::Files, AllRules(true), NamesWhere(true));
}
BENCHMARK(BM_ApplyRules_AllRules_AsciiNames)->Unit(benchmark::kMillisecond);

void BM_ApplyRules_AllRules_OtherNames(benchmark::State& state) {
    RunApplyRules(state, PageKind::Files, AllRules(true), NamesWhere(false));
}
BENCHMARK(BM_ApplyRules_AllRules_OtherNames)->Unit(benchmark::kMillisecond);

// Without "Change name" the old text reaches the replace and case rules.
void BM_ApplyRules_AllButChange(benchmark::State& state) {
    RunApplyRules(state, PageKind::Files, AllRules(false));
}
BENCHMARK(BM_ApplyRules_AllButChange)->Unit(benchmark::kMillisecond);

void BM_ApplyRules_Extensions(benchmark::State& state) {
    RenameOptions o;
    o.DoAppend = true;
    o.Append = "x";
    o.CaseMode = tidemark::rename::kCaseUpper;
    RunApplyRules(state, PageKind::Extensions, o);
}
BENCHMARK(BM_ApplyRules_Extensions)->Unit(benchmark::kMillisecond);

// The engine on text already decoded to code points (the path every non-ASCII name takes).
void BM_TransformName_AllRules(benchmark::State& state) {
    std::vector<std::u32string> decoded;
    for (const std::string& name : Names()) {
        decoded.push_back(tidemark::platform::DecodeUtf8(name));
    }
    RenameRules rules(PageKind::Files);
    rules.Options() = AllRules(true);
    std::vector<std::u32string> results(decoded.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < decoded.size(); ++i) {
            results[i] = decoded[i];
            rules.TransformName(results[i]);
        }
        benchmark::DoNotOptimize(results.data());
        benchmark::ClobberMemory();
    }
    SetPerNameCounter(state, decoded.size());
}
BENCHMARK(BM_TransformName_AllRules)->Unit(benchmark::kMillisecond);

void RunApplyNumber(benchmark::State& state, Numbering& numbering) {
    const std::vector<std::string>& names = Names();
    std::vector<std::string> results(names.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            results[i] = names[i];
            numbering.ApplyNumber(results[i], static_cast<std::uint32_t>(i), true);
        }
        benchmark::DoNotOptimize(results.data());
        benchmark::ClobberMemory();
    }
    SetPerNameCounter(state, names.size());
}

void BM_ApplyNumber_Pattern(benchmark::State& state) {
    Numbering numbering;
    numbering.Options().PosMode = tidemark::rename::kPosPattern;
    numbering.SetPattern("holiday photo ?????.jpg");
    RunApplyNumber(state, numbering);
}
BENCHMARK(BM_ApplyNumber_Pattern)->Unit(benchmark::kMillisecond);

void BM_ApplyNumber_AtPositionLetters(benchmark::State& state) {
    Numbering numbering;
    numbering.Options().PosMode = tidemark::rename::kPosAt;
    numbering.Options().Pos = 4;
    numbering.Options().Base = tidemark::rename::kBaseAlpha;
    numbering.Options().Incr = 7;
    RunApplyNumber(state, numbering);
}
BENCHMARK(BM_ApplyNumber_AtPositionLetters)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
