#include "workspace/workspace.h"

#include "document/file_io.h"
#include "document/markers.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "error.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>

namespace qf {

void RequireProject(const Workspace& workspace) {
    if (!workspace.HasProject()) {
        throw CommandError(std::string(kNeedProjectMessage));
    }
}

void RequireOpenPage(const Workspace& workspace) {
    if (!workspace.HasOpenPage()) {
        throw CommandError(std::string(kNeedPageMessage));
    }
}

std::string SizeText(std::int64_t bytes) {
    if (bytes < 0) {
        bytes = 0;
    }
    const std::int64_t rounded = bytes / 128 * 128;
    std::string text = std::to_string(rounded / 1000);
    std::string fraction = std::to_string(1000 + rounded % 1000).substr(1);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += "." + fraction;
    }
    return text + "Kb";
}

std::string PageHeader(std::string_view page) {
    const std::size_t open = page.find("<title>");
    const std::size_t close = page.find("</title>");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open + 7) {
        return {};
    }
    return std::string(page.substr(open + 7, close - open - 7));
}

std::string OutsideChangeQuestion(std::string_view page_name) {
    return std::string(page_name) +
           " was changed by another program. Reload it (your last change is not applied), or "
           "overwrite it?";
}

namespace {

const PageHistory kNoHistory;

PageMemory& OpenPageMemory(Workspace& workspace) {
    return workspace.pages[workspace.page_path];
}

// The lock of the page at `path`: the one the workspace holds, or a new one.
std::shared_ptr<PageLock> LockPage(Workspace& workspace, const std::string& path) {
    if (workspace.page_lock && workspace.page_lock->page_path() == path) {
        return workspace.page_lock;
    }
    return std::make_shared<PageLock>(path, workspace.lock_wait_ms);
}

// Writes `text` to the open page's file when the file is still what the run
// last knew, or when the user says so (see the header). `reloaded`, when
// given, tells whether the page was read again (the user's Reload). Returns
// what went wrong after the file was in place (its folder not synced), for
// the caller to throw once it took the new text; empty when all went well.
// `text_hash` is PageTextHash(text) when the caller has it already.
std::string WriteCheckedPage(Workspace& workspace, std::string_view text, bool* reloaded = nullptr,
                             std::optional<std::size_t> text_hash = std::nullopt) {
    const std::string path = workspace.page_path;
    PageMemory& memory = OpenPageMemory(workspace);
    bool overwrite = false;
    for (;;) {
        {
            const std::shared_ptr<PageLock> lock = LockPage(workspace, path);
            FileState seen;
            const bool matches = FileMatchesRecord(memory.disk, path, &seen);
            if (memory.disk.Known() && !seen.exists) {
                throw CommandError(DeletedMessage(workspace.page_name));
            }
            if (overwrite || matches) {
                PageWrite written;
                std::string late;
                bool changed_meanwhile = false;
                try {
                    WritePageFile(path, text, &written, &seen);
                } catch (const OutsideChangeError& error) {
                    if (error.deleted()) {
                        throw;
                    }
                    changed_meanwhile = true;
                } catch (const NotDurableError& error) {
                    late = error.what();
                }
                if (!changed_meanwhile) {
                    memory.disk = RecordOf(written.state, written.hash,
                                           text_hash ? *text_hash : PageTextHash(text));
                    workspace.page_file_size = std::max<std::int64_t>(written.state.size, 0);
                    if (workspace.page_file_changed) {
                        workspace.page_file_changed();
                    }
                    return late;
                }
                // Changed between the look and the rename: asked about as any change.
                overwrite = false;
                memory.disk.file_hash = ~memory.disk.file_hash;
                memory.disk.text_hash = ~memory.disk.text_hash;
            }
        }
        if (!workspace.ask_outside_change) {
            throw CommandError(ChangedMessage(workspace.page_name));
        }
        switch (workspace.ask_outside_change(workspace.page_name)) {
        case OutsideChangeAnswer::Overwrite:
            overwrite = true;
            break;
        case OutsideChangeAnswer::Reload:
            if (reloaded != nullptr) {
                *reloaded = true;
            }
            ReloadOpenPage(workspace);
            throw CommandCancelled();
        case OutsideChangeAnswer::Cancel:
            throw CommandCancelled();
        }
    }
}

// What happened after a page file was in place, thrown once the workspace
// holds the text written.
void ThrowLate(const std::string& late) {
    if (!late.empty()) {
        throw NotDurableError(late);
    }
}

// Takes the text just written and read as the open page at `path`, with
// `lock` held from now on when the workspace holds its page's lock.
void AdoptPage(Workspace& workspace, const std::string& path, std::string text,
               const PageFileRecord& record, std::shared_ptr<PageLock> lock) {
    PageMemory& memory = workspace.pages[path];
    if (!memory.disk.Known() || memory.disk.text_hash != record.text_hash) {
        memory.history.Clear();
    }
    memory.disk = record;
    workspace.page_lock = std::move(lock);
    workspace.page_text = std::move(text);
    workspace.page_path = path;
    workspace.page_name = BaseName(path);
    workspace.page_header = PageHeader(workspace.page_text);
    workspace.page_file_size = std::max<std::int64_t>(record.size, 0);
    RebuildSelectionLists(workspace.area_list, workspace.component_list, workspace.page_text);
    ForgetStaleText(workspace.component_list, kSelectComponentText);
    ForgetStaleText(workspace.area_list, kSelectAreaText);
    workspace.palette_enabled = true;
    if (workspace.page_file_changed) {
        workspace.page_file_changed();
    }
}

// The fixed markers, each of which a command may remove but never add.
// One pass over the marker openings; each fixed marker begins with one.
std::vector<std::size_t> FixedMarkerCounts(std::string_view text) {
    static constexpr std::string_view kFixed[] = {kDeclareBegin, kDeclarationSeparator, kDeclareEnd,
                                                  kBodyMarker};
    std::vector<std::size_t> counts(std::size(kFixed), 0);
    for (std::size_t open = FindText(text, kMarkerOpen); open != kNotFound;) {
        std::size_t next = open + 1;
        for (std::size_t i = 0; i < std::size(kFixed); ++i) {
            if (text.substr(open, kFixed[i].size()) == kFixed[i]) {
                ++counts[i];
                next = open + kFixed[i].size(); // occurrences never overlap
                break;
            }
        }
        open = FindText(text, kMarkerOpen, next);
    }
    return counts;
}

// What `check` finds on the page text before a change, remembered for it.
// The findings are only worked out when they matter: a change after which
// the page is sound needs no comparison with what it was before.
struct Soundness {
    std::size_t hash = 0;
    bool findings_known = false;
    std::vector<std::string> findings;
    std::vector<std::size_t> fixed;
};

Soundness SoundnessOf(const PageMemory& memory, std::string_view text) {
    Soundness soundness;
    if (memory.checked) {
        soundness.hash = PageTextHash(text);
        if (memory.checked_hash == soundness.hash) {
            soundness.findings = memory.findings;
            soundness.findings_known = true;
        }
    }
    soundness.fixed = FixedMarkerCounts(text);
    return soundness;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += (joined.empty() ? "" : "; ") + line;
    }
    return joined;
}

