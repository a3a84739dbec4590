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

// A command the user stopped at a question it asked (or answered by reading
// the page again): nothing more is to be told, so its message is empty.
class CommandCancelled : public CommandError {
public:
    CommandCancelled() : CommandError(std::string()) {}
};

} // namespace qf
