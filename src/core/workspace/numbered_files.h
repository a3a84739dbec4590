#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// Folders of the application folder whose files are known by number only:
// "1.html", "2.html" and so on (the layouts, the custom tables). Gaps are
// allowed, and files not named by a number are ignored.

// The number of a file named like "12.html" (digits without a leading zero);
// 0 for any other name.
int NumberedFileNumber(std::string_view file_name);

// The numbers of the numbered files in `folder`, in numeric order; empty when
// the folder does not exist.
std::vector<int> NumberedFiles(const std::string& folder);

// The order a chooser steps through its numbers in.
enum class ChooserOrder {
    // Opens on the highest number; "Next" steps to the next lower number,
    // "Previous" to the next higher one.
    NewestFirst,
    // Opens on the lowest number; "Next" steps to the next higher number,
    // "Previous" to the next lower one. Each button is enabled exactly while
    // it can move.
    OldestFirst,
};

// The stepping of a chooser that shows one numbered file at a time: the
// numbers found, the one shown, and which of its step buttons are enabled.
class NumberedChooser {
public:
    explicit NumberedChooser(ChooserOrder order = ChooserOrder::NewestFirst) : order_(order) {}

    // Shows the first number of the order: Previous disabled; Next enabled
    // (newest first, also with one number; oldest first, when there is a
    // second). Both disabled when there is no number.
    void SetNumbers(std::vector<int> numbers);

    void Next();
    void Previous();
    // Shows `number` (a click on its preview), the buttons enabled as far as
    // they can move from there; false, changing nothing, when it is not
    // among the numbers.
    bool Choose(int number);
    ChooserOrder Order() const { return order_; }

    bool Empty() const { return numbers_.empty(); }
    // The number shown; 0 when there is none.
    int Current() const { return Empty() ? 0 : numbers_[current_]; }
    // The place of the number shown among all, from 1; 0 when there is none.
    std::size_t Position() const { return Empty() ? 0 : current_ + 1; }
    const std::vector<int>& Numbers() const { return numbers_; }
    bool NextEnabled() const { return next_enabled_; }
    bool PreviousEnabled() const { return previous_enabled_; }

private:
    // Enables each button exactly while it can move.
    void UpdateSteps();

    ChooserOrder order_;
    std::vector<int> numbers_;
    std::size_t current_ = 0;
    bool next_enabled_ = false;
    bool previous_enabled_ = false;
};

} // namespace qf