// Refuses a new text that is less sound than the old one; returns what is
// found on it, to be remembered once it is written. `old_findings` works out
// what `before` does not know yet, only when it is needed.
Soundness RefuseUnsoundChange(const Workspace& workspace, Soundness before,
                              std::string_view new_text,
                              const std::function<std::vector<std::string>()>& old_findings) {
    Soundness after;
    after.findings = CheckPage(new_text);
    after.findings_known = true;
    after.fixed = FixedMarkerCounts(new_text);
    bool more_fixed = false;
    for (std::size_t i = 0; i < after.fixed.size(); ++i) {
        more_fixed = more_fixed || after.fixed[i] > before.fixed[i];
    }
    if (!before.findings_known && (!after.findings.empty() || more_fixed)) {
        before.findings = old_findings();
        before.findings_known = true;
    }
    std::vector<std::string> old_sorted = before.findings;
    std::vector<std::string> new_sorted = after.findings;
    std::sort(old_sorted.begin(), old_sorted.end());
    std::sort(new_sorted.begin(), new_sorted.end());
    std::vector<std::string> added;
    std::set_difference(new_sorted.begin(), new_sorted.end(), old_sorted.begin(), old_sorted.end(),
                        std::back_inserter(added));
    for (std::size_t i = 0; i < after.fixed.size(); ++i) {
        if (after.fixed[i] > before.fixed[i]) {
            added.push_back("one more marker of the page's own structure");
        }
    }
    if (!added.empty()) {
        std::string message =
            "This change would leave " + workspace.page_name + " unsound (" + Joined(added) + ")";
        if (!before.findings.empty()) {
            message += "; what is wrong with the page already: " + Joined(before.findings);
        }
        throw CommandError(message + "; nothing was changed");
    }
    after.hash = PageTextHash(new_text);
    return after;
}

