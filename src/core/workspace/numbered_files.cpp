#include "workspace/numbered_files.h"

#include <QDir>

#include <algorithm>
#include <charconv>

namespace qf {

int NumberedFileNumber(std::string_view file_name) {
    constexpr std::string_view kSuffix = ".html";
    if (file_name.size() <= kSuffix.size() ||
        file_name.substr(file_name.size() - kSuffix.size()) != kSuffix) {
        return 0;
    }
    const std::string_view digits = file_name.substr(0, file_name.size() - kSuffix.size());
    if (digits.front() == '0') {
        return 0;
    }
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return 0;
    }
    return number;
}

std::vector<int> NumberedFiles(const std::string& folder) {
    const QDir dir(QString::fromStdString(folder));
    std::vector<int> numbers;
    for (const QString& name : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        const int number = NumberedFileNumber(name.toStdString());
        if (number > 0) {
            numbers.push_back(number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void NumberedChooser::SetNumbers(std::vector<int> numbers) {
    numbers_ = std::move(numbers);
    if (order_ == ChooserOrder::OldestFirst) {
        current_ = 0;
        UpdateSteps();
        return;
    }
    current_ = numbers_.empty() ? 0 : numbers_.size() - 1;
    previous_enabled_ = false;
    next_enabled_ = !numbers_.empty();
}

void NumberedChooser::UpdateSteps() {
    const bool lower = !Empty() && current_ > 0;
    const bool higher = !Empty() && current_ + 1 < numbers_.size();
    next_enabled_ = order_ == ChooserOrder::OldestFirst ? higher : lower;
    previous_enabled_ = order_ == ChooserOrder::OldestFirst ? lower : higher;
}

void NumberedChooser::Next() {
    if (Empty()) {
        return;
    }
    if (order_ == ChooserOrder::OldestFirst) {
        if (current_ + 1 < numbers_.size()) {
            ++current_;
        }
        UpdateSteps();
        return;
    }
    if (current_ > 0) {
        --current_;
    }
    if (current_ == 0) {
        next_enabled_ = false;
    }
    if (current_ != numbers_.size() - 1) {
        previous_enabled_ = true;
    }
}

void NumberedChooser::Previous() {
    if (Empty()) {
        return;
    }
    if (order_ == ChooserOrder::OldestFirst) {
        if (current_ > 0) {
            --current_;
        }
        UpdateSteps();
        return;
    }
    if (current_ < numbers_.size() - 1) {
        ++current_;
    }
    if (current_ == numbers_.size() - 1) {
        previous_enabled_ = false;
    }
    if (current_ != 0) {
        next_enabled_ = true;
    }
}

bool NumberedChooser::Choose(int number) {
    const auto found = std::find(numbers_.begin(), numbers_.end(), number);
    if (found == numbers_.end()) {
        return false;
    }
    current_ = std::size_t(found - numbers_.begin());
    UpdateSteps();
    return true;
}

} // namespace qf
