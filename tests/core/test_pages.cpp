#include "test_pages.h"

#include "error.h"

#include <fstream>
#include <sstream>

namespace qf::test {

std::string WorkedExamplePage() {
    return std::string(
               "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html><head>"
               "<title>My Page</title></head>") +
           "<body bgcolor=\"#ffffff\" topmargin=\"0\" leftmargin=\"0\" bgcolor=\"#FFFFFF\" "
           "topmargin=\"0\" leftmargin=\"0\">" +
           "<!---End_Body---!>" +
           "<!---declare_begin---!><!---Table1---!><!---Image1---!><!---////---!><!---declare_"
           "end---!>" +
           "</body>" +
           "<!---Begin_Table1---!><Table align=\"Left\" valign=\"Top\" border=\"1\" "
           "bordercolor=\"#ffffff\" width=400 cellpadding=\"0\" cellspacing=\"0\"><td "
           "border=\"1\" bordercolor=\"#000000\" bgcolor=\"#ffffff\" width=400><img src=\"\" "
           "height=\"200\" width=\"1\" align=\"left\">" +
           "<!---Begin_Image1---!><img src=\"logo.gif\" width=\"120\" height=\"60\" "
           "align=\"Left\" alt=\"Logo\" border=\"0\" bordercolor=\"#000000\"><!---End_Image1---!>" +
           "</td></table><!---End_Table1---!>" + "</html>";
}

std::string PageWith(const std::string& declarations, const std::string& areas) {
    return "<html><head><title>T</title></head><body><!---End_Body---!><!---declare_begin---!>" +
           declarations + "<!---////---!><!---declare_end---!></body>" + areas + "</html>";
}

std::string TableArea(int number, const std::string& content) {
    const std::string n = std::to_string(number);
    return "<!---Begin_Table" + n +
           "---!><Table align=\"Left\" valign=\"Top\" border=\"1\" bordercolor=\"#ffffff\" "
           "width=400 cellpadding=\"0\" cellspacing=\"0\"><td border=\"1\" "
           "bordercolor=\"#000000\" bgcolor=\"#ffffff\" width=400><img src=\"\" height=\"100\" "
           "width=\"1\" align=\"left\">" +
           content + "</td></table><!---End_Table" + n + "---!>";
}

std::string CellArea(int number, const std::string& content) {
    const std::string n = std::to_string(number);
    return "<!---Begin_Table" + n +
           "---!><td border=\"0\" bordercolor=\"#000000\" bgcolor=\"#ffffff\" width=200><img "
           "src=\"\" height=\"100\" width=\"1\" align=\"left\">" +
           content + "</td><!---End_Table" + n + "---!>";
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string Block(const std::string& name, const std::string& body) {
    return "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>";
}

std::string ErrorOf(std::string_view kind, const FieldValues& values) {
    try {
        BuildComponentBody(kind, values);
    } catch (const CommandError& error) {
        return error.what();
    }
    return "(no error)";
}

std::string Refusal(const std::function<void()>& command) {
    try {
        command();
    } catch (const CommandError& error) {
        return error.what();
    }
    return "(no refusal)";
}

} // namespace qf::test