void RememberSoundness(PageMemory& memory, Soundness soundness) {
    memory.checked = true;
    memory.checked_hash = soundness.hash;
    memory.findings = std::move(soundness.findings);
}

void TakeText(Workspace& workspace, std::string text) {
    workspace.page_text = std::move(text);
    workspace.page_header = PageHeader(workspace.page_text);
    RebuildSelectionLists(workspace.area_list, workspace.component_list, workspace.page_text);
}

// One step of the open page's history, back or forward.
std::string StepOnePage(Workspace& workspace, bool undo) {
    RequireOpenPage(workspace);
    PageHistory& history = OpenPageMemory(workspace).history;
    if (undo ? !history.CanUndo() : !history.CanRedo()) {
        throw CommandError(undo ? "Nothing to undo" : "Nothing to redo");
    }
    std::optional<std::string> text =
        undo ? history.UndoText(workspace.page_text) : history.RedoText(workspace.page_text);
    if (!text) {
        history.Clear();
        throw CommandError("The page was changed without its history; nothing can be " +
                           std::string(undo ? "undone" : "redone"));
    }
    std::string name(undo ? history.UndoName() : history.RedoName());
    // A step of a change to several pages that left this one as it was
    // writes nothing here.
    const std::string late =
        *text == workspace.page_text ? std::string() : WriteCheckedPage(workspace, *text);
    if (undo) {
        history.StepBack();
    } else {
        history.StepForward();
    }
    TakeText(workspace, std::move(*text));
    ThrowLate(late);
    return name;
}

std::uint64_t NextGroup(const PageHistory& history, bool undo) {
    return undo ? history.UndoGroup() : history.RedoGroup();
}

std::string StepPageHistory(Workspace& workspace, bool undo) {
    RequireOpenPage(workspace);
    const std::uint64_t group = NextGroup(OpenPageMemory(workspace).history, undo);
    std::string name = StepOnePage(workspace, undo);
    if (group == 0) {
        return name;
    }
    std::vector<std::string> others;
    for (const auto& page : workspace.pages) {
        if (page.first != workspace.page_path && NextGroup(page.second.history, undo) == group) {
            others.push_back(page.first);
        }
    }
    std::vector<std::string> failed;
    for (const std::string& path : others) {
        try {
            ChangeOtherPage(workspace, path,
                            [undo](Workspace& other) { StepOnePage(other, undo); });
        } catch (const CommandError& error) {
            failed.push_back(std::string(BaseName(path)) + ": " + error.what());
        }
    }
    if (const auto after = workspace.after_group_step.find(group);
        after != workspace.after_group_step.end()) {
        try {
            after->second(undo);
        } catch (const CommandError& error) {
            failed.push_back(error.what());
        }
    }
    if (!failed.empty()) {
        throw CommandError("\"" + name + "\" was " + (undo ? "undone" : "redone") +
                           " on this page but not on " + Joined(failed));
    }
    return name;
}

} // namespace

