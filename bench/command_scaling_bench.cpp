// Every writing command of the command line, run as a user runs it (a
// process of quenfort-cli on a page file), beside the floor: a process that
// reads the same file and writes its bytes back with a plain synced write.
// Pages of 10 KB, 100 KB, 1 MB and 10 MB, and the hostile shapes: a row of
// 40,000 adjacent areas, 999 components, 998 stray end markers, and marker
// openings without a close (1 and 10 MB). Before each run the page file is
// put back, untimed. At the end one table: each command's median against
// the floor's, the growth from 1 to 10 MB beside the floor's, and the peak
// memory above the program's own, against the page's size.
//
//   bench_command_scaling [--benchmark_filter=...]
//   bench_command_scaling --floor PAGE     (the floor's own process)
//   bench_command_scaling --page SHAPE SIZE PATH
//                                          (writes a page of a shape, 0 to 4, for a profiler)

#include "document/page_file.h"
#include "document/page_text.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

std::string PathOf(const std::string& name) {
    return Folder().filePath(QString::fromStdString(name)).toStdString();
}

std::string& SelfPath() {
    static std::string path;
    return path;
}

// Runs quenfort-cli and fails loudly when a step of making a page fails.
void Cli(const std::vector<std::string>& args) {
    if (bench::RunChild(QUENFORT_CLI, args).status != 0) {
        throw std::runtime_error("quenfort-cli " + args.front() + " failed");
    }
}

std::string Numbered(std::string_view text, std::string_view from, const std::string& to) {
    std::string out;
    for (std::size_t pos = 0;;) {
        const std::size_t found = text.find(from, pos);
        out.append(text.substr(pos, found - pos));
        if (found == std::string_view::npos) {
            return out;
        }
        out.append(to);
        pos = found + from.size();
    }
}

// A page made by the program itself (layout 1, a platform of two areas in
// area 1, a text in area 1), the text of which the shapes are grown from.
struct Seed {
    std::string page;
    std::string text_block; // "<!---Begin_Text1---!>...<!---End_Text1---!>"
    std::string area_block; // the block of area 2, adjacent in the platform
};

const Seed& TheSeed() {
    static const Seed seed = [] {
        const std::string path = PathOf("seed.html");
        ::setenv("XDG_DATA_HOME", PathOf("data").c_str(), 1);
        Cli({"new-page", Folder().path().toStdString(), "seed", "layout=1"});
        Cli({"platform", path, "Area1", "count=2", "width=50", "height=20"});
        Cli({"insert", path, "Area1", "Text", "text=Some words of running text in a paragraph",
             "size=3"});
        Seed made;
        made.page = qf::ReadPageFile(path);
        auto block = [&](std::string_view name) {
            const qf::BlockPosition at = qf::FindBlock(made.page, name);
            return made.page.substr(at.begin, at.block_end - at.begin);
        };
        made.text_block = block("Text1");
        made.area_block = block("Table2");
        return made;
    }();
    return seed;
}

// The seed with `declarations` put before the declaration block's separator
// and `content` at area 1's insertion point.
std::string Grown(const std::string& declarations, const std::string& content) {
    std::string page = TheSeed().page;
    const std::size_t point = qf::AreaInsertPoint(page, 1);
    page.insert(point, content);
    page.insert(page.find("<!---////---!>"), declarations);
    return page;
}

enum Shape { kOrdinary, kAdjacentAreas, kComponents, kStrayEnds, kOpenings };
constexpr const char* kShapeNames[] = {"ordinary", "40000 areas", "999 components",
                                       "998 stray ends", "marker openings"};

