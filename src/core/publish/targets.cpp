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

} // namespace

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
    throw CommandError("\"" + std::string(url) +
                       "\" is no target: give sftp://HOST/FOLDER, ftps://HOST/FOLDER, "
                       "ftp://HOST/FOLDER or the absolute path of a folder");
}

bool NeedsPassword(const Target& target) {
    const TargetKind kind = KindOfUrl(target.url);
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
            targets.push_back(Target{line.substr(1, line.size() - 2), {}, {}, {}, {}, {}});
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
        }
    }
    return targets;
}

void CheckTarget(const std::string& project_folder, const Target& target) {
    CheckTargetName(target.name);
    CheckValue("URL", target.url);
    CheckValue("user", target.user);
    CheckValue("key", target.key);
    CheckValue("certificate", target.ca);
    CheckValue("address", target.address);
    if (!target.address.empty()) {
        SiteSettings probe;
        probe.address = target.address;
        CheckedSiteSettings(probe, project_folder); // refuses what is no web address
    }
    const TargetKind kind = KindOfUrl(target.url);
    if (kind != TargetKind::Folder && target.url.find('@') != std::string::npos) {
        throw CommandError("Give the user as user=NAME, not in the URL (a password never goes "
                           "into the targets file)");
    }
    if (!target.key.empty() && kind != TargetKind::Sftp) {
        throw CommandError("A key file is only for sftp:// targets");
    }
    if (!target.key.empty() && (target.key.front() != '/' || !EntryExists(target.key))) {
        throw CommandError("The key file " + target.key + " is not there (give an absolute path)");
    }
    if (!target.ca.empty() && (target.ca.front() != '/' || !EntryExists(target.ca))) {
        throw CommandError("The certificate file " + target.ca +
                           " is not there (give an absolute path)");
    }
    if (kind != TargetKind::Folder && target.user.empty()) {
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
