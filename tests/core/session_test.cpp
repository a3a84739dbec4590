#include "workspace/session.h"
#include "workspace/workspace.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(Session, TheTitleNamesWhatIsOpen) {
    Workspace workspace;
    EXPECT_EQ(WindowTitle(workspace), QString("Quenfort Website Developer"));
    workspace.project_folder = "/home/u/sites/Bäckerei Ost/";
    EXPECT_EQ(WindowTitle(workspace),
              QString::fromUtf8("Bäckerei Ost – Quenfort Website Developer"));
    workspace.page_name = "index.html";
    EXPECT_EQ(WindowTitle(workspace),
              QString::fromUtf8("index.html – Bäckerei Ost – Quenfort Website Developer"));
    workspace.project_folder = "/";
    EXPECT_EQ(WindowTitle(workspace),
              QString::fromUtf8("index.html – / – Quenfort Website Developer"));
}

TEST(Session, RecentProjectsKeepTheLastEightNewestFirst) {
    std::vector<std::string> recent;
    for (int i = 1; i <= 10; ++i) {
        recent = WithRecentProject(recent, "/p" + std::to_string(i) + "/");
    }
    ASSERT_EQ(recent.size(), kRecentProjectsKept);
    EXPECT_EQ(recent.front(), "/p10/");
    EXPECT_EQ(recent.back(), "/p3/");
    // Opening one again moves it to the top instead of listing it twice.
    recent = WithRecentProject(recent, "/p5/");
    EXPECT_EQ(recent, (std::vector<std::string>{"/p5/", "/p10/", "/p9/", "/p8/", "/p7/", "/p6/",
                                                "/p4/", "/p3/"}));
    EXPECT_EQ(WithRecentProject(recent, ""), recent);
}

TEST(Session, MemorySurvivesAndAFreshOrDamagedFileGivesTheDefaults) {
    QTemporaryDir dir;
    const QString file = dir.filePath("config/quenfort/quenfort.conf");
    const SessionMemory fresh = LoadSession(file);
    EXPECT_TRUE(fresh.recent_projects.empty());
    EXPECT_TRUE(fresh.reopen_last);
    EXPECT_TRUE(fresh.show_areas);
    EXPECT_EQ(fresh.last_project, "");
    EXPECT_EQ(fresh.preview_width, 0);

    SessionMemory memory;
    memory.recent_projects = {"/a b/", "/caf\xc3\xa9/", "/x,y=z;\"q\"/"};
    memory.last_project = "/a b/";
    memory.last_page = "index page.html";
    memory.reopen_last = false;
    memory.show_areas = false;
    memory.preview_width = kPhoneWidth;
    memory.window_geometry = QByteArray("\x01\xd9\xd0\xcb\0\x03\n=", 8); // any bytes
    memory.pane_sizes = QByteArray(300, '\xff');
    SaveSession(file, memory);
    const SessionMemory read = LoadSession(file);
    EXPECT_EQ(read.recent_projects, memory.recent_projects);
    EXPECT_EQ(read.last_project, "/a b/");
    EXPECT_EQ(read.last_page, "index page.html");
    EXPECT_FALSE(read.reopen_last);
    EXPECT_FALSE(read.show_areas);
    EXPECT_EQ(read.preview_width, kPhoneWidth);
    EXPECT_EQ(read.window_geometry, memory.window_geometry);
    EXPECT_EQ(read.pane_sizes, memory.pane_sizes);
    EXPECT_TRUE(read.panel_sizes.isEmpty()); // never saved: the window's defaults

    // A hand-edited list with repeats and too many entries is cut back.
    QFile edited(file);
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
    edited.write("[General]\nrecentProjects=/1/, /2/, /1/, /3/, /4/, /5/, /6/, /7/, /8/, /9/\n"
                 "showAreas=maybe\nreopenLastProject=false\npreviewWidth=500\n");
    edited.close();
    const SessionMemory cut = LoadSession(file);
    EXPECT_EQ(cut.recent_projects,
              (std::vector<std::string>{"/1/", "/2/", "/3/", "/4/", "/5/", "/6/", "/7/", "/8/"}));
    EXPECT_TRUE(cut.show_areas); // unreadable: the default
    EXPECT_FALSE(cut.reopen_last);
    EXPECT_EQ(cut.preview_width, 0); // not a width the preview offers
}

} // namespace
} // namespace qf
