#pragma once

#include "document/selection_lists.h"
#include "workspace/page_guard.h"
#include "workspace/page_history.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// Header, background, border and name entered while a page is being created.
struct PendingPageProperties {
    std::string header;
    std::string background;
    int border = 0;
    std::string name; // as typed; the page file is NewPageFileName(name)
};

// What an editor run knows of one page it has opened: the file as last read
// or written, and the page's undo and redo steps. Kept per page while the run
// lasts, so switching pages and back keeps the history; a page whose text on
// disk is not the one the run last knew starts a new history.
struct PageMemory {
    PageFileRecord disk;
    PageHistory history;
    // What `check` finds on the text last committed (by its hash), so a
    // commit checks only the new text.
    std::size_t checked_hash = 0;
    bool checked = false;
    std::vector<std::string> findings;
};

// The answer to "NAME was changed by another program. ..." before a write.
enum class OutsideChangeAnswer { Reload, Overwrite, Cancel };

// The one workspace state of an editor run: what is open and what the two
// selection lists hold. The page text is the master copy of the open page;
// every change rewrites the page file from it.
struct Workspace {
    std::string app_folder;     // ends in "/"
    std::string project_folder; // ends in "/"; empty while no project is open
    std::string page_name;      // "index.html"; empty while no page is open
    std::string page_path;      // the open page's file (project folder + page name,
                                // or the path chosen in the open-file dialog)
    std::string page_text;      // the page document, without line breaks
    std::string page_header;    // the text between <title> and </title> when opened
    std::int64_t page_file_size = 0;
    SelectionList area_list{{}, std::string(kSelectAreaText)};
    SelectionList component_list{{}, std::string(kSelectComponentText)};
    PendingPageProperties pending;
    bool palette_enabled = false; // enabled by the first page opened or created

    // Every page opened in this run, by its file's path.
    std::map<std::string, PageMemory> pages;
    // Asked before a write when the open page's file was changed by another
    // program; without it such a write is refused.
    std::function<OutsideChangeAnswer(const std::string& page_name)> ask_outside_change;
    // Told each time the open page's file has been written or read, with
    // `page_file_size` already its size: every command, undo and redo, and
    // every opening or reloading, so a window can show the size at once.
    std::function<void()> page_file_changed;
    // The command line holds the page's lock from OpenPage on, so its read,
    // change and write are one; the editor takes the lock for each write.
    bool hold_page_lock = false;
    // The editor keeps each change as an undo step; the command line, whose
    // run ends with its one change, keeps none.
    bool keep_history = true;
    std::shared_ptr<PageLock> page_lock;
    int lock_wait_ms = 5000;
    // While a change to several pages is written, the number that ties its
    // steps together (see PageHistory); 0 otherwise. `last_group` is the
    // number the last such change took.
    std::uint64_t step_group = 0;
    std::uint64_t last_group = 0;
    // What else such a change changed (a shared part's file), put back
    // (true) or done again (false) when its step is undone or redone.
    std::map<std::uint64_t, std::function<void(bool undone)>> after_group_step;

    bool HasProject() const { return !project_folder.empty(); }
    bool HasOpenPage() const { return !page_name.empty(); }
};

inline constexpr std::string_view kNeedProjectMessage = "Open or Create a new project first";
inline constexpr std::string_view kNeedPageMessage = "A page must be open!";
inline constexpr std::string_view kNeedAreaMessage = "Your Must Select an Area!";

// Throws CommandError "Open or Create a new project first" / "A page must be open!".
void RequireProject(const Workspace& workspace);
void RequireOpenPage(const Workspace& workspace);

// The page size label: the length in whole 128-byte blocks, times 128, in
// kilobytes of 1000 bytes, without trailing zeros: 2000 bytes give "1.92Kb".
std::string SizeText(std::int64_t bytes);

// The text between the first "<title>" and the first "</title>"; empty when
// either is missing.
std::string PageHeader(std::string_view page);

// "NAME was changed by another program. Reload it (your last change is not
// applied), or overwrite it?"
std::string OutsideChangeQuestion(std::string_view page_name);

