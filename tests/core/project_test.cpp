#include "error.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

std::string Folder(const QTemporaryDir& dir) {
    return dir.path().toStdString() + "/";
}

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(Project, FolderPathsEndInOneSlash) {
    EXPECT_EQ(FolderPath("/home/u/site"), "/home/u/site/");
    EXPECT_EQ(FolderPath("/home/u/site/"), "/home/u/site/");
    EXPECT_EQ(FolderPath("/"), "/");
    EXPECT_EQ(FolderPath(""), "");
    EXPECT_EQ(NewProjectFolder("/srv/sites/", "shop"), "/srv/sites/shop/");
    // A typed location without the slash is joined with one, not glued on.
    EXPECT_EQ(NewProjectFolder("/srv/sites", "shop"), "/srv/sites/shop/");
    EXPECT_EQ(NewProjectFolder("/", "shop"), "/shop/");
    for (const char* name : {".", "..", "a/b"}) {
        try {
            NewProjectFolder("/srv", name);
            ADD_FAILURE() << name;
        } catch (const CommandError& error) {
            EXPECT_EQ(error.what(), "The Project Name \"" + std::string(name) +
                                        "\" is not a folder name; it may not be \".\" or \"..\" "
                                        "nor contain \"/\".");
        }
    }
}

TEST(Project, CreateMakesTheFolderAndClosesThePageOfTheProjectBefore) {
    QTemporaryDir dir;
    Workspace workspace;
    ASSERT_TRUE(QDir(dir.path()).mkdir("old"));
    workspace.project_folder = Folder(dir) + "old/";
    workspace.page_name = "old.html";
    workspace.page_path = Folder(dir) + "old/old.html";
    workspace.page_text = "old text";
    workspace.area_list.entries = {"Area1"};
    workspace.area_list.text = "Area1";
    workspace.component_list.entries = {"Image1"};
    const CreatedProject created = CreateProject(workspace, Folder(dir), "shop");
    const std::string folder = created.folder;
    EXPECT_EQ(folder, Folder(dir) + "shop/");
    EXPECT_FALSE(created.existed);
    EXPECT_EQ(workspace.project_folder, folder);
    EXPECT_TRUE(QDir(dir.filePath("shop")).exists());
    // Nothing of the old project's page is left to write into.
    EXPECT_FALSE(workspace.HasOpenPage());
    EXPECT_EQ(workspace.page_path, "");
    EXPECT_EQ(workspace.page_text, "");
    EXPECT_TRUE(workspace.area_list.entries.empty());
    EXPECT_EQ(workspace.area_list.text, "Select Area");
    EXPECT_TRUE(workspace.component_list.entries.empty());

    // Opening another project does the same; opening the same one again
    // (however its path is written) keeps its page open.
    workspace.page_name = "index.html";
    workspace.page_path = folder + "index.html";
    OpenProject(workspace, Folder(dir) + "old/../shop");
    EXPECT_EQ(workspace.page_name, "index.html");
    OpenProject(workspace, Folder(dir) + "old");
    EXPECT_FALSE(workspace.HasOpenPage());

    // A project folder that exists already is opened as the project.
    Touch(dir.filePath("shop/index.html"));
    Workspace again;
    const CreatedProject opened = CreateProject(again, dir.path().toStdString(), "shop");
    EXPECT_EQ(opened.folder, folder);
    EXPECT_TRUE(opened.existed); // said to be opened, not created
    EXPECT_TRUE(QFile::exists(dir.filePath("shop/index.html")));
}

