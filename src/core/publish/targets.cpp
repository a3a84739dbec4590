#include "publish/targets.h"

#include "document/file_io.h"
#include "error.h"
#include "publish/publish_files.h"
#include "render/render_site.h"
#include "site/site_settings.h"

namespace qf::publish {

namespace {

std::string TargetsFile(const std::string& project_folder) {
    std::string folder = project_folder;
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder + std::string(kTargetsFileName);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

void CheckValue(std::string_view field, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        throw CommandError("The " + std::string(field) + " of a target cannot hold a line break");
    }
}

// USER@HOST:PATH, the short form of an SSH address: no "://", the ":"
// after the "@" and before any "/".
bool IsShortSshAddress(std::string_view url) {
    const std::size_t at = url.find('@');
    const std::size_t colon = url.find(':');
    return url.find("://") == std::string_view::npos && at != std::string_view::npos && at > 0 &&
           colon != std::string_view::npos && colon > at + 1 && url.find('/') > colon &&
           colon + 1 < url.size();
}

bool IsGitUrl(std::string_view url) {
    return StartsWith(url, "git+") || StartsWith(url, "ssh://") || StartsWith(url, "https://") ||
           IsShortSshAddress(url);
}

// A branch name git takes: no blanks, control characters or the characters
// git gives a meaning ("~^:?*[\\"), no "..", "@{" or "//", not starting
// with "-" or "/", not ending with "/", "." or ".lock".
bool GoodBranchName(std::string_view name) {
    if (name.empty() || name.size() > 200 || name.front() == '-' || name.front() == '/' ||
        name.back() == '/' || name.back() == '.' || name == "@" ||
        name.find("..") != std::string_view::npos || name.find("@{") != std::string_view::npos ||
        name.find("//") != std::string_view::npos || name.find("/.") != std::string_view::npos ||
        name.front() == '.' || (name.size() >= 5 && name.substr(name.size() - 5) == ".lock")) {
        return false;
    }
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 0x7f ||
            std::string_view("~^:?*[\\").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

} // namespace

GitAddress ReadGitAddress(std::string_view given) {
    const auto bad = [&] {
        return CommandError("\"" + std::string(given) +
                            "\" is no git repository: give ssh://[USER@]HOST[:PORT]/PATH, "
                            "USER@HOST:PATH, https://HOST/PATH or git+file:///PATH");
    };
    std::string_view url = given;
    if (StartsWith(url, "git+")) {
        url.remove_prefix(4);
    }
    GitAddress address;
    if (IsShortSshAddress(url)) {
        const std::size_t at = url.find('@');
        const std::size_t colon = url.find(':', at);
        address.carrier = GitAddress::Carrier::Ssh;
        address.user = std::string(url.substr(0, at));
        address.host = std::string(url.substr(at + 1, colon - at - 1));
        address.url = std::string(url);
        return address;
    }
    if (StartsWith(url, "file:///")) {
        address.carrier = GitAddress::Carrier::Local;
        address.url = std::string(url.substr(7)); // the path
        return address;
    }
    const bool ssh = StartsWith(url, "ssh://");
    if (!ssh && !StartsWith(url, "https://")) {
        throw bad();
    }
    address.carrier = ssh ? GitAddress::Carrier::Ssh : GitAddress::Carrier::Https;
    address.url = std::string(url);
    const std::size_t start = url.find("://") + 3;
    const std::size_t slash = url.find('/', start);
    if (slash == std::string_view::npos || slash + 1 >= url.size()) {
        throw bad(); // no path of a repository
    }
    std::string_view authority = url.substr(start, slash - start);
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        address.user = std::string(authority.substr(0, at));
        authority.remove_prefix(at + 1);
    }
    const std::size_t colon = authority.rfind(':');
    // A port after the host ("[::1]:2222" keeps the colons of its brackets).
    if (colon != std::string_view::npos &&
        (authority.find(']') == std::string_view::npos || authority.find(']') < colon)) {
        const std::string port(authority.substr(colon + 1));
        if (port.empty() || port.size() > 5 ||
            port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) == 0 ||
            std::stoi(port) > 65535) {
            throw bad();
        }
        address.port = std::stoi(port);
        authority = authority.substr(0, colon);
    }
    if (authority.empty()) {
        throw bad();
    }
    address.host = std::string(authority);
    return address;
}

std::string GitBranch(const Target& target) {
    return target.branch.empty() ? std::string(kDefaultGitBranch) : target.branch;
}

