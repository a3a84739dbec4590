#pragma once

#include "components/component_fields.h"

#include <functional>
#include <string>
#include <string_view>

namespace qf::test {

// The page of one area holding one image, as the editor writes it.
std::string WorkedExamplePage();

// A page document whose declaration block holds exactly `declarations`
// (back to back) and whose body is followed by `areas`.
std::string PageWith(const std::string& declarations, const std::string& areas = "");

// An area block of table shape whose cell holds `content` after the spacer.
std::string TableArea(int number, const std::string& content = "");
// An area block of cell shape (an adjacent cell or a platform cell).
std::string CellArea(int number, const std::string& content = "");

// A file's bytes, or "" when it cannot be read; and a file written with
// exactly these bytes. Paths are bytes, UTF-8 or not.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// A component block: "<!---Begin_" + name + "---!>" + body + "<!---End_" +
// name + "---!>".
std::string Block(const std::string& name, const std::string& body);

// The message with which BuildComponentBody refuses the values, or
// "(no error)".
std::string ErrorOf(std::string_view kind, const FieldValues& values);
// The message with which `command` refuses (its CommandError), or
// "(no refusal)" when it does not.
std::string Refusal(const std::function<void()>& command);

} // namespace qf::test
