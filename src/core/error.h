#pragma once

#include <stdexcept>
#include <string>

namespace qf {

// A command refused or failed. The message is shown to the user as it stands
// (a message box in the editor, stderr in the command line). A command that
// throws it has changed nothing that the user can see: neither the page text
// nor the page file.
class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace qf
