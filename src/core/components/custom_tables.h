#pragma once

#include "components/component_fields.h"
#include "workspace/numbered_files.h"

#include <string>
#include <vector>

namespace qf {

// Custom tables are ready-made HTML fragments in the application folder's
// custom subfolder, "1.html", "2.html" and so on, known by number only. A
// custom table's body is its file's text with the lines joined, unchanged.

// app_folder + "custom/".
std::string CustomFolder(const std::string& app_folder);
// The file of custom table `number`.
std::string CustomTablePath(const std::string& app_folder, int number);

// The numbers of the custom table files that exist, in numeric order, with
// no limit on how many.
std::vector<int> CustomTableNumbers(const std::string& app_folder);

// The number a request names: `requested` itself when that table exists, the
// highest number (the table the chooser opens on) for 0. Throws CommandError
// when there is no such table or no table at all.
int ChosenCustomTable(const std::string& app_folder, int requested);

// The text of custom table `number`, its lines joined with nothing between
// them. Throws CommandError naming the file and the reason when it cannot be
// read, and when it holds the marker delimiters "<!---" or "---!>".
std::string ReadCustomTable(const std::string& app_folder, int number);

// The body of a Custom_Table component from its field values (table=N, 0 for
// the highest): the chosen table's text. Throws CommandError as the above.
std::string CustomTableBody(const std::string& app_folder, const FieldValues& values);

// The custom table chooser's state: it rescans the custom subfolder and opens
// on the highest-numbered table; Next steps toward lower numbers, Previous
// toward higher ones.
class CustomTableChooser : public NumberedChooser {
public:
    void Scan(const std::string& app_folder) { SetNumbers(CustomTableNumbers(app_folder)); }
};

} // namespace qf
