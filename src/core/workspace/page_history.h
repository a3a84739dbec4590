#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// One replaced run of a change: at `position` in the text before the change,
// `removed` gave way to `inserted`.
struct TextHunk {
    std::size_t position = 0;
    std::string removed;
    std::string inserted;
};

// The runs that turn `before` into `after`, in text order and not
// overlapping. Only what changed is kept: an insertion of a declaration and
// a block far apart gives two small runs, not the text between them.
std::vector<TextHunk> DiffTexts(std::string_view before, std::string_view after);

// `before` with the runs applied; nothing when a run's removed bytes are not
// where the run says (the text is not the one the runs were taken from).
std::optional<std::string> ApplyHunks(std::string_view before, const std::vector<TextHunk>& hunks);
// `after` with the runs taken back; nothing when a run's inserted bytes are
// not where the run says.
std::optional<std::string> RevertHunks(std::string_view after, const std::vector<TextHunk>& hunks);

// The name of the step that turned `before` into `after`, for the Edit menu:
// "Insert Image2" or "Insert Platform" for new declarations ("Prepare your
// Form" for the form, which is listed nowhere), "Delete Area3"
// for removed ones, "Modify Image2" for a change inside a component's block,
// "Insert Line Break" or "Insert HTML" for unmarked content added to an area,
// "Modify Area3" for another change inside an area, "Page Properties" for a
// change before the body's marker, else "Change Page".
std::string DescribeChange(std::string_view before, std::string_view after);

// The undo and redo steps of one page: what each step changed (its runs),
// never whole copies of the page. The page text itself lives elsewhere; the
// history is asked for the text an undo or redo gives and is told when that
// text has been written, so a failed write leaves both the page and the
// history as they were.
class PageHistory {
public:
    // The history of one page holds at most this much; the oldest steps go first.
    static constexpr std::size_t kMaxBytes = std::size_t(64) << 20;

    // Records the step from `before` to `after`; the steps that were undone
    // are dropped. An unchanged text records nothing, unless the step is
    // part of a change to several pages (`group` not 0): a page that change
    // left as it was still holds its step, so undoing there undoes it on
    // the other pages.
    void Record(std::string_view before, std::string_view after, std::string name,
                std::uint64_t group = 0);
    // The same for a change whose runs are known (positions in the text
    // before it, in text order), so the text before need not be kept.
    void RecordHunks(std::vector<TextHunk> hunks, std::string name, std::uint64_t group = 0);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // The names of the steps an undo and a redo would take back or do again;
    // empty when there is none.
    std::string_view UndoName() const;
    std::string_view RedoName() const;
    // The change to several pages the step an undo (redo) would take back
    // (do again) belongs to; 0 for a step of this page alone or none.
    std::uint64_t UndoGroup() const;
    std::uint64_t RedoGroup() const;

    // The text an undo (redo) gives from the page's `current` text; nothing
    // when there is no step or `current` is not the text the history knows.
    std::optional<std::string> UndoText(std::string_view current) const;
    std::optional<std::string> RedoText(std::string_view current) const;
    // The text UndoText (RedoText) gave has been written: move one step.
    void StepBack();
    void StepForward();

    void Clear();
    std::size_t StepCount() const { return steps_.size(); }
    // Bytes held by the steps, their runs and names included.
    std::size_t MemoryBytes() const { return bytes_; }

private:
    struct Step {
        std::string name;
        std::vector<TextHunk> hunks;
        std::size_t bytes = 0;
        std::uint64_t group = 0;
    };
    std::deque<Step> steps_;
    std::size_t done_ = 0; // steps_[0, done_) are done; the rest can be redone
    std::size_t bytes_ = 0;
};

} // namespace qf