std::string GitFolder(std::string_view folder) {
    std::string clean;
    std::size_t start = 0;
    while (start <= folder.size()) {
        std::size_t slash = folder.find('/', start);
        if (slash == std::string_view::npos) {
            slash = folder.size();
        }
        const std::string_view part = folder.substr(start, slash - start);
        start = slash + 1;
        if (part.empty()) {
            continue;
        }
        if (part == "." || part == ".." || part == ".git") {
            throw CommandError("\"" + std::string(folder) +
                               "\" is no folder inside the repository: give a path such as docs");
        }
        for (const char c : part) {
            if (static_cast<unsigned char>(c) < ' ' || c == '\\') {
                throw CommandError("The folder \"" + std::string(folder) +
                                   "\" holds a character git does not keep in a name");
            }
        }
        clean += (clean.empty() ? "" : "/") + std::string(part);
    }
    return clean;
}

std::string GitUser(const Target& target) {
    const GitAddress address = ReadGitAddress(target.url);
    return address.user.empty() ? target.user : address.user;
}

TargetKind KindOfUrl(std::string_view url) {
    if (StartsWith(url, "sftp://")) {
        return TargetKind::Sftp;
    }
    if (StartsWith(url, "ftps://")) {
        return TargetKind::Ftps;
    }
    if (StartsWith(url, "ftp://")) {
        return TargetKind::Ftp;
    }
    if (StartsWith(url, "file:///") || StartsWith(url, "/")) {
        return TargetKind::Folder;
    }
    if (IsGitUrl(url)) {
        return TargetKind::Git;
    }
    throw CommandError("\"" + std::string(url) +
                       "\" is no target: give sftp://HOST/FOLDER, ftps://HOST/FOLDER, "
                       "ftp://HOST/FOLDER, the absolute path of a folder, or a git repository "
                       "(ssh://HOST/PATH, USER@HOST:PATH, https://HOST/PATH, git+file:///PATH)");
}

bool NeedsPassword(const Target& target) {
    const TargetKind kind = KindOfUrl(target.url);
    if (kind == TargetKind::Git) {
        const GitAddress address = ReadGitAddress(target.url);
        return address.carrier == GitAddress::Carrier::Https ||
               (address.carrier == GitAddress::Carrier::Ssh && target.key.empty());
    }
    return kind != TargetKind::Folder && !(kind == TargetKind::Sftp && !target.key.empty());
}

void CheckTargetName(std::string_view name) {
    bool good = !name.empty() && name.size() <= 64 && name.front() != '.';
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        good = good && allowed;
    }
    if (!good) {
        throw CommandError("\"" + std::string(name) +
                           "\" is no target name: use letters, digits, \".\", \"_\" and \"-\"");
    }
}

