// Rendering a page for visitors beside reading it and parsing it once with
// libgumbo (the floor: a rendering reads every byte as a browser does), on a
// page of 10 MB; the counter "ratio" is render / (read + parse), by the
// clock (goal: at most 2). Beside it, exporting a site of 200 pages of
// 100 KB on every core against rendering the same pages one after another.

#include "document/file_io.h"
#include "document/page_file.h"
#include "render/render_page.h"
#include "render/render_site.h"

#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

namespace {

std::string PageOfSize(std::size_t size) {
    std::string declarations = "<!---Table1---!>";
    std::string content;
    content.reserve(size + 512);
    for (int n = 1; content.size() < size; ++n) {
        const std::string text = "Text" + std::to_string(n);
        const std::string image = "Image" + std::to_string(n);
        declarations += "<!---" + text + "---!><!---" + image + "---!>";
        content += "<!---Begin_" + text +
                   "---!><div align=\"\"><font face=\"Arial\" size=\"3\" color=\"#000000\">Some "
                   "words of running text in a paragraph of the page, long enough to read as "
                   "one.</font></div><!---End_" +
                   text + "---!><!---Begin_" + image +
                   "---!><img src=\"images/sky.png\" width=\"8\" height=\"8\" align=\"left\" "
                   "alt=\"Sky\" border=\"0\" bordercolor=\"\"><!---End_" +
                   image + "---!>";
    }
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html><head><title>"
           "Bench</title></head><body><!---End_Body---!><!---declare_begin---!>" +
           declarations +
           "<!---////---!><!---declare_end---!></body><!---Begin_Table1---!><Table "
           "align=\"Center\" valign=\"Top\" border=\"1\" bordercolor=\"#ffffff\" width=760 "
           "cellpadding=\"8\" cellspacing=\"0\"><td border=\"1\" bordercolor=\"#000000\" "
           "bgcolor=\"#ffffff\" width=760><img src=\"\" height=\"90\" width=\"0\" align=\"left\" "
           "hspace=\"0\">" +
           content + "</td></table><!---End_Table1---!></html>";
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void RenderTenMegabytes(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("big.html").toStdString();
    qf::WritePageFile(path, PageOfSize(std::size_t(10) << 20));
    double floor = 0;
    double render = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const std::string text = qf::ReadPageFile(path);
        GumboOutput* output = gumbo_parse(text.c_str());
        gumbo_destroy_output(&kGumboDefaultOptions, output);
        floor += Seconds(start);
        start = std::chrono::steady_clock::now();
        const std::string page = qf::render::RenderPage(qf::ReadPageFile(path));
        benchmark::DoNotOptimize(page.data());
        render += Seconds(start);
    }
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
    state.counters["render_ms"] = render * 1000 / double(state.iterations());
    state.counters["ratio"] = render / floor;
}
BENCHMARK(RenderTenMegabytes)->Unit(benchmark::kMillisecond)->Iterations(3);

void ExportTwoHundredPages(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string project = dir.filePath("site").toStdString() + "/";
    QDir().mkpath(QString::fromStdString(project));
    const std::string page = PageOfSize(100 << 10);
    for (int i = 0; i < 200; ++i) {
        qf::WritePageFile(project + "page" + std::to_string(i) + ".html", page);
    }
    double one_core = 0;
    double every_core = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 200; ++i) {
            benchmark::DoNotOptimize(
                qf::render::RenderPage(
                    qf::ReadPageFile(project + "page" + std::to_string(i) + ".html"))
                    .size());
        }
        one_core += Seconds(start);
        start = std::chrono::steady_clock::now();
        qf::render::ExportSite(project, dir.filePath("out").toStdString());
        every_core += Seconds(start);
    }
    state.counters["cores"] = double(std::thread::hardware_concurrency());
    state.counters["one_core_ms"] = one_core * 1000 / double(state.iterations());
    state.counters["export_ms"] = every_core * 1000 / double(state.iterations());
    state.counters["ratio"] = every_core / one_core;
}
BENCHMARK(ExportTwoHundredPages)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
