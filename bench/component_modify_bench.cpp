// Modifying one component of a 10 MB page (its values read back from the
// page, one field changed, the body built anew in place and the page file
// written) beside an insertion into the same page, each as the command line
// does it: the page opened, the command run, the file written and synced.
// Each run times both one after the other on the same disk; the counters are
// medians in milliseconds and their ratio (goal: modify at most 1.5 times the
// insertion).

#include "components/insertion.h"
#include "document/page_file.h"
#include "workspace/component_values.h"
#include "workspace/workspace.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <vector>

namespace {

// About `size` bytes: one area of text components, one text link among them.
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

using bench::Median;
using bench::PutBack;
using bench::SecondsSince;

void BM_ModifyAgainstInsert(benchmark::State& state) {
    QTemporaryDir dir(QDir::tempPath() + "/quenfort-bench-XXXXXX");
    const std::string path = dir.filePath("page.html").toStdString();
    {
        qf::WritePageFile(path, PageOfSize(std::size_t(state.range(0))));
        qf::Workspace workspace;
        qf::OpenPage(workspace, path);
        workspace.area_list.text = "Area1";
        qf::InsertComponent(workspace, "Text_Link", {{"text", "Home"}, {"href", "index.html"}});
    }
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<double> insert;
    std::vector<double> modify;
    int round = 0;
    for (auto _ : state) {
        PutBack(path, bytes);
        auto start = std::chrono::steady_clock::now();
        {
            qf::Workspace workspace;
            workspace.hold_page_lock = true;
            qf::OpenPage(workspace, path);
            workspace.area_list.text = "Area1";
            benchmark::DoNotOptimize(qf::InsertComponent(workspace, "Image", {{"alt", "Logo"}}));
        }
        insert.push_back(SecondsSince(start));
        PutBack(path, bytes);
        start = std::chrono::steady_clock::now();
        {
            qf::Workspace workspace;
            workspace.hold_page_lock = true;
            qf::OpenPage(workspace, path);
            workspace.component_list.text = "Text Link1";
            qf::ModifyComponent(workspace, "Text Link1",
                                {{"color", round++ % 2 ? "#FF0000" : "#00FF00"}});
        }
        modify.push_back(SecondsSince(start));
        state.SetIterationTime(modify.back());
    }
    state.counters["insert_ms"] = Median(insert) * 1e3;
    state.counters["modify_ms"] = Median(modify) * 1e3;
    state.counters["ratio"] = Median(modify) / Median(insert);
}

} // namespace

BENCHMARK(BM_ModifyAgainstInsert)
    ->Arg(10 << 20)
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
