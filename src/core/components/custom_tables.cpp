#include "components/custom_tables.h"

#include "components/user_text.h"
#include "document/page_file.h"
#include "error.h"

#include <QFile>

#include <algorithm>

namespace qf {

std::string CustomFolder(const std::string& app_folder) {
    return app_folder + "custom/";
}

std::string CustomTablePath(const std::string& app_folder, int number) {
    return CustomFolder(app_folder) + std::to_string(number) + ".html";
}

std::vector<int> CustomTableNumbers(const std::string& app_folder) {
    return NumberedFiles(CustomFolder(app_folder));
}

int ChosenCustomTable(const std::string& app_folder, int requested) {
    const std::vector<int> numbers = CustomTableNumbers(app_folder);
    if (numbers.empty()) {
        throw CommandError("There are no custom tables in \"" + CustomFolder(app_folder) + "\".");
    }
    if (requested == 0) {
        return numbers.back();
    }
    if (std::find(numbers.begin(), numbers.end(), requested) == numbers.end()) {
        throw CommandError("There is no custom table " + std::to_string(requested) + " (\"" +
                           CustomTablePath(app_folder, requested) + "\" does not exist).");
    }
    return requested;
}

std::string ReadCustomTable(const std::string& app_folder, int number) {
    const std::string path = CustomTablePath(app_folder, number);
    if (number <= 0 || !QFile::exists(QString::fromStdString(path))) {
        throw CommandError("Cannot open file \"" + path + "\". No such file or directory");
    }
    std::string text = ReadPageFile(path);
    // The text goes into the page unchanged: markers in it would break the page.
    CheckNoMarkerDelimiters("The custom table \"" + path + "\"", text);
    return text;
}

std::string CustomTableBody(const std::string& app_folder, const FieldValues& values) {
    const int requested = std::stoi(PageFieldValues("Custom_Table", values).at("table"));
    return ReadCustomTable(app_folder, ChosenCustomTable(app_folder, requested));
}

} // namespace qf
