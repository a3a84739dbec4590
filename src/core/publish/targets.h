#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf::publish {

enum class TargetKind { Folder, Sftp, Ftps, Ftp };

// A place the project is published to, as kept in the project's targets file.
// No password is ever kept there.
struct Target {
    std::string name;
    std::string url;  // sftp://, ftps:// (explicit TLS), ftp://, file:// or an absolute folder
    std::string user; // empty for a folder
    std::string key;  // SFTP: the private key file; empty for a password
    std::string ca;   // FTPS: a certificate file to trust besides the system's
    // The site's address as published to this target ("https://staging.
    // example.org/"); empty: the site's own.
    std::string address;
};

// The kind of a target URL; CommandError for one that is none of them.
TargetKind KindOfUrl(std::string_view url);
// True when publishing to the target needs a password (or a key's passphrase
// may be given): every server target but SFTP with a key.
bool NeedsPassword(const Target& target);
// "live" and the like: letters, digits, ".", "_" and "-", not starting with ".".
void CheckTargetName(std::string_view name);

// The targets of a project, in the order they were set. Throws CommandError
// for a targets file that cannot be read.
std::vector<Target> ReadTargets(const std::string& project_folder);
// Refuses (CommandError) what SetTarget would refuse in the target itself: a
// bad name or URL, a key or certificate file that is not there, a server
// without a user, a folder that is the project or inside it.
void CheckTarget(const std::string& project_folder, const Target& target);
// Adds `target` or replaces the one of its name, checked as CheckTarget
// does; the file is written atomically.
void SetTarget(const std::string& project_folder, const Target& target);
// The target named `name`; with an empty name the only target there is.
Target FindTarget(const std::string& project_folder, std::string_view name);

} // namespace qf::publish
