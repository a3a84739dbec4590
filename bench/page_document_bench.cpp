// A component inserted the way the editor and `quenfort-cli insert` insert it
// (the page file read, the component added, the page file written, synced and
// renamed into place) against reading the same file and writing its bytes
// back with a plain synced write (open, write, fsync, close, rename), for
// ordinary pages of 10 KB, 1 MB and 10 MB and for adversarial pages of 1 and
// 5 MB (a long row of adjacent cells, every free number held by a stray end
// marker, marker openings without a close); the whole-process peak memory of
// `quenfort-cli insert` on a 10 MB page; and the declaration walk over a full
// block. Before each run the page file is put back, synced, untimed, so every
// run starts from the same file.
#include "components/insertion.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "workspace/workspace.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::Median;
using bench::PlainRead;
using bench::PlainSyncedWrite;
using bench::PutBack;
using bench::SecondsSince;

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

std::string PathOf(const char* name) {
    return Folder().filePath(name).toStdString();
}

// A page of about `size` bytes: one area whose cell holds text components.
std::string PageOfSize(std::size_t size) {
    std::string page = "<html><head><title>Bench</title></head><body><!---End_Body---!>"
                       "<!---declare_begin---!><!---Table1---!><!---////---!><!---declare_end---!>"
                       "</body><!---Begin_Table1---!><Table width=400><td width=400>";
    page.reserve(size + 200);
    int n = 1;
    while (page.size() < size) {
        const std::string name = "Text" + std::to_string(n++);
        page += "<!---Begin_" + name +
                "---!><font face=\"Arial\" size=\"3\">Some words of running text in a "
                "paragraph of the page</font><!---End_" +
                name + "---!>";
    }
    page += "</td></table><!---End_Table1---!></html>";
    return page;
}

// The shapes of page: ordinary, then the adversarial ones.
enum Shape { kOrdinary = 0, kAdjacentCells = 1, kUndeclaredEnds = 2, kOpenings = 3 };
constexpr const char* kShapeNames[] = {"ordinary", "adjacent cells", "undeclared ends",
                                       "marker openings"};

std::string PageOfShape(std::size_t size, int shape) {
    if (shape == kOrdinary) {
        return PageOfSize(size);
    }
    const std::string head = "<html><head><title>Bench</title></head><body><!---End_Body---!>"
                             "<!---declare_begin---!><!---Table1---!><!---////---!>"
                             "<!---declare_end---!></body>";
    std::string page = head;
    page.reserve(size + 200);
    if (shape == kAdjacentCells) {
        // Area 1's own cell followed by one long row of small adjacent cells:
        // the insertion point is found by walking back over all of them.
        page += "<!---Begin_Table1---!><Table width=400><tr><td width=40>x</td>";
        for (int n = 2; page.size() < size; ++n) {
            const std::string name = "Cell" + std::to_string(n);
            page += "<!---Begin_" + name + "---!><td>y</td><!---End_" + name + "---!>";
        }
        page += "</table><!---End_Table1---!></html>";
    } else if (shape == kUndeclaredEnds) {
        // Numbers 1 to 998 held by end markers without declarations, spread
        // over the page.
        page += "<!---Begin_Table1---!><Table width=400><td width=400>";
        const std::size_t gap = size / 998;
        const std::string filler(gap > 40 ? gap - 40 : 0, 'w');
        for (int n = 1; n <= 998; ++n) {
            page += filler + "<!---End_Image" + std::to_string(n) + "---!>";
        }
        page += "</td></table><!---End_Table1---!></html>";
    } else {
        // Marker openings with no close until the very end.
        page += "<!---Begin_Table1---!><Table width=400><td width=400>";
        while (page.size() < size) {
            page += "<!---";
        }
        page += "---!></td></table><!---End_Table1---!></html>";
    }
    return page;
}

// What `quenfort-cli insert PAGE Area1 Image` does: the page opened (read,
// its lock held), checked first on the page of marker openings, the image
// added and the page file written.
void InsertAsTheCommandLineDoes(const std::string& path, bool check) {
    qf::Workspace workspace;
    workspace.hold_page_lock = true;
    qf::OpenPage(workspace, path);
    if (check) {
        benchmark::DoNotOptimize(qf::CheckPage(workspace.page_text));
    }
    workspace.area_list.text = "Area1";
    benchmark::DoNotOptimize(qf::InsertComponent(workspace, "Image", {{"alt", "Logo"}}));
}