void PageRefresh(Workspace& workspace) {
    RequireOpenPage(workspace);
    PageMemory& memory = OpenPageMemory(workspace);
    if (memory.disk.Known() && PageTextHash(workspace.page_text) != memory.disk.text_hash) {
        memory.history.Clear();
    }
    ThrowLate(WriteCheckedPage(workspace, workspace.page_text));
}

void CommitPageText(Workspace& workspace, std::string new_text, std::string_view step_name) {
    RequireOpenPage(workspace);
    const std::string& shown = workspace.page_text;
    Soundness checked =
        RefuseUnsoundChange(workspace, SoundnessOf(OpenPageMemory(workspace), shown), new_text,
                            [&shown] { return CheckPage(shown); });
    const std::string late = WriteCheckedPage(workspace, new_text, nullptr, checked.hash);
    RememberSoundness(OpenPageMemory(workspace), std::move(checked));
    std::string old_text = std::move(workspace.page_text);
    workspace.page_text = std::move(new_text);
    if (workspace.keep_history) {
        OpenPageMemory(workspace).history.Record(old_text, workspace.page_text,
                                                 step_name.empty()
                                                     ? DescribeChange(old_text, workspace.page_text)
                                                     : std::string(step_name),
                                                 workspace.step_group);
    }
    if (!late.empty()) {
        TakeText(workspace, std::move(workspace.page_text));
        ThrowLate(late);
    }
}

void CommitInsertions(Workspace& workspace, std::vector<TextInsertion> insertions,
                      std::string_view step_name) {
    RequireOpenPage(workspace);
    std::stable_sort(insertions.begin(), insertions.end(),
                     [](const TextInsertion& a, const TextInsertion& b) { return a.at < b.at; });
    std::string& text = workspace.page_text;
    const Soundness before = SoundnessOf(OpenPageMemory(workspace), text);
    // The declaration block before, ended as the block reader expects, to
    // name the step by.
    const bool name_step = workspace.keep_history && step_name.empty();
    const std::string names_before =
        name_step ? std::string(DeclarationBlockText(text)).append(kDeclareEnd) : std::string();
    std::size_t grown = text.size();
    for (const TextInsertion& insertion : insertions) {
        grown += insertion.text.size();
    }
    text.reserve(grown);
    // From the last, so the earlier positions stay where they are.
    for (auto it = insertions.rbegin(); it != insertions.rend(); ++it) {
        text.insert(it->at, it->text);
    }
    bool reloaded = false;
    std::string late;
    try {
        Soundness checked = RefuseUnsoundChange(workspace, before, text, [&] {
            // The text as it was: the insertions taken out again, first to last.
            std::string old_text = text;
            for (const TextInsertion& insertion : insertions) {
                old_text.erase(insertion.at, insertion.text.size());
            }
            return CheckPage(old_text);
        });
        late = WriteCheckedPage(workspace, text, &reloaded, checked.hash);
        RememberSoundness(OpenPageMemory(workspace), std::move(checked));
    } catch (...) {
        if (!reloaded) { // a reloaded page holds the file's text instead
            for (const TextInsertion& insertion : insertions) {
                text.erase(insertion.at, insertion.text.size());
            }
        }
        throw;
    }
    if (workspace.keep_history) {
        std::string name(step_name);
        if (name_step) {
            name = DescribeChange(names_before,
                                  std::string(DeclarationBlockText(text)).append(kDeclareEnd));
        }
        std::vector<TextHunk> hunks;
        for (TextInsertion& insertion : insertions) {
            hunks.push_back({insertion.at, std::string(), std::move(insertion.text)});
        }
        OpenPageMemory(workspace).history.RecordHunks(std::move(hunks), std::move(name),
                                                      workspace.step_group);
    }
    if (!late.empty()) {
        TakeText(workspace, std::move(workspace.page_text));
        ThrowLate(late);
    }
}

