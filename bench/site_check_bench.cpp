// Check Site beside reading the same files once: a project of 200 pages of
// 100 KB, and one page of 10 MB. Each run reads every page file (as plain
// bytes) and then checks the project, on the same warm disk cache; the
// counters are medians in milliseconds and the ratio check / read (goal: at
// most 4), by the clock and by processor time. Beside them, where the time
// of one page's check goes on the 10 MB page: the HTML5 parse alone, and the
// check's own parts.
//
// What it shows: reading a page from the cache costs well under a
// nanosecond a byte, the HTML5 parse some 60 to 80, so a check that parses
// every byte as a browser does stays some hundreds of times a read; the
// check's own parts (the places, the blocks, the markers, the walk over the
// parsed tree) are linear and a small part beside the parse.

#include "check/html_check.h"
#include "check/page_places.h"
#include "check/site_check.h"
#include "document/file_io.h"
#include "document/page_check.h"
#include "document/page_file.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <vector>

namespace {

using bench::MsSince;

// About `size` bytes of an editor-made page: doctype, language, title, one
// area holding text, pictures with their alternative text and links between
// the project's pages, in the proportions of an ordinary page.
std::string PageOfSize(std::size_t size) {
    std::string declarations = "<!---Table1---!>";
    std::string content;
    content.reserve(size + 512);
    int n = 1;
    while (content.size() < size) {
        const std::string number = std::to_string(n++);
        const std::string text = "Text" + number;
        const std::string image = "Image" + number;
        const std::string link = "Text_Link" + number;
        declarations += "<!---" + text + "---!><!---" + image + "---!><!---" + link + "---!>";
        content += "<!---Begin_" + text +
                   "---!><font face=\"Arial\" size=\"3\" color=\"#000000\">Some words of "
                   "running text in a paragraph of the page, long enough to read as one, with a "
                   "second sentence after the first so that it wraps in the area.</font><!---End_" +
                   text + "---!><br><!---Begin_" + image +
                   "---!><img src=\"images/sky.png\" width=\"8\" height=\"8\" alt=\"Sky\" "
                   "border=\"0\"><!---End_" +
                   image + "---!><!---Begin_" + link +
                   "---!><a href=\"page000.html\" title=\"Home\"><font face=\"Arial\" "
                   "size=\"2\">Home</font></a><!---End_" +
                   link + "---!><br>";
    }
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html lang=\"en\">"
           "<head><title>Bench</title></head><body><!---End_Body---!><!---declare_begin---!>" +
           declarations +
           "<!---////---!><!---declare_end---!></body><!---Begin_Table1---!><Table width=\"700\" "
           "border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><tr><td width=\"700\" "
           "valign=\"top\"><img src=\"images/sky.png\" width=\"0\" height=\"1\" hspace=\"0\">" +
           content + "</td></tr></table><!---End_Table1---!></html>";
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The processor time of this process in milliseconds: on a machine shared
// with other work it varies far less than the clock on the wall.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Project {
    QTemporaryDir dir{QDir::tempPath() + "/quenfort-bench-XXXXXX"};
    std::string folder;
    std::vector<std::string> pages;

    Project(int pages_count, std::size_t page_size) {
        folder = dir.path().toStdString() + "/";
        QDir(dir.path()).mkpath("images");
        // A tiny picture (its size is not read: no size reader is given).
        std::ofstream(folder + "images/sky.png", std::ios::binary) << std::string(64, 'p');
        const std::string page = PageOfSize(page_size);
        for (int i = 0; i < pages_count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "page%03d.html", i);
            qf::WritePageFile(folder + name, page);
            pages.emplace_back(name);
        }
    }
};

void CheckAgainstRead(benchmark::State& state, int pages_count, std::size_t page_size) {
    const Project project(pages_count, page_size);
    std::vector<double> read, check, read_cpu, check_cpu;
    std::size_t findings = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpu = CpuMs();
        std::size_t bytes = 0;
        for (const std::string& page : project.pages) {
            bytes += qf::ReadRegularFile(project.folder + page).size();
        }
        benchmark::DoNotOptimize(bytes);
        read.push_back(MsSince(start));
        read_cpu.push_back(CpuMs() - cpu);
        start = std::chrono::steady_clock::now();
        cpu = CpuMs();
        const qf::SiteCheckResult result = qf::CheckSite(project.folder);
        check.push_back(MsSince(start));
        check_cpu.push_back(CpuMs() - cpu);
        findings = result.findings.size();
    }
    state.counters["read_ms"] = Median(read);
    state.counters["check_ms"] = Median(check);
    state.counters["ratio"] = Median(check) / std::max(Median(read), 1e-6);
    state.counters["cpu_ratio"] = Median(check_cpu) / std::max(Median(read_cpu), 1e-6);
    state.counters["findings"] = double(findings);
}

void BM_Check200PagesOf100KB(benchmark::State& state) {
    CheckAgainstRead(state, 200, 100 * 1024);
}

void BM_Check10MBPage(benchmark::State& state) {
    CheckAgainstRead(state, 1, 10 * 1024 * 1024);
}

// The parts of one page's check on the 10 MB page, each alone, in processor time.
void BM_Parts10MBPage(benchmark::State& state) {
    const Project project(1, 10 * 1024 * 1024);
    const std::string path = project.folder + project.pages[0];
    std::vector<double> read, view, blocks, structure, parse, html;
    for (auto _ : state) {
        double start = CpuMs();
        std::string bytes = qf::ReadRegularFile(path);
        read.push_back(CpuMs() - start);
        start = CpuMs();
        const qf::check::PageFileView page(bytes);
        view.push_back(CpuMs() - start);
        start = CpuMs();
        const qf::check::BlockIndex index(page.text());
        blocks.push_back(CpuMs() - start);
        start = CpuMs();
        benchmark::DoNotOptimize(qf::FindPageProblems(page.text()));
        structure.push_back(CpuMs() - start);
        start = CpuMs();
        GumboOptions options = kGumboDefaultOptions;
        options.max_errors = 0;
        GumboOutput* output = gumbo_parse_with_options(&options, bytes.data(), bytes.size());
        gumbo_destroy_output(&options, output);
        parse.push_back(CpuMs() - start);
        start = CpuMs();
        qf::check::FileFacts files;
        std::vector<qf::Finding> findings;
        const qf::SiteCheckOptions check_options;
        qf::check::PageCheck check{project.folder,
                                   project.pages[0],
                                   page,
                                   index,
                                   check_options,
                                   files,
                                   findings,
                                   {},
                                   {},
                                   {},
                                   {}};
        check.form_offset = qf::check::PageCheck::kNoOffset;
        qf::check::CheckPageHtml(check);
        html.push_back(CpuMs() - start);
    }
    state.counters["read_ms"] = Median(read);
    state.counters["view_ms"] = Median(view);
    state.counters["blocks_ms"] = Median(blocks);
    state.counters["structure_ms"] = Median(structure);
    state.counters["gumbo_ms"] = Median(parse);
    state.counters["html_walk_ms"] = Median(html); // the parse included
}

} // namespace

BENCHMARK(BM_Check200PagesOf100KB)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Check10MBPage)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Parts10MBPage)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