// Each run times the plain copy and then the insertion, one after the other,
// so both meet the same load on the shared disk; the time reported is the
// insertion's. The counters are medians over the runs (a stall of the disk
// caused by another program moves a mean, hardly a median): insertion and
// plain copy in milliseconds, and their ratio.
void BM_InsertAgainstPlain(benchmark::State& state) {
    const int shape = int(state.range(1));
    const std::string bytes = qf::EncodePageFile(PageOfShape(std::size_t(state.range(0)), shape));
    const std::string path = PathOf("page.html");
    std::vector<double> insert;
    std::vector<double> plain;
    for (auto _ : state) {
        PutBack(path, bytes);
        auto start = std::chrono::steady_clock::now();
        PlainSyncedWrite(path, PlainRead(path));
        plain.push_back(SecondsSince(start));
        PutBack(path, bytes);
        start = std::chrono::steady_clock::now();
        InsertAsTheCommandLineDoes(path, shape == kOpenings);
        insert.push_back(SecondsSince(start));
        state.SetIterationTime(insert.back());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
    state.counters["insert_ms"] = Median(insert) * 1e3;
    state.counters["plain_ms"] = Median(plain) * 1e3;
    state.counters["ratio"] = Median(insert) / Median(plain);
}

void BM_DeclarationNames(benchmark::State& state) {
    std::string declarations;
    for (int i = 1; i <= state.range(0); ++i) {
        declarations += "<!---Bullet_Item_List" + std::to_string(i) + "---!>";
    }
    const std::string page = "<body><!---End_Body---!><!---declare_begin---!>" + declarations +
                             "<!---////---!><!---declare_end---!></body>";
    for (auto _ : state) {
        benchmark::DoNotOptimize(qf::DeclarationNames(page));
    }
    state.SetComplexityN(state.range(0));
}

constexpr const char* kOrdinarySizes[] = {"10000", "1000000", "10000000"};
constexpr const char* kAdversarialSizes[] = {"1000000", "5000000"};

void PageArgs(benchmark::internal::Benchmark* bench) {
    for (const char* size : kOrdinarySizes) {
        bench->Args({std::atol(size), kOrdinary});
    }
    for (int shape : {kAdjacentCells, kUndeclaredEnds, kOpenings}) {
        for (const char* size : kAdversarialSizes) {
            bench->Args({std::atol(size), shape});
        }
    }
}

BENCHMARK(BM_InsertAgainstPlain)
    ->Apply(PageArgs)
    ->UseManualTime()
    ->MinTime(1.0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeclarationNames)->RangeMultiplier(4)->Range(16, 999)->Complexity(benchmark::oN);

// Remembers each run's time so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;
    std::map<std::string, benchmark::UserCounters> counters;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                // By function and arguments: "BM_InsertAgainstPlain/1000000/1".
                const std::string name = run.run_name.function_name + "/" + run.run_name.args;
                counters[name] = run.counters;
                nanoseconds[name] =
                    run.GetAdjustedRealTime() * (run.time_unit == benchmark::kMillisecond   ? 1e6
                                                 : run.time_unit == benchmark::kMicrosecond ? 1e3
                                                                                            : 1.0);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Of(const std::string& name) { return nanoseconds[name]; }
    double Counter(const std::string& name, const char* counter) {
        const auto found = counters[name].find(counter);
        return found == counters[name].end() ? 0.0 : double(found->second);
    }
};

// The peak resident memory of `program` run with `args`, or -1 when it failed.
std::int64_t PeakOfChild(const std::string& program, const std::vector<std::string>& args) {
    const bench::ChildRun run = bench::RunChild(program, args);
    return run.status == 0 ? run.peak : -1;
}

