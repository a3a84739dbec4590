#pragma once

#include "error.h"
#include "publish/publish_files.h"
#include "publish/transport.h"
#include "render/render_site.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qf::publish {

enum class Action { Add, Replace, Delete, Keep };

// One step of a publish: a file to send (Add: not on the server, Replace: on
// it), to delete (published by us, gone from the project), or to keep (the
// same, without permission to delete).
struct PlanItem {
    Action action = Action::Add;
    std::string path;
    std::int64_t size = 0;
    std::string full;   // the local file, for Add and Replace
    std::string sha256; // the local file's, for Add and Replace
};

struct Plan {
    std::vector<PlanItem> send;
    std::vector<PlanItem> remove;
    std::vector<PlanItem> keep;
    std::vector<std::string> leftovers; // temporary files of an interrupted publish
    std::vector<std::string> skipped;   // local files that are not published, with the reason
    // What the published site lacks that visitors would miss (no home page).
    std::vector<std::string> warnings;
    // What could not be made for it, and why (no sitemap without an address).
    std::vector<std::string> notes;
    int unchanged = 0;
};

// What is sent and deleted: a file is sent when the manifest does not list it
// with its size and hash, or the server lacks it or holds another size; a file
// the manifest lists and the project no longer has is deleted when `delete_gone`
// (kept otherwise), unless the server no longer has it either.
Plan MakePlan(const ProjectFiles& files, const Manifest& manifest, const RemoteListing& listing,
              bool delete_gone);

struct Progress {
    std::string path;
    int files_done = 0;
    int files_total = 0;
    std::int64_t bytes_done = 0;
    std::int64_t bytes_total = 0;
};

struct PublishEvents {
    TransportQuestions questions;
    std::function<void(const PlanItem& item)> done;         // a file sent or deleted
    std::function<bool(const Progress& progress)> progress; // false cancels
    // Asked once before anything is sent when the plan deletes files on the
    // server; false keeps them (they are then listed as kept).
    std::function<bool(const std::vector<PlanItem>& removals)> confirm_removals;
    // A git target: asked before a first publish to a branch replaces files
    // this project did not put there (`question` says which); false (or no
    // answer at all) pushes nothing.
    std::function<bool(const std::string& question)> confirm_replace;
};

struct PublishOptions {
    bool dry_run = false;
    bool delete_gone = false;
    std::string password;
    // How the pages' pictures are measured and made at other sizes for
    // visitors; without it they go as the pages have them.
    render::PictureWork pictures;
    // The site's address for this publish (the target's own); empty: the
    // site's, from its settings.
    std::string site_address;
    // Leave out the pictures and media no page uses (UnusedProjectFiles).
    bool leave_out_unused = false;
    // A git target: publish even when others pushed to the branch since our
    // last publish (their files are replaced, their commits stay in the
    // branch's history), and replace a branch's files without asking.
    bool force = false;
};

struct PublishReport {
    Plan plan;
    int sent = 0;
    std::int64_t bytes_sent = 0;
    int deleted = 0;
    // A git target: its branch, and the commit pushed (empty when nothing
    // changed, or in a dry run).
    std::string branch;
    std::string commit;
};

// A git target refused to publish because others pushed to its branch since
// our last publish; publishing with `PublishOptions::force` replaces it.
class BranchMovedError : public CommandError {
public:
    using CommandError::CommandError;
};

// What a git publish is handed: the site as visitors get it (pages rendered),
// the files that belong beside it on the branch, and where things are kept.
struct GitPublishRequest {
    Target target;
    std::vector<LocalFile> files; // by path inside the site, each a file of this computer
    // Files made for the branch only (CNAME, .nojekyll): path and bytes.
    std::vector<std::pair<std::string, std::string>> made;
    std::string record_file;  // what was last pushed there, beside the manifest
    std::string known_hosts;  // the SSH host keys pinned, as for SFTP
    std::string cache_folder; // the local repository that holds what was fetched and made
};

// Publishes to a git repository: one commit on the target's branch whose tree
// (or the target's folder in it) is exactly the site, pushed without ever
// overwriting what others pushed. Passed in, as the transfers are.
using GitPublisher = PublishReport (*)(const GitPublishRequest& request,
                                       const PublishOptions& options, const PublishEvents& events);
PublishReport PublishToGit(const GitPublishRequest& request, const PublishOptions& options,
                           const PublishEvents& events);

// Makes the transport to a server (MakeCurlTransport): passed in, so that a
// program that only publishes to folders, or loads libcurl when it first
// publishes, need not link it.
using ServerTransportMaker = std::unique_ptr<Transport> (*)(const Target& target,
                                                            const std::string& password,
                                                            const std::string& known_hosts,
                                                            const std::string& known_certificates,
                                                            const TransportQuestions& questions);

// Publishes the project to the target: lists the server, sends what changed
// (writing the manifest after each file) and deletes what the plan says. A dry
// run only makes the plan. Any failure or a cancel throws CommandError saying
// why and how far it came; the manifest lists only what arrived.
PublishReport Publish(const std::string& project_folder, const Target& target,
                      const PublishOptions& options, const PublishEvents& events,
                      ServerTransportMaker make_server_transport = MakeCurlTransport,
                      GitPublisher publish_to_git = PublishToGit);

// How a publish and its steps are told: "added PATH (N bytes)" (or "would
// add" in a dry run) for a step, and the one-line summary of the whole.
std::string DescribeStep(const PlanItem& item, bool dry_run);
std::string DescribeReport(const std::string& target_name, const PublishReport& report,
                           bool dry_run);
std::string SizeText(std::int64_t size);

// The same with a transport of the caller's.
PublishReport PublishWith(Transport& transport, const std::string& project_folder,
                          const std::string& manifest_file, const PublishOptions& options,
                          const PublishEvents& events);

} // namespace qf::publish