std::vector<Target> ReadTargets(const std::string& project_folder) {
    std::vector<Target> targets;
    const std::string file = TargetsFile(project_folder);
    if (!EntryExists(file)) {
        return targets;
    }
    for (const std::string& line : ReadSettingLines(file)) {
        if (line.front() == '[' && line.back() == ']') {
            targets.push_back(Target{line.substr(1, line.size() - 2), {}, {}, {}, {}, {}, {}, {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (targets.empty() || equals == std::string::npos) {
            throw CommandError(file + " is not a targets file (line \"" + line + "\")");
        }
        const std::string field = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        Target& target = targets.back();
        if (field == "url") {
            target.url = value;
        } else if (field == "user") {
            target.user = value;
        } else if (field == "key") {
            target.key = value;
        } else if (field == "ca") {
            target.ca = value;
        } else if (field == "address") {
            target.address = value;
        } else if (field == "branch") {
            target.branch = value;
        } else if (field == "folder") {
            target.folder = value;
        }
    }
    return targets;
}

namespace {

void CheckGitTarget(const Target& target) {
    const GitAddress address = ReadGitAddress(target.url);
    if (!GoodBranchName(GitBranch(target))) {
        throw CommandError("\"" + target.branch + "\" is no branch name git takes");
    }
    GitFolder(target.folder);
    if (!target.ca.empty()) {
        throw CommandError("A certificate file is only for ftps:// targets");
    }
    switch (address.carrier) {
    case GitAddress::Carrier::Https:
        if (!address.user.empty()) {
            throw CommandError("Give the user as user=NAME, not in the URL (the token is kept in "
                               "the secret store, never in the targets file)");
        }
        if (target.user.empty()) {
            throw CommandError("An https:// repository needs user=NAME (the token's user)");
        }
        if (!target.key.empty()) {
            throw CommandError("A key file is only for git over SSH; https:// takes a token");
        }
        break;
    case GitAddress::Carrier::Ssh:
        if (address.user.find(':') != std::string::npos) {
            throw CommandError("A password never goes into the URL: give it when you publish");
        }
        if (!address.user.empty() && !target.user.empty() && address.user != target.user) {
            throw CommandError("The URL names the user " + address.user + " and user= another");
        }
        if (GitUser(target).empty()) {
            throw CommandError("A server target needs user=NAME");
        }
        break;
    case GitAddress::Carrier::Local:
        if (!target.user.empty() || !target.key.empty()) {
            throw CommandError("A local repository takes no user and no key");
        }
        break;
    }
}

} // namespace

void CheckTarget(const std::string& project_folder, const Target& target) {
    CheckTargetName(target.name);
    CheckValue("URL", target.url);
    CheckValue("user", target.user);
    CheckValue("key", target.key);
    CheckValue("certificate", target.ca);
    CheckValue("address", target.address);
    CheckValue("branch", target.branch);
    CheckValue("folder", target.folder);
    if (!target.address.empty()) {
        SiteSettings probe;
        probe.address = target.address;
        CheckedSiteSettings(probe, project_folder); // refuses what is no web address
    }
    const TargetKind kind = KindOfUrl(target.url);
    if (kind == TargetKind::Git) {
        CheckGitTarget(target);
    } else if (!target.branch.empty() || !target.folder.empty()) {
        throw CommandError("branch= and folder= are only for git repositories");
    }
    if (kind != TargetKind::Folder && kind != TargetKind::Git &&
        target.url.find('@') != std::string::npos) {
        throw CommandError("Give the user as user=NAME, not in the URL (a password never goes "
                           "into the targets file)");
    }
    if (!target.key.empty() && kind != TargetKind::Sftp && kind != TargetKind::Git) {
        throw CommandError("A key file is only for sftp:// targets and git over SSH");
    }
    if (!target.key.empty() && (target.key.front() != '/' || !EntryExists(target.key))) {
        throw CommandError("The key file " + target.key + " is not there (give an absolute path)");
    }
    if (!target.ca.empty() && (target.ca.front() != '/' || !EntryExists(target.ca))) {
        throw CommandError("The certificate file " + target.ca +
                           " is not there (give an absolute path)");
    }
    if (kind != TargetKind::Folder && kind != TargetKind::Git && target.user.empty()) {
        throw CommandError("A server target needs user=NAME");
    }
    if (kind == TargetKind::Folder) {
        const std::string problem = render::OutputFolderProblem(project_folder, target.url);
        if (!problem.empty()) {
            throw CommandError(problem);
        }
    }
}

void SetTarget(const std::string& project_folder, const Target& given) {
    CheckTarget(project_folder, given);
    Target target = given;
    if (!target.address.empty()) {
        SiteSettings probe;
        probe.address = target.address;
        target.address = CheckedSiteSettings(probe, project_folder).address; // ends in "/"
    }
    std::vector<Target> targets = ReadTargets(project_folder);
    bool replaced = false;
    for (Target& existing : targets) {
        if (existing.name == target.name) {
            existing = target;
            replaced = true;
        }
    }
    if (!replaced) {
        targets.push_back(target);
    }
    std::string text = "# Where this project is published; passwords are never kept here.\n";
    for (const Target& t : targets) {
        text += "[" + t.name + "]\nurl=" + t.url + "\n";
        if (!t.user.empty()) {
            text += "user=" + t.user + "\n";
        }
        if (!t.key.empty()) {
            text += "key=" + t.key + "\n";
        }
        if (!t.ca.empty()) {
            text += "ca=" + t.ca + "\n";
        }
        if (!t.address.empty()) {
            text += "address=" + t.address + "\n";
        }
        if (!t.branch.empty()) {
            text += "branch=" + t.branch + "\n";
        }
        if (!t.folder.empty()) {
            text += "folder=" + t.folder + "\n";
        }
    }
    WriteFileAtomically(TargetsFile(project_folder), text);
}

Target FindTarget(const std::string& project_folder, std::string_view name) {
    const std::vector<Target> targets = ReadTargets(project_folder);
    if (targets.empty()) {
        throw CommandError("The project has no publish target yet: set one with publish-target");
    }
    if (name.empty()) {
        if (targets.size() == 1) {
            return targets.front();
        }
        std::string names;
        for (const Target& t : targets) {
            names += (names.empty() ? "" : ", ") + t.name;
        }
        throw CommandError("The project has several targets (" + names + "): choose one");
    }
    for (const Target& t : targets) {
        if (t.name == name) {
            return t;
        }
    }
    throw CommandError("The project has no target \"" + std::string(name) + "\"");
}

} // namespace qf::publish
