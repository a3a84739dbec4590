// One component insertion (declaration, block at the area insertion point,
// page file written) against writing the same bytes with a plain ofstream,
// and the declaration walk over a full block. Adversarial pages (a long row of
// adjacent cells, every free number held by a stray end marker, marker openings
// without a close) must stay within the same ratio.
#include "components/insertion.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <map>

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

// A page of about `size` bytes: one area whose cell holds text components.
std::string PageOfSize(std::size_t size) {
    std::string page = "<html><head><title>Bench</title></head><body><!---End_Body---!>"
                       "<!---declare_begin---!><!---Table1---!><!---////---!><!---declare_end---!>"
                       "</body><!---Begin_Table1---!><Table width=400><td width=400>";
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

const std::string kBlock = "<!---Begin_Image1---!><img src=\"logo.gif\" width=\"120\" "
                           "height=\"60\" align=\"Left\" alt=\"Logo\" border=\"0\" "
                           "bordercolor=\"#000000\"><!---End_Image1---!>";

void BM_InsertComponent(benchmark::State& state) {
    const std::string base = PageOfSize(std::size_t(state.range(0)));
    const std::string path = Folder().filePath("page.html").toStdString();
    for (auto _ : state) {
        std::string page = base;
        qf::AddDeclaration(page, "Image1");
        page.insert(qf::AreaInsertPoint(page, 1), kBlock);
        qf::WritePageFile(path, page);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_PlainWrite(benchmark::State& state) {
    std::string page = PageOfSize(std::size_t(state.range(0)));
    qf::AddDeclaration(page, "Image1");
    page.insert(qf::AreaInsertPoint(page, 1), kBlock);
    const std::string bytes = qf::EncodePageFile(page);
    const std::string path = Folder().filePath("plain.html").toStdString();
    for (auto _ : state) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
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

// Adversarial pages of about `size` bytes.
enum Shape { kAdjacentCells = 0, kUndeclaredEnds = 1, kOpenings = 2 };
constexpr const char* kShapeNames[] = {"adjacent cells", "undeclared ends", "marker openings"};

std::string AdversarialPage(std::size_t size, int shape) {
    const std::string head = "<html><head><title>Bench</title></head><body><!---End_Body---!>"
                             "<!---declare_begin---!><!---Table1---!><!---////---!>"
                             "<!---declare_end---!></body>";
    std::string page = head;
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

// Adds an image to area 1 the way the editor does (free number, declaration,
// block at the insertion point, page file written); for the page of marker
// openings, checks the page and writes it.
void BM_InsertAdversarial(benchmark::State& state) {
    const std::string base = AdversarialPage(std::size_t(state.range(0)), int(state.range(1)));
    const std::string path = Folder().filePath("adversarial.html").toStdString();
    for (auto _ : state) {
        std::string page = base;
        if (state.range(1) == kOpenings) {
            benchmark::DoNotOptimize(qf::CheckPage(page));
        }
        qf::AddComponent(page, "Image", "<img src=\"logo.gif\">", 1);
        qf::WritePageFile(path, page);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_PlainWriteAdversarial(benchmark::State& state) {
    const std::string bytes =
        qf::EncodePageFile(AdversarialPage(std::size_t(state.range(0)), int(state.range(1))));
    const std::string path = Folder().filePath("plain-adversarial.html").toStdString();
    for (auto _ : state) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void AdversarialArgs(benchmark::internal::Benchmark* bench) {
    for (int shape : {kAdjacentCells, kUndeclaredEnds, kOpenings}) {
        for (int size : {1'000'000, 5'000'000}) {
            bench->Args({size, shape});
        }
    }
}

BENCHMARK(BM_InsertComponent)->Arg(10'000)->Arg(100'000)->Arg(1'000'000);
BENCHMARK(BM_PlainWrite)->Arg(10'000)->Arg(100'000)->Arg(1'000'000);
BENCHMARK(BM_InsertAdversarial)->Apply(AdversarialArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteAdversarial)->Apply(AdversarialArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeclarationNames)->RangeMultiplier(4)->Range(16, 999)->Complexity(benchmark::oN);

// Remembers each run's time so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                nanoseconds[run.benchmark_name()] =
                    run.GetAdjustedRealTime() * (run.time_unit == benchmark::kMillisecond   ? 1e6
                                                 : run.time_unit == benchmark::kMicrosecond ? 1e3
                                                                                            : 1.0);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nInsertion against a plain write of the same bytes:\n");
    for (const char* size : {"10000", "100000", "1000000"}) {
        const double insert = reporter.nanoseconds["BM_InsertComponent/" + std::string(size)];
        const double plain = reporter.nanoseconds["BM_PlainWrite/" + std::string(size)];
        if (insert > 0 && plain > 0) {
            std::printf("  %8s bytes: insertion %.1f us, plain write %.1f us, ratio %.2f\n", size,
                        insert / 1e3, plain / 1e3, insert / plain);
        }
    }
    const double small = reporter.nanoseconds["BM_InsertComponent/10000"];
    const double large = reporter.nanoseconds["BM_InsertComponent/1000000"];
    if (small > 0) {
        std::printf("  time per insertion, 1 MB over 10 KB: %.1f (linear growth gives about 100)\n",
                    large / small);
    }
    std::printf("\nInsertion into adversarial pages against a plain write of the page:\n");
    for (int shape : {kAdjacentCells, kUndeclaredEnds, kOpenings}) {
        for (const char* size : {"1000000", "5000000"}) {
            const std::string args = std::string(size) + "/" + std::to_string(shape);
            const double insert = reporter.nanoseconds["BM_InsertAdversarial/" + args];
            const double plain = reporter.nanoseconds["BM_PlainWriteAdversarial/" + args];
            if (insert > 0 && plain > 0) {
                std::printf("  %-16s %8s bytes: insertion %.1f ms, plain write %.1f ms, ratio "
                            "%.2f\n",
                            kShapeNames[shape], size, insert / 1e6, plain / 1e6, insert / plain);
            }
        }
    }
    const double walk = reporter.nanoseconds["BM_DeclarationNames/999"];
    std::printf("DeclarationNames over 999 declarations: %.1f us\n", walk / 1e3);
    benchmark::Shutdown();
    return 0;
}