TEST(Project, CreateRefusesWhatWouldLandSomewhereUnexpected) {
    QTemporaryDir dir;
    Workspace workspace;
    workspace.project_folder = "/kept/";
    auto refused = [&](std::string_view location, std::string_view name) {
        try {
            CreateProject(workspace, location, name);
        } catch (const CommandError& error) {
            return std::string(error.what());
        }
        return std::string("(created)");
    };
    EXPECT_EQ(refused(Folder(dir), ""), "Please enter a Project Name.");
    EXPECT_EQ(refused("", "shop"), "Please choose where to save the project (Save Project in).");
    // A relative location would land in whatever folder the program runs in.
    EXPECT_EQ(refused("sites", "shop"),
              "Save Project in needs a full folder path starting with \"/\", not \"sites\".");
    EXPECT_FALSE(QDir("sites").exists());
    EXPECT_NE(refused(Folder(dir), "a/b").find("not a folder name"), std::string::npos);
    EXPECT_NE(refused(Folder(dir), "..").find("not a folder name"), std::string::npos);
    // One level only: the location must exist.
    EXPECT_EQ(refused(Folder(dir) + "missing/", "shop"),
              "Cannot open folder \"" + Folder(dir) + "missing/\". No such file or directory");
    // A file in the way of the project folder.
    Touch(dir.filePath("taken"));
    EXPECT_EQ(refused(Folder(dir), "taken"),
              "Cannot open folder \"" + Folder(dir) + "taken/\". Not a directory");
    EXPECT_EQ(workspace.project_folder, "/kept/");
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
}

TEST(Project, OpenTakesAnExistingFolderOnly) {
    QTemporaryDir dir;
    Workspace workspace;
    EXPECT_EQ(OpenProject(workspace, dir.path().toStdString()), Folder(dir));
    EXPECT_EQ(workspace.project_folder, Folder(dir));
    EXPECT_EQ(OpenProject(workspace, Folder(dir)), Folder(dir)); // no doubled slash
    EXPECT_THROW(OpenProject(workspace, Folder(dir) + "nowhere"), CommandError);
    EXPECT_THROW(OpenProject(workspace, ""), CommandError);
    EXPECT_EQ(workspace.project_folder, Folder(dir));
}

TEST(Project, PagesAreTheHtmlAndPhpFilesSortedWithoutCase) {
    QTemporaryDir dir;
    for (const char* name : {"b.html", "A.php", "c.HTML", "notes.txt", "page.htm", "Z.html"}) {
        Touch(dir.filePath(name));
    }
    QDir(dir.path()).mkdir("folder.html");
    EXPECT_EQ(ProjectPages(Folder(dir)),
              (std::vector<std::string>{"A.php", "b.html", "c.HTML", "Z.html"}));
    EXPECT_THROW(ProjectPages(Folder(dir) + "gone/"), CommandError);
}

TEST(Project, NewPagesAreOfferedAsTheHomePageThenUnderTheirHeader) {
    QTemporaryDir dir;
    EXPECT_EQ(OfferedFirstPageName(Folder(dir)), "index");
    Touch(dir.filePath("Home.html"));
    EXPECT_EQ(OfferedFirstPageName(Folder(dir)), "");
    EXPECT_EQ(ProposedPageName("Opening Hours"), "opening-hours");
    EXPECT_EQ(ProposedPageName("  Baker's Café: Cakes & Bread!  "), "bakers-café-cakes-bread");
    EXPECT_EQ(ProposedPageName("<>&"), "");
    EXPECT_EQ(ProposedPageName(std::string(200, 'a') + " b").size(), 80u);
    EXPECT_EQ(ProposedPageName(std::string(79, 'a') + " b"), std::string(79, 'a'));
}

TEST(Project, LinksToPagesAreEscapedAndReadBack) {
    EXPECT_EQ(PageLink("Opening Hours.html"), "Opening%20Hours.html");
    EXPECT_EQ(PageLink("a#b?c%.html"), "a%23b%3Fc%25.html");
    EXPECT_EQ(PageLink("café.html"), "caf%C3%A9.html");
    for (const char* page : {"Opening Hours.html", "a#b?c%.html", "café.html", "plain.html"}) {
        EXPECT_EQ(PageOfLink(PageLink(page)), page);
    }
}

} // namespace
} // namespace qf
