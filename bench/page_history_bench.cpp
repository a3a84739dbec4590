// The undo history of a page of about 1 MB: the memory that 200 insertions
// hold, and one undo and one redo (the page file written, the lists rebuilt,
// as an edit does) against a plain write of the same page.
#include "components/insertion.h"
#include "document/page_file.h"
#include "workspace/page_history.h"
#include "workspace/workspace.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

// About `size` bytes: three areas, the last holding numbered image components.
std::string MegabytePage(std::size_t size) {
    std::string declarations = "<!---Table1---!><!---Table2---!><!---Table3---!>";
    std::string blocks;
    for (int n = 1; blocks.size() < size && n <= 999; ++n) {
        const std::string name = "Image" + std::to_string(n);
        declarations += "<!---" + name + "---!>";
        blocks += "<!---Begin_" + name + "---!>";
        while (blocks.size() < size * std::size_t(n) / 999) {
            blocks += "<img src=\"pictures/photo.jpg\" width=\"120\" height=\"80\" alt=\"A photo "
                      "of the garden in spring\" border=\"0\"> ";
        }
        blocks += "<!---End_" + name + "---!>";
    }
    std::string page = "<html><head><title>History</title></head><body><!---End_Body---!>"
                       "<!---declare_begin---!>" +
                       declarations + "<!---////---!><!---declare_end---!>";
    for (int area = 1; area <= 3; ++area) {
        const std::string n = std::to_string(area);
        page += "<!---Begin_Table" + n + "---!><Table width=600><td width=600>" +
                (area == 3 ? blocks : std::string()) + "</td></table><!---End_Table" + n + "---!>";
    }
    return page + "</body></html>";
}

const std::string kLine = "<hr size=\"2\" width=\"100%\" color=\"#000000\">";

void BM_HistoryOf200Insertions(benchmark::State& state) {
    const std::string base = MegabytePage(1u << 20);
    std::size_t bytes = 0;
    for (auto _ : state) {
        qf::PageHistory history;
        std::string text = base;
        for (int i = 0; i < 200; ++i) {
            std::string next = text;
            qf::AddComponent(next, "Hr", kLine, 1 + i % 3);
            history.Record(text, next, qf::DescribeChange(text, next));
            text = std::move(next);
        }
        bytes = history.MemoryBytes();
    }
    state.counters["history_MB"] = double(bytes) / 1e6;
    state.counters["page_MB"] = double(base.size()) / 1e6;
}

// Each iteration: an undo and a redo of one insertion through the workspace,
// and a plain write of the page; the counters give their times and ratios.
void BM_UndoRedoAgainstPlainWrite(benchmark::State& state) {
    const std::string path = Folder().filePath("history.html").toStdString();
    const std::string plain_path = Folder().filePath("plain.html").toStdString();
    qf::WritePageFile(path, MegabytePage(1u << 20));
    qf::Workspace workspace;
    qf::OpenPage(workspace, path);
    workspace.area_list.text = "Area2";
    qf::CommitComponent(workspace, "Hr", kLine);
    using Clock = std::chrono::steady_clock;
    Clock::duration undo{}, redo{}, write{};
    for (auto _ : state) {
        const auto start = Clock::now();
        qf::UndoPageChange(workspace);
        const auto undone = Clock::now();
        qf::RedoPageChange(workspace);
        const auto redone = Clock::now();
        qf::WritePageFile(plain_path, workspace.page_text);
        const auto written = Clock::now();
        undo += undone - start;
        redo += redone - undone;
        write += written - redone;
    }
    const double n = double(state.iterations());
    const auto ms = [n](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / n;
    };
    state.counters["undo_ms"] = ms(undo);
    state.counters["redo_ms"] = ms(redo);
    state.counters["write_ms"] = ms(write);
    state.counters["undo_ratio"] = ms(undo) / ms(write);
    state.counters["redo_ratio"] = ms(redo) / ms(write);
}

BENCHMARK(BM_HistoryOf200Insertions)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UndoRedoAgainstPlainWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