// Writes the page file of an ordinary page of about `size` bytes in a child
// process, so that building it never adds to this process's memory, which a
// child started later begins with.
std::int64_t WritePageInChild(const std::string& path, std::size_t size) {
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            qf::WritePageFile(path, PageOfSize(size));
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return -1;
    }
    return qf::FileSizeOf(path);
}

std::int64_t ResidentBytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return std::int64_t(resident) * ::sysconf(_SC_PAGESIZE);
}

// The whole-process peak memory of `quenfort-cli insert` on a 10 MB page, and
// of the same insertion into a 10 KB page: what the program holds whatever
// the page (its libraries, Qt's start, the allocator).
void PrintInsertionMemory() {
    const std::string large = PathOf("memory-large.html");
    const std::string small = PathOf("memory-small.html");
    const std::int64_t large_size = WritePageInChild(large, 10'000'000);
    const std::int64_t small_size = WritePageInChild(small, 10'000);
    const std::int64_t floor = ResidentBytes();
    const std::int64_t large_peak =
        large_size > 0 ? PeakOfChild(QUENFORT_CLI, {"insert", large, "Area1", "Image"}) : -1;
    const std::int64_t small_peak =
        small_size > 0 ? PeakOfChild(QUENFORT_CLI, {"insert", small, "Area1", "Image"}) : -1;
    std::printf("Peak memory of quenfort-cli insert (whole process, ru_maxrss from wait4):\n");
    if (large_peak <= 0 || small_peak <= 0) {
        std::printf("  could not be measured (the insertion failed)\n\n");
        return;
    }
    const double mb = 1e6;
    std::printf("  page file of %.2f MB: peak %.1f MB, %.2f times the page\n", large_size / mb,
                large_peak / mb, double(large_peak) / double(large_size));
    std::printf("  page file of %.0f KB: peak %.1f MB (the program itself)\n", small_size / 1e3,
                small_peak / mb);
    std::printf("  above the program itself: %.1f MB, %.2f times the page\n",
                (large_peak - small_peak) / mb,
                double(large_peak - small_peak) / double(large_size));
    std::printf("  (the benchmark held %.1f MB when it started the children: no child's peak\n"
                "   reads below that)\n\n",
                floor / 1e6);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    PrintInsertionMemory();
    std::fflush(stdout);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nInsertion (read, insert, synced write) against reading the same file and a "
                "plain synced write,\nmedians over the runs:\n");
    for (int shape : {kOrdinary, kAdjacentCells, kUndeclaredEnds, kOpenings}) {
        std::vector<std::string> sizes(std::begin(kAdversarialSizes), std::end(kAdversarialSizes));
        if (shape == kOrdinary) {
            sizes.assign(std::begin(kOrdinarySizes), std::end(kOrdinarySizes));
        }
        for (const std::string& size : sizes) {
            const std::string name = "BM_InsertAgainstPlain/" + size + "/" + std::to_string(shape);
            const double insert = reporter.Counter(name, "insert_ms");
            const double plain = reporter.Counter(name, "plain_ms");
            if (insert > 0 && plain > 0) {
                std::printf("  %-16s %9s bytes: insertion %8.2f ms, plain %8.2f ms, ratio %.2f\n",
                            kShapeNames[shape], size.c_str(), insert, plain, insert / plain);
            }
        }
        if (shape != kOrdinary) {
            const std::string one = "BM_InsertAgainstPlain/1000000/" + std::to_string(shape);
            const std::string five = "BM_InsertAgainstPlain/5000000/" + std::to_string(shape);
            const double insert =
                reporter.Counter(five, "insert_ms") / reporter.Counter(one, "insert_ms");
            const double plain =
                reporter.Counter(five, "plain_ms") / reporter.Counter(one, "plain_ms");
            if (insert > 0 && plain > 0) {
                std::printf("  %-16s 5 MB over 1 MB: insertion %.2f, plain %.2f (linear: about "
                            "5)\n",
                            kShapeNames[shape], insert, plain);
            }
        }
    }
    const double walk = reporter.Of("BM_DeclarationNames/999");
    if (walk > 0) {
        std::printf("DeclarationNames over 999 declarations: %.1f us\n", walk / 1e3);
    }
    benchmark::Shutdown();
    return 0;
}
