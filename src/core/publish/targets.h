#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf::publish {

enum class TargetKind { Folder, Sftp, Ftps, Ftp, Git };

// A place the project is published to, as kept in the project's targets file.
// No password is ever kept there.
struct Target {
    std::string name;
    // sftp://, ftps:// (explicit TLS), ftp://, file:// or an absolute folder; a
    // git repository as ssh://, USER@HOST:PATH, https:// or git+file:///PATH
    // (git+ may start the others too).
    std::string url;
    std::string user; // empty for a folder and a local repository
    std::string key;  // SFTP and git over SSH: the private key file; empty for a password
    std::string ca;   // FTPS: a certificate file to trust besides the system's
    // The site's address as published to this target ("https://staging.
    // example.org/"); empty: the site's own.
    std::string address;
    // A git repository: the branch published to (empty: "pages") and the
    // folder inside it that holds the site (empty: all of it).
    std::string branch;
    std::string folder;
};

inline constexpr std::string_view kDefaultGitBranch = "pages";

// Where a git target's URL leads, read from the URL: the address as the git
// library takes it ("git+" removed, a local repository as its path), the
// host and port for the pinned host keys, the login, and whether SSH, HTTPS
// or the local file system carries it.
struct GitAddress {
    enum class Carrier { Ssh, Https, Local };
    Carrier carrier = Carrier::Local;
    std::string url;
    std::string host; // empty for a local repository
    int port = 0;     // 0: the carrier's own
    std::string user; // named in the URL (git@host:path); empty otherwise
};
// CommandError for a URL that is no git repository address.
GitAddress ReadGitAddress(std::string_view url);
// The branch a git target publishes to ("pages" unless it names one).
std::string GitBranch(const Target& target);
// The target's folder inside the repository without "/" around it; CommandError
// for one that leaves the repository or names git's own folder.
std::string GitFolder(std::string_view folder);
// The login of a git target: the URL's, else user=.
std::string GitUser(const Target& target);

// The kind of a target URL; CommandError for one that is none of them.
TargetKind KindOfUrl(std::string_view url);
// True when publishing to the target needs a password (or a key's passphrase
// may be given, or an HTTPS token): every server target but SFTP or git over
// SSH with a key.
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
