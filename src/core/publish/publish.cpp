#include "publish/publish.h"

#include "check/site_check.h"

#include "error.h"
#include "render/render_site.h"

#include "site/site_settings.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <set>

namespace qf::publish {

namespace {

std::string Folder(const std::string& project_folder) {
    std::string folder = project_folder;
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string Files(int count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

bool HasHomePage(const std::vector<LocalFile>& files) {
    return std::any_of(files.begin(), files.end(), [](const LocalFile& file) {
        return file.path == "index.html" || file.path == "index.htm" || file.path == "index.php";
    });
}

// The site as every target receives it: the project's files with the pages
// rendered into a staging folder that lives as long as this.
struct RenderedSite {
    ProjectFiles files;
    QTemporaryDir staging;
    std::vector<std::string> notes;

    RenderedSite(const std::string& project_folder, const PublishOptions& options)
        : files(FilesToPublish(Folder(project_folder))) {
        if (options.leave_out_unused) {
            const std::vector<std::string> unused = UnusedProjectFiles(Folder(project_folder));
            const std::set<std::string> leave_out(unused.begin(), unused.end());
            std::erase_if(files.files,
                          [&](const LocalFile& file) { return leave_out.count(file.path) > 0; });
        }
        if (!staging.isValid()) {
            throw CommandError("Cannot make a folder for the rendered pages: " +
                               staging.errorString().toStdString());
        }
        render::RenderPagesForPublishing(Folder(project_folder), files.files,
                                         staging.path().toStdString(), options.pictures, &notes,
                                         options.site_address);
    }

    // What the plan tells besides its steps: files left out, notes, warnings.
    void Tell(Plan& plan) const {
        plan.skipped = files.skipped;
        plan.notes.insert(plan.notes.begin(), notes.begin(), notes.end());
        if (!HasHomePage(files.files)) {
            plan.warnings.insert(
                plan.warnings.begin(),
                "The site has no index.html (or index.php), so its address shows no page: "
                "rename the home page \"index\" (Edit > Rename Project Page, or quenfort-cli "
                "rename-page; its links follow)");
        }
    }
};

// The host name GitHub-style hosting reads from a CNAME file: the address's
// host when the site lies at its root; empty otherwise.
std::string CnameOf(const std::string& address) {
    const std::size_t start = address.find("://");
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t slash = address.find('/', start + 3);
    std::string host = address.substr(start + 3, slash - start - 3);
    const bool at_root = slash == std::string::npos || address.substr(slash) == "/";
    if (!at_root || host.empty() || host.find_first_of("@:") != std::string::npos) {
        return {};
    }
    return host;
}

// The local repository a git target's objects are kept in between publishes:
// one for each repository address, in the user's cache.
std::string GitCacheFolder(const std::string& url) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(url), QCryptographicHash::Sha256);
    return QFile::encodeName(
               QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
               "/quenfort/git/" + QString::fromLatin1(hash.toHex().left(32)))
        .toStdString();
}

PublishReport PublishGitTarget(const std::string& folder, const Target& target,
                               const PublishOptions& options, const PublishEvents& events,
                               GitPublisher publish_to_git) {
    const RenderedSite site(folder, options);
    GitPublishRequest request{target,
                              site.files.files,
                              {},
                              folder + GitRecordFileName(target.name),
                              folder + std::string(kKnownHostsFileName),
                              GitCacheFolder(ReadGitAddress(target.url).url)};
    std::set<std::string> paths;
    for (const LocalFile& file : site.files.files) {
        paths.insert(file.path);
    }
    std::string address = options.site_address;
    if (address.empty()) {
        address = ReadSiteSettings(folder).address;
    }
    const std::string cname = CnameOf(address);
    // A CNAME or .nojekyll of the project's own goes as it is.
    if (!cname.empty() && paths.count("CNAME") == 0) {
        request.made.emplace_back("CNAME", cname + "\n");
    }
    request.made.emplace_back(".nojekyll", std::string());
    PublishReport report = publish_to_git(request, options, events);
    site.Tell(report.plan);
    if (cname.empty() && !address.empty()) {
        report.plan.notes.push_back("No CNAME file: the site's address " + address +
                                    " is not at the root of its host");
    }
    return report;
}

} // namespace

Plan MakePlan(const ProjectFiles& files, const Manifest& manifest, const RemoteListing& listing,
              bool delete_gone) {
    Plan plan;
    plan.skipped = files.skipped;
    std::set<std::string> local;
    for (const LocalFile& file : files.files) {
        local.insert(file.path);
        const auto published = manifest.find(file.path);
        const auto there = listing.find(file.path);
        const bool on_server = there != listing.end();
        const bool same = published != manifest.end() && published->second.size == file.size &&
                          published->second.sha256 == file.sha256 && on_server &&
                          there->second == file.size;
        if (same) {
            ++plan.unchanged;
            continue;
        }
        plan.send.push_back(PlanItem{on_server ? Action::Replace : Action::Add, file.path,
                                     file.size, file.full, file.sha256});
    }
    for (const auto& [path, entry] : manifest) {
        if (local.count(path) != 0) {
            continue;
        }
        const auto there = listing.find(path);
        if (there == listing.end()) {
            continue; // gone from the server too: no longer ours to delete
        }
        PlanItem item{delete_gone ? Action::Delete : Action::Keep, path, there->second, {}, {}};
        (delete_gone ? plan.remove : plan.keep).push_back(item);
    }
    for (const auto& [path, size] : listing) {
        if (IsTemporaryName(path)) {
            plan.leftovers.push_back(path);
        }
    }
    return plan;
}

PublishReport PublishWith(Transport& transport, const std::string& project_folder,
                          const std::string& manifest_file, const PublishOptions& options,
                          const PublishEvents& events) {
    PublishReport report;
    const RenderedSite site(project_folder, options);
    const ProjectFiles& files = site.files;
    Manifest manifest = ReadManifest(manifest_file);
    const RemoteListing listing = transport.List();
    report.plan = MakePlan(files, manifest, listing, options.delete_gone);
    Plan& plan = report.plan;
    site.Tell(plan);
    if (options.dry_run) {
        return report;
    }
    if (!plan.remove.empty() && events.confirm_removals && !events.confirm_removals(plan.remove)) {
        for (PlanItem& item : plan.remove) {
            item.action = Action::Keep;
            plan.keep.push_back(item);
        }
        plan.remove.clear();
    }
    // Entries of files that are on the server neither in the project: dropped.
    std::set<std::string> local;
    for (const LocalFile& file : files.files) {
        local.insert(file.path);
    }
    bool dropped = false;
    for (auto it = manifest.begin(); it != manifest.end();) {
        if (local.count(it->first) == 0 && listing.count(it->first) == 0) {
            it = manifest.erase(it);
            dropped = true;
        } else {
            ++it;
        }
    }
    if (dropped) {
        WriteManifest(manifest_file, manifest);
    }
    Progress progress;
    progress.files_total = int(plan.send.size() + plan.remove.size());
    for (const PlanItem& item : plan.send) {
        progress.bytes_total += item.size;
    }
    // While files go the manifest is written at most once a second, and
    // whenever the publish ends or stops: one that lags behind lists fewer
    // files than arrived (those are sent again next time), never one that
    // did not arrive. Writing it safely after every file would cost each
    // file two syncs of the disk.
    auto written_at = std::chrono::steady_clock::now();
    bool unwritten = false;
    const auto write_manifest = [&](bool now) {
        if (!unwritten ||
            (!now && std::chrono::steady_clock::now() - written_at < std::chrono::seconds(1))) {
            return;
        }
        WriteManifest(manifest_file, manifest);
        unwritten = false;
        written_at = std::chrono::steady_clock::now();
    };
    const auto failed = [&](const std::string& path, std::string reason) {
        try {
            write_manifest(true);
        } catch (const CommandError& error) {
            reason +=
                " (and the manifest could not be brought up to date: " + std::string(error.what()) +
                ")";
        }
        return CommandError("Publishing stopped at " + path + ": " + reason + ". " +
                            Files(report.sent) + " of " + std::to_string(plan.send.size()) +
                            " sent, " + std::to_string(report.deleted) +
                            " deleted; the manifest lists only what arrived. Publish again "
                            "to complete it.");
    };
    for (const std::string& leftover : plan.leftovers) {
        try {
            transport.Remove(leftover);
        } catch (const CommandError& error) {
            throw failed(leftover, error.what());
        }
    }
    for (const PlanItem& item : plan.send) {
        progress.path = item.path;
        if (events.progress && !events.progress(progress)) {
            throw failed(item.path, "cancelled");
        }
        const std::int64_t before = progress.bytes_done;
        const SentBytes sent = [&](std::int64_t bytes) {
            progress.bytes_done = before + bytes;
            return !events.progress || events.progress(progress);
        };
        std::string sent_sha256;
        try {
            sent_sha256 = transport.Put(item.full, item.path, item.size, sent);
        } catch (const TransferCancelled&) {
            throw failed(item.path, "cancelled");
        } catch (const CommandError& error) {
            throw failed(item.path, error.what());
        }
        // The file arrived under its real name: only now does the manifest
        // say so, with the hash of what arrived (the file may have been
        // changed since the plan was made).
        manifest[item.path] = ManifestEntry{item.size, sent_sha256};
        unwritten = true;
        write_manifest(false);
        progress.bytes_done = before + item.size;
        ++progress.files_done;
        ++report.sent;
        report.bytes_sent += item.size;
        if (events.done) {
            events.done(item);
        }
    }
    for (const PlanItem& item : plan.remove) {
        progress.path = item.path;
        if (events.progress && !events.progress(progress)) {
            throw failed(item.path, "cancelled");
        }
        try {
            transport.Remove(item.path);
        } catch (const CommandError& error) {
            throw failed(item.path, error.what());
        }
        manifest.erase(item.path);
        unwritten = true;
        write_manifest(false);
        ++progress.files_done;
        ++report.deleted;
        if (events.done) {
            events.done(item);
        }
    }
    write_manifest(true);
    if (events.progress) {
        progress.path.clear();
        events.progress(progress);
    }
    return report;
}

std::string SizeText(std::int64_t size) {
    return std::to_string(size) + (size == 1 ? " byte" : " bytes");
}

std::string DescribeStep(const PlanItem& item, bool dry_run) {
    const char* word = "kept";
    switch (item.action) {
    case Action::Add:
        word = dry_run ? "would add" : "added";
        break;
    case Action::Replace:
        word = dry_run ? "would replace" : "replaced";
        break;
    case Action::Delete:
        word = dry_run ? "would delete" : "deleted";
        break;
    case Action::Keep:
        return std::string(dry_run ? "would keep " : "kept ") + item.path + " (" +
               SizeText(item.size) + "; gone from the project)";
    }
    return std::string(word) + " " + item.path + " (" + SizeText(item.size) + ")";
}

std::string DescribeReport(const std::string& target_name, const PublishReport& report,
                           bool dry_run) {
    const Plan& plan = report.plan;
    if (!report.branch.empty() && !dry_run) {
        if (report.commit.empty()) {
            return "Published to " + target_name + ": nothing changed, nothing was pushed (" +
                   std::to_string(plan.unchanged) + " unchanged).";
        }
        return "Published to " + target_name + ": commit " + report.commit.substr(0, 12) +
               " pushed to " + report.branch + ", " + Files(report.sent) + " added or changed (" +
               SizeText(report.bytes_sent) + "), " + std::to_string(report.deleted) + " deleted, " +
               std::to_string(plan.unchanged) + " unchanged.";
    }
    if (dry_run) {
        std::int64_t bytes = 0;
        for (const PlanItem& item : plan.send) {
            bytes += item.size;
        }
        return "Dry run for " + target_name + ": " + std::to_string(plan.send.size()) +
               " to send (" + SizeText(bytes) + "), " + std::to_string(plan.remove.size()) +
               " to delete, " + std::to_string(plan.unchanged) + " unchanged; nothing was sent.";
    }
    return "Published to " + target_name + ": " + Files(report.sent) + " sent (" +
           SizeText(report.bytes_sent) + "), " + std::to_string(report.deleted) + " deleted, " +
           std::to_string(plan.unchanged) + " unchanged.";
}

PublishReport Publish(const std::string& project_folder, const Target& target,
                      const PublishOptions& options, const PublishEvents& events,
                      ServerTransportMaker make_server_transport, GitPublisher publish_to_git) {
    const std::string folder = Folder(project_folder);
    const std::string manifest = folder + ManifestFileName(target.name);
    PublishOptions with_address = options;
    if (with_address.site_address.empty()) {
        with_address.site_address = target.address;
    }
    std::unique_ptr<Transport> transport;
    const TargetKind kind = KindOfUrl(target.url);
    if (kind == TargetKind::Git) {
        // A targets file edited by hand is checked as publish-target checks it.
        CheckTarget(folder, target);
        return PublishGitTarget(folder, target, with_address, events, publish_to_git);
    }
    if (kind == TargetKind::Folder) {
        // A targets file edited by hand is checked as publish-target checks it.
        const std::string problem = render::OutputFolderProblem(folder, target.url);
        if (!problem.empty()) {
            throw CommandError(problem);
        }
        transport = MakeFolderTransport(target.url);
    } else {
        transport = make_server_transport(
            target, options.password, folder + std::string(kKnownHostsFileName),
            folder + std::string(kKnownCertificatesFileName), events.questions);
    }
    return PublishWith(*transport, folder, manifest, with_address, events);
}

} // namespace qf::publish
