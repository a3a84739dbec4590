// One component insertion (declaration, block at the area insertion point,
// page file written) against writing the same bytes with a plain ofstream,
// and the declaration walk over a full block.
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

BENCHMARK(BM_InsertComponent)->Arg(10'000)->Arg(100'000)->Arg(1'000'000);
BENCHMARK(BM_PlainWrite)->Arg(10'000)->Arg(100'000)->Arg(1'000'000);
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
    const double walk = reporter.nanoseconds["BM_DeclarationNames/999"];
    std::printf("DeclarationNames over 999 declarations: %.1f us\n", walk / 1e3);
    benchmark::Shutdown();
    return 0;
}