// Every write of the open page's file goes this way. Under the page's lock
// (PageLock; "NAME is being changed by another program" when another
// process keeps it; a lock that cannot be made refuses the write with the
// reason), the file on disk is read and compared with what the run last read
// or wrote, and again right before the new file takes its place. When
// another program changed it, nothing is written and `ask_outside_change`
// decides: Overwrite writes all the same, Reload reads the page again (a new
// history) and Cancel leaves everything; both then throw CommandCancelled.
// Without an answerer the write is refused. A page another program deleted
// is refused with "NAME was deleted by another program", never made again.
// A file in place whose folder could not be synced throws NotDurableError
// once the workspace holds the new text and its history.

// Writes the page text to the open page's file and updates the file size.
// The preview is the caller's to reload. Throws CommandError on a file error;
// the file then stays as it was. With no page open it refuses with "A page
// must be open!", so a closed or deleted page's file is never written again.
// A text changed in memory since the last write cannot be undone step by
// step: the page's history starts again.
void PageRefresh(Workspace& workspace);

// Writes `new_text` as the open page's text: the file first, and only when
// that succeeded the page text in memory, so a failure changes nothing. A
// change after which `check` (CheckPage) would find what it did not find
// before, a marker forged across the borders of texts among it, or one more
// of the fixed markers (the declaration block's, the body's end), is
// refused, naming what would be wrong and what is wrong with the page already.
// Records the change as one step of the page's history, named `step_name`
// or, when that is empty, by DescribeChange. Refuses with "A page must be
// open!" when no page is open.
void CommitPageText(Workspace& workspace, std::string new_text, std::string_view step_name = {});

// A text put into the page at `at`, a position in the text before the change.
struct TextInsertion {
    std::size_t at = 0;
    std::string text;
};

// CommitPageText for a change that only inserts (a few texts; at the same
// position the one given first comes first), made on the page
// text where it stands, so a page of megabytes is never held twice. The file
// is written from it; on any failure the insertions are taken out again and
// nothing has changed. The step is named as CommitPageText names it, from the
// declaration block, which must hold every new declaration and no other
// insertion.
void CommitInsertions(Workspace& workspace, std::vector<TextInsertion> insertions,
                      std::string_view step_name = {});

// Opens the page file at `path`: reads its text, takes its bare file name as
// the page name, reads the header and size, rebuilds both selection lists
// (components first), puts a list text that is none of the new page's entries
// back to its prompt, and enables the palette. On a read error nothing changes.
// The page keeps its history when its text is the one the run last knew.
void OpenPage(Workspace& workspace, const std::string& path);

// Writes `text` as the page file at `path`, which is not open, under the
// page's lock, and opens it from the text written (it is not read again, so
// a page written is never reported as failed). An existing file is replaced
// only with `replace`; one made meanwhile is refused all the same.
void WriteNewPage(Workspace& workspace, const std::string& path, std::string text, bool replace);

// Reads the open page again from its file, as OpenPage does.
void ReloadOpenPage(Workspace& workspace);

// Runs `change` on the page at `path`, which is not the open one, opened in
// a workspace of its own under the page's lock (its file read as it is
// now) that shares this run's memory of the page: its history goes on, and
// what `change` commits is recorded there (in the group of `workspace`'s
// `step_group`). The open page and its lists are not touched.
void ChangeOtherPage(Workspace& workspace, const std::string& path,
                     const std::function<void(Workspace&)>& change);

// Takes back (does again) the open page's last undone step: the page file is
// written (as every write, see above), then the text taken, both lists
// rebuilt and the header read again. Returns the step's name. Refuses with
// "Nothing to undo" ("Nothing to redo"); a page text that is no longer the
// one the history knows loses its history and is refused. A step of a
// change to several pages is taken back (done again) on every page of the
// run whose own next step it is; the pages where that failed are named in
// a CommandError once the others are done.
std::string UndoPageChange(Workspace& workspace);
std::string RedoPageChange(Workspace& workspace);

// The open page's history; an empty one while no page is open.
const PageHistory& OpenPageHistory(const Workspace& workspace);

// The open page's file against what the run last read or wrote.
// A file that cannot be read any more counts as changed.
enum class PageOnDisk { Unchanged, Changed, Missing };
PageOnDisk CheckOpenPageOnDisk(Workspace& workspace);

} // namespace qf