void OpenPage(Workspace& workspace, const std::string& path) {
    std::shared_ptr<PageLock> lock;
    if (workspace.hold_page_lock) {
        try {
            lock = LockPage(workspace, path);
        } catch (const PageBusyError&) {
            throw;
        } catch (const CommandError&) {
            // A page whose lock cannot be made (a folder nothing can be
            // written to) is still read; its writing is refused, with the reason.
        }
    }
    FileReading reading;
    std::string text = ReadPageFile(path, &reading);
    const std::size_t text_hash = PageTextHash(text);
    AdoptPage(workspace, path, std::move(text), RecordOf(reading.state, reading.hash, text_hash),
              std::move(lock));
}

void WriteNewPage(Workspace& workspace, const std::string& path, std::string text, bool replace) {
    std::shared_ptr<PageLock> lock = LockPage(workspace, path);
    FileState expected; // nothing there
    if (replace) {
        expected = CurrentFileState(path);
    } else if (EntryExists(path)) {
        throw OutsideChangeError(MadeMessage(BaseName(path)), false);
    }
    // A link to nothing, replaced by the page itself, is no state to keep.
    const bool dangling = replace && !expected.exists && EntryExists(path);
    PageWrite written;
    std::string late;
    try {
        WritePageFile(path, text, &written, dangling ? nullptr : &expected);
    } catch (const NotDurableError& error) {
        late = error.what();
    }
    const std::size_t text_hash = PageTextHash(text);
    AdoptPage(workspace, path, std::move(text), RecordOf(written.state, written.hash, text_hash),
              workspace.hold_page_lock ? std::move(lock) : nullptr);
    ThrowLate(late);
}

void ReloadOpenPage(Workspace& workspace) {
    RequireOpenPage(workspace);
    OpenPage(workspace, workspace.page_path);
}

void ChangeOtherPage(Workspace& workspace, const std::string& path,
                     const std::function<void(Workspace&)>& change) {
    Workspace other;
    other.app_folder = workspace.app_folder;
    other.project_folder = workspace.project_folder;
    other.hold_page_lock = true;
    other.keep_history = workspace.keep_history;
    other.lock_wait_ms = workspace.lock_wait_ms;
    other.step_group = workspace.step_group;
    if (auto memory = workspace.pages.extract(path); !memory.empty()) {
        other.pages.insert(std::move(memory));
    }
    // The memory of the page goes back whatever happens.
    const auto give_back = [&] {
        if (auto memory = other.pages.extract(path); !memory.empty()) {
            workspace.pages.insert(std::move(memory));
        }
    };
    try {
        OpenPage(other, path);
        change(other);
    } catch (...) {
        give_back();
        throw;
    }
    give_back();
}

std::string UndoPageChange(Workspace& workspace) {
    return StepPageHistory(workspace, true);
}

std::string RedoPageChange(Workspace& workspace) {
    return StepPageHistory(workspace, false);
}

const PageHistory& OpenPageHistory(const Workspace& workspace) {
    if (!workspace.HasOpenPage()) {
        return kNoHistory;
    }
    const auto found = workspace.pages.find(workspace.page_path);
    return found == workspace.pages.end() ? kNoHistory : found->second.history;
}

PageOnDisk CheckOpenPageOnDisk(Workspace& workspace) {
    if (!workspace.HasOpenPage()) {
        return PageOnDisk::Unchanged;
    }
    FileState seen;
    bool matches = false;
    try {
        matches = FileMatchesRecord(OpenPageMemory(workspace).disk, workspace.page_path, &seen);
    } catch (const CommandError&) {
        return PageOnDisk::Changed; // unreadable now: reading it again says why
    }
    if (!seen.exists) {
        return PageOnDisk::Missing;
    }
    return matches ? PageOnDisk::Unchanged : PageOnDisk::Changed;
}

} // namespace qf