std::string PageOfShape(int shape, std::size_t size) {
    const Seed& seed = TheSeed();
    std::string declarations;
    std::string content;
    if (shape == kOrdinary || shape == kComponents) {
        // Texts 2, 3, ... after the seed's Text1.
        const std::size_t limit = shape == kComponents ? 999 : std::size_t(-1);
        for (int n = 2; std::size_t(n) <= limit && seed.page.size() + content.size() < size; ++n) {
            const std::string name = "Text" + std::to_string(n);
            content += Numbered(seed.text_block, "Text1", name);
            declarations += "<!---" + name + "---!>";
        }
        return Grown(declarations, content);
    }
    std::string page = seed.page;
    if (shape == kAdjacentAreas) {
        // Areas 5 to 40,004 beside areas 2 and 3 in the platform's row.
        for (int n = 5; n < 40'005; ++n) {
            const std::string name = "Table" + std::to_string(n);
            content += Numbered(seed.area_block, "Table2", name);
            declarations += "<!---" + name + "---!>";
        }
        const qf::BlockPosition second = qf::FindBlock(page, "Table3");
        page.insert(second.block_end, content);
        page.insert(page.find("<!---////---!>"), declarations);
        return page;
    }
    // Stray end markers Image1 to Image998 spread over the page, or marker
    // openings that never close, inside a text of area 1.
    const std::string filler(200, 'w');
    for (int n = 1; seed.page.size() + content.size() < size; ++n) {
        content += filler;
        if (shape == kStrayEnds) {
            content += n <= 998 ? "<!---End_Image" + std::to_string(n) + "---!>" : "";
        } else {
            content += "<!---";
        }
    }
    const qf::BlockPosition text = qf::FindBlock(page, "Text1");
    page.insert(text.end, content);
    return page;
}

struct Command {
    const char* name;
    std::vector<std::string> args; // after the page; "STDIN" given on input
    const char* input = nullptr;
};

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"insert", {"Area1", "Image", "alt=Logo"}},
        {"insert-html", {"Area1"}, "<b>bold</b>\n<i>and more</i>\n"},
        {"line-break", {"Area1"}},
        {"platform", {"Area1", "count=2", "width=40", "height=20"}},
        {"modify-area", {"Area1", "height=333"}},
        {"page-properties", {"heading=Scaled"}},
        {"form", {}},
        {"modify-component", {"Text String1", "text=changed"}},
        {"set-component-source", {"Text String1"}, "<p>new source</p>"},
        {"delete-component", {"Text String1"}},
        {"delete-area", {"Area1"}},
    };
    return commands;
}

struct Result {
    double command_ms = 0;
    double floor_ms = 0;
    std::int64_t peak = 0;
    std::int64_t page_bytes = 0;
    bool refused = false;
};
std::map<std::string, Result>& Results() {
    static std::map<std::string, Result> results;
    return results;
}

std::string Key(int command, int shape, std::size_t size) {
    return std::to_string(command) + "/" + std::to_string(shape) + "/" + std::to_string(size);
}

void BM_Command(benchmark::State& state, int command_index, int shape, std::size_t size) {
    const Command& command = Commands()[std::size_t(command_index)];
    const std::string bytes = qf::EncodePageFile(PageOfShape(shape, size));
    const std::string path = PathOf("page.html");
    const std::string input = PathOf("input.txt");
    bench::PutBack(input, command.input ? command.input : "");
    std::vector<std::string> args{command.name, path};
    args.insert(args.end(), command.args.begin(), command.args.end());
    std::vector<double> runs;
    std::vector<double> floors;
    Result result;
    result.page_bytes = std::int64_t(bytes.size());
    for (auto _ : state) {
        bench::PutBack(path, bytes);
        auto start = std::chrono::steady_clock::now();
        if (bench::RunChild(SelfPath(), {"--floor", path}).status != 0) {
            state.SkipWithError("the floor failed");
            return;
        }
        floors.push_back(bench::SecondsSince(start));
        bench::PutBack(path, bytes);
        start = std::chrono::steady_clock::now();
        const bench::ChildRun run = bench::RunChild(QUENFORT_CLI, args, input);
        runs.push_back(bench::SecondsSince(start));
        result.refused = result.refused || run.status != 0;
        result.peak = std::max(result.peak, run.peak);
        state.SetIterationTime(runs.back());
    }
    result.command_ms = bench::Median(runs) * 1e3;
    result.floor_ms = bench::Median(floors) * 1e3;
    state.counters["floor_ms"] = result.floor_ms;
    state.counters["ratio"] = result.command_ms / result.floor_ms;
    state.counters["peak_MB"] = double(result.peak) / 1e6;
    Results()[Key(command_index, shape, size)] = result;
}

