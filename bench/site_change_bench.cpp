// Changes to every page of a site beside the floor: writing those pages once
// with a plain synced write. A site of 200 pages of about 100 KB, each
// showing the shared part "Footer" and linking to target.html:
//   Floor                 each page's bytes written back in place and synced
//   ModifySharedPart      Modify on the footer, All Pages (the part's file
//                         and every page, each under its lock, as one undo step)
//   RenamePage            target.html renamed and back: every link follows
// The goal is at most 1.5 times the floor for both.
//
//   bench_site_change [--benchmark_filter=...]

#include "components/component_fields.h"
#include "document/page_file.h"
#include "site/page_rename.h"
#include "site/shared_parts.h"
#include "workspace/workspace.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

constexpr int kPages = 200;
constexpr std::size_t kPageBytes = 100 * 1000;

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

std::string Project() {
    return Folder().path().toStdString() + "/";
}

std::string PageName(int index) {
    return "page" + std::to_string(index) + ".html";
}

// A page of about 100 KB: a long text, the footer's copy, a link.
std::string SitePage(const std::string& footer) {
    std::string filler;
    while (filler.size() < kPageBytes) {
        filler += "Fresh bread every morning from our wood-fired oven. ";
    }
    const std::string area = "<!---Begin_Table1---!><Table width=400><td width=400>"
                             "<!---Begin_Text1---!>" +
                             qf::BuildComponentBody("Text", {{"text", filler}}) +
                             "<!---End_Text1---!>" + "<!--shared Footer--><!---Begin_Text2---!>" +
                             footer +
                             "<!---End_Text2---!><!--/shared Footer-->"
                             "<!---Begin_Text_Link1---!><a href=\"target.html\">Opening hours</a>"
                             "<!---End_Text_Link1---!></td></table><!---End_Table1---!>";
    return "<html><head><title>T</title></head><body><!---End_Body---!><!---declare_begin---!>"
           "<!---Table1---!><!---Text1---!><!---Text2---!><!---Text_Link1---!><!---////---!>"
           "<!---declare_end---!></body>" +
           area + "</html>";
}

void MakeSite() {
    static bool made = false;
    if (made) {
        return;
    }
    const std::string footer = qf::BuildComponentBody("Text", {{"text", "(c) The Bakery"}});
    for (int i = 0; i < kPages; ++i) {
        qf::WritePageFile(Project() + PageName(i), SitePage(footer));
    }
    qf::WritePageFile(Project() + "target.html", SitePage(footer));
    qf::WriteSharedPart(Project(), {"Footer", "Text", footer});
    made = true;
}

void Floor(benchmark::State& state) {
    MakeSite();
    std::vector<std::string> bytes;
    for (int i = 0; i < kPages; ++i) {
        bytes.push_back(bench::PlainRead(Project() + PageName(i)));
    }
    for (auto _ : state) {
        for (int i = 0; i < kPages; ++i) {
            bench::PutBack(Project() + PageName(i), bytes[std::size_t(i)]);
        }
    }
}

void ModifySharedPart(benchmark::State& state) {
    MakeSite();
    qf::Workspace workspace;
    workspace.project_folder = Project();
    qf::OpenPage(workspace, Project() + PageName(0));
    int round = 0;
    for (auto _ : state) {
        const qf::SiteChangeReport report = qf::ModifySharedComponent(
            workspace, "Text String2", {{"text", "(c) The Bakery " + std::to_string(++round)}},
            true);
        if (report.written.size() != std::size_t(kPages + 1)) {
            state.SkipWithError("not every page was written");
            break;
        }
    }
}

void RenamePage(benchmark::State& state) {
    MakeSite();
    qf::Workspace workspace;
    workspace.project_folder = Project();
    qf::OpenPage(workspace, Project() + PageName(0));
    bool there = true;
    for (auto _ : state) {
        const qf::PageRenamePlan plan = qf::PlanPageRename(
            Project(), there ? "target.html" : "hours.html", there ? "hours" : "target");
        const qf::PageRenameReport report = qf::RenamePage(workspace, plan);
        if (!report.failed.empty()) {
            state.SkipWithError("a page was not written");
            break;
        }
        there = !there;
    }
}

} // namespace

BENCHMARK(Floor)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(ModifySharedPart)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(RenamePage)->Unit(benchmark::kMillisecond)->Iterations(4);

BENCHMARK_MAIN();
