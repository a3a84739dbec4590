#pragma once

#include "publish/publish_files.h"
#include "publish/transport.h"
#include "render/render_site.h"

#include <cstdint>
#include <functional>
#include <string>
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
};

struct PublishReport {
    Plan plan;
    int sent = 0;
    std::int64_t bytes_sent = 0;
    int deleted = 0;
};

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
                      ServerTransportMaker make_server_transport = MakeCurlTransport);

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