struct Case {
    int shape;
    std::size_t size;
};
const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {kOrdinary, 10'000},     {kOrdinary, 100'000},     {kOrdinary, 1'000'000},
        {kOrdinary, 10'000'000}, {kAdjacentAreas, 0},      {kComponents, 0},
        {kStrayEnds, 1'000'000}, {kStrayEnds, 10'000'000}, {kOpenings, 1'000'000},
        {kOpenings, 10'000'000},
    };
    return cases;
}

void PrintTable() {
    std::printf("\nEach writing command against the floor (a process reading the page and "
                "writing it back synced),\nmedians over the runs; growth is 10 MB over 1 MB; "
                "peak is above the program's own (10 KB page), over the page:\n");
    for (std::size_t c = 0; c < Commands().size(); ++c) {
        const int command = int(c);
        const auto own = Results().find(Key(command, kOrdinary, 10'000));
        for (const Case& each : Cases()) {
            const auto found = Results().find(Key(command, each.shape, each.size));
            if (found == Results().end()) {
                continue;
            }
            const Result& r = found->second;
            const double peak_over = own == Results().end() || r.page_bytes < 1'000'000
                                         ? 0.0
                                         : double(r.peak - own->second.peak) / r.page_bytes;
            std::printf("  %-21s %-16s %8.2f MB: %9.2f ms, floor %8.2f ms, ratio %5.2f",
                        Commands()[c].name, kShapeNames[each.shape], r.page_bytes / 1e6,
                        r.command_ms, r.floor_ms, r.command_ms / r.floor_ms);
            if (peak_over > 0) {
                std::printf(", peak %.2f x page", peak_over);
            }
            std::printf("%s\n", r.refused ? " (refused)" : "");
        }
        for (int shape : {kOrdinary, kStrayEnds, kOpenings}) {
            const auto one = Results().find(Key(command, shape, 1'000'000));
            const auto ten = Results().find(Key(command, shape, 10'000'000));
            if (one != Results().end() && ten != Results().end()) {
                const double growth = ten->second.command_ms / one->second.command_ms;
                const double floor = ten->second.floor_ms / one->second.floor_ms;
                std::printf("  %-21s %-16s growth %.2f, floor's %.2f, %.2f times the floor's\n",
                            Commands()[c].name, kShapeNames[shape], growth, floor, growth / floor);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--floor") {
        try {
            bench::PlainSyncedWrite(argv[2], bench::PlainRead(argv[2]));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
        return 0;
    }
    if (argc == 5 && std::string(argv[1]) == "--page") {
        try {
            qf::WritePageFile(argv[4], PageOfShape(std::atoi(argv[2]), std::stoul(argv[3])));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
        return 0;
    }
    // Before any page is made, so the children's peaks are their own.
    bench::StartSpawner();
    SelfPath() = "/proc/self/exe";
    char self[4096] = {};
    if (const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1); n > 0) {
        SelfPath() = std::string(self, std::size_t(n));
    }
    for (std::size_t c = 0; c < Commands().size(); ++c) {
        for (const Case& each : Cases()) {
            const std::string name = std::string("BM_Command/") + Commands()[c].name + "/" +
                                     kShapeNames[each.shape] + "/" + std::to_string(each.size);
            benchmark::RegisterBenchmark(name.c_str(), BM_Command, int(c), each.shape, each.size)
                ->UseManualTime()
                ->MinTime(0.3)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    PrintTable();
    benchmark::Shutdown();
    return 0;
}
