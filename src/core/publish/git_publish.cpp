#include "document/file_io.h"
#include "error.h"
#include "publish/publish.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

#include <git2.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

namespace qf::publish {

namespace {

template <typename T, void (*Free)(T*)> struct GitFree {
    void operator()(T* object) const { Free(object); }
};
template <typename T, void (*Free)(T*)> using GitPtr = std::unique_ptr<T, GitFree<T, Free>>;
using Repository = GitPtr<git_repository, git_repository_free>;
using Remote = GitPtr<git_remote, git_remote_free>;
using Tree = GitPtr<git_tree, git_tree_free>;
using Commit = GitPtr<git_commit, git_commit_free>;
using TreeBuilder = GitPtr<git_treebuilder, git_treebuilder_free>;
using TreeEntry = GitPtr<git_tree_entry, git_tree_entry_free>;
using Reference = GitPtr<git_reference, git_reference_free>;
using RevWalk = GitPtr<git_revwalk, git_revwalk_free>;
using Signature = GitPtr<git_signature, git_signature_free>;
using Blob = GitPtr<git_blob, git_blob_free>;

std::string LastGitError() {
    const git_error* error = git_error_last();
    return error != nullptr && error->message != nullptr ? error->message : "unknown error";
}

// Throws CommandError for a failed call of the git library.
void Check(int code, const std::string& what) {
    if (code < 0) {
        throw CommandError(what + ": " + LastGitError());
    }
}

std::string Hex(const git_oid& id) {
    char text[GIT_OID_HEXSZ + 1] = {};
    git_oid_tostr(text, sizeof text, &id);
    return text;
}

std::string Short(const git_oid& id) {
    return Hex(id).substr(0, 12);
}

bool IsPage(const std::string& path) {
    const auto ends = [&](std::string_view end) {
        return path.size() >= end.size() &&
               path.compare(path.size() - end.size(), end.size(), end.data(), end.size()) == 0;
    };
    return ends(".html") || ends(".htm") || ends(".php");
}

// The host key types as OpenSSH writes them in known-hosts files, and as ssh
// names them to the user.
struct KeyType {
    const char* file_name;
    const char* shown;
};
KeyType KeyTypeOf(git_cert_ssh_raw_type_t type) {
    switch (type) {
    case GIT_CERT_SSH_RAW_TYPE_RSA:
        return {"ssh-rsa", "RSA"};
    case GIT_CERT_SSH_RAW_TYPE_DSS:
        return {"ssh-dss", "DSA"};
    case GIT_CERT_SSH_RAW_TYPE_KEY_ECDSA_256:
        return {"ecdsa-sha2-nistp256", "ECDSA"};
    case GIT_CERT_SSH_RAW_TYPE_KEY_ECDSA_384:
        return {"ecdsa-sha2-nistp384", "ECDSA"};
    case GIT_CERT_SSH_RAW_TYPE_KEY_ECDSA_521:
        return {"ecdsa-sha2-nistp521", "ECDSA"};
    case GIT_CERT_SSH_RAW_TYPE_KEY_ED25519:
        return {"ssh-ed25519", "ED25519"};
    default:
        return {"", "unknown"};
    }
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = line.find_first_of(" \t", start);
        if (end != start) {
            fields.push_back(line.substr(start, end - start));
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return fields;
}

// True when a known-hosts line's host field names `host` ("[host]:port" off
// port 22), plainly or hashed ("|1|salt|hash").
bool NamesHost(const std::string& hosts, const std::string& host) {
    std::size_t start = 0;
    while (start <= hosts.size()) {
        std::size_t comma = hosts.find(',', start);
        if (comma == std::string::npos) {
            comma = hosts.size();
        }
        const std::string pattern = hosts.substr(start, comma - start);
        start = comma + 1;
        if (pattern == host) {
            return true;
        }
        if (pattern.rfind("|1|", 0) == 0) {
            const std::size_t bar = pattern.find('|', 3);
            if (bar == std::string::npos) {
                continue;
            }
            const QByteArray salt =
                QByteArray::fromBase64(QByteArray::fromStdString(pattern.substr(3, bar - 3)));
            const QByteArray hash =
                QByteArray::fromBase64(QByteArray::fromStdString(pattern.substr(bar + 1)));
            if (QMessageAuthenticationCode::hash(QByteArray::fromStdString(host), salt,
                                                 QCryptographicHash::Sha1) == hash) {
                return true;
            }
        }
    }
    return false;
}

enum class HostKeyMatch { Known, Changed, Unknown };

HostKeyMatch LookUpHostKey(const std::string& file, const std::string& host,
                           const std::string& type, const QByteArray& key) {
    if (type.empty() || !EntryExists(file)) {
        return HostKeyMatch::Unknown;
    }
    HostKeyMatch match = HostKeyMatch::Unknown;
    for (const std::string& line : ReadSettingLines(file)) {
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() < 3 || fields[0].front() == '@' || !NamesHost(fields[0], host) ||
            fields[1] != type) {
            continue;
        }
        if (QByteArray::fromBase64(QByteArray::fromStdString(fields[2])) == key) {
            return HostKeyMatch::Known;
        }
        match = HostKeyMatch::Changed;
    }
    return match;
}

// What a publish to one repository needs in the git library's callbacks, and
// what they found wrong.
struct Session {
    const Target* target = nullptr;
    GitAddress address;
    std::string user;
    std::string password;
    std::string known_hosts;
    const PublishEvents* events = nullptr;
    Progress* progress = nullptr;
    int key_tries = 0;
    int password_tries = 0;
    bool cancelled = false;
    std::string host_key_problem;
    std::string certificate_problem;
    std::string authentication_problem;
    std::string rejection; // the server's answer to the branch's update

    std::string Where() const { return address.host.empty() ? address.url : address.host; }

    std::string HostEntry() const {
        return address.port == 0 || address.port == 22
                   ? address.host
                   : "[" + address.host + "]:" + std::to_string(address.port);
    }

    bool KeepGoing() {
        if (events->progress && !events->progress(*progress)) {
            cancelled = true;
        }
        return !cancelled;
    }

    static int OnCredentials(git_credential** out, const char*, const char* user_from_url,
                             unsigned int allowed, void* payload) {
        auto* self = static_cast<Session*>(payload);
        const std::string user = user_from_url != nullptr && *user_from_url != '\0'
                                     ? std::string(user_from_url)
                                     : self->user;
        if ((allowed & GIT_CREDENTIAL_USERNAME) != 0) {
            return git_credential_username_new(out, user.c_str());
        }
        const Target& target = *self->target;
        if ((allowed & GIT_CREDENTIAL_SSH_KEY) != 0 && !target.key.empty()) {
            // The git library asks again after every refusal: one try each.
            if (self->key_tries++ > 0) {
                self->authentication_problem = "authentication failed: " + self->Where() +
                                               " refused the key " + target.key + " for " + user;
                return GIT_EUSER;
            }
            const std::string pub = target.key + ".pub";
            const bool has_pub = EntryExists(pub);
            return git_credential_ssh_key_new(
                out, user.c_str(), has_pub ? pub.c_str() : nullptr, target.key.c_str(),
                self->password.empty() ? nullptr : self->password.c_str());
        }
        if ((allowed & GIT_CREDENTIAL_USERPASS_PLAINTEXT) != 0 && target.key.empty()) {
            if (self->password_tries++ > 0) {
                self->authentication_problem =
                    "authentication failed: " + self->Where() + " refused the " +
                    (self->address.carrier == GitAddress::Carrier::Https ? "token" : "password") +
                    " of " + user;
                return GIT_EUSER;
            }
            return git_credential_userpass_plaintext_new(out, user.c_str(), self->password.c_str());
        }
        self->authentication_problem =
            "authentication failed: " + self->Where() + " takes no login this target can give";
        return GIT_EUSER;
    }

    static int OnCertificate(git_cert* cert, int valid, const char* host, void* payload) {
        auto* self = static_cast<Session*>(payload);
        if (cert->cert_type == GIT_CERT_X509) {
            if (valid != 0) {
                return 0;
            }
            self->certificate_problem = std::string("the certificate of ") + host +
                                        " could not be verified: nothing was pushed";
            return GIT_ECERTIFICATE;
        }
        if (cert->cert_type != GIT_CERT_HOSTKEY_LIBSSH2) {
            self->host_key_problem = std::string("the server ") + host + " gave no host key";
            return GIT_ECERTIFICATE;
        }
        const auto* hostkey = reinterpret_cast<const git_cert_hostkey*>(cert);
        if ((hostkey->type & GIT_CERT_SSH_RAW) == 0) {
            self->host_key_problem = std::string("the host key of ") + host + " cannot be read";
            return GIT_ECERTIFICATE;
        }
        const QByteArray key(hostkey->hostkey, qsizetype(hostkey->hostkey_len));
        const KeyType type = KeyTypeOf(hostkey->raw_type);
        QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toBase64();
        while (digest.endsWith('=')) {
            digest.chop(1);
        }
        const std::string fingerprint = "SHA256:" + digest.toStdString();
        const std::string entry = self->HostEntry();
        try {
            switch (LookUpHostKey(self->known_hosts, entry, type.file_name, key)) {
            case HostKeyMatch::Known:
                return 0;
            case HostKeyMatch::Changed:
                self->host_key_problem =
                    "The host key of " + entry + " has changed (" + type.shown + " " + fingerprint +
                    ") and differs from the one pinned at the first connection: nothing was "
                    "pushed. If the server's key really was changed, remove its line from " +
                    self->known_hosts + ".";
                return GIT_ECERTIFICATE;
            case HostKeyMatch::Unknown:
                break;
            }
            const TransportQuestions& questions = self->events->questions;
            if (*type.file_name == '\0' || !questions.accept_host_key ||
                !questions.accept_host_key(entry, type.shown, fingerprint)) {
                self->host_key_problem = "The host key of " + entry + " (" + type.shown + " " +
                                         fingerprint + ") was not accepted: nothing was pushed";
                return GIT_ECERTIFICATE;
            }
            std::string pinned;
            if (EntryExists(self->known_hosts)) {
                pinned = ReadRegularFile(self->known_hosts);
            }
            if (!pinned.empty() && pinned.back() != '\n') {
                pinned += '\n';
            }
            pinned += entry + " " + type.file_name + " " + key.toBase64().toStdString() + "\n";
            WriteFileAtomically(self->known_hosts, pinned);
            return 0;
        } catch (const CommandError& error) {
            self->host_key_problem = error.what();
            return GIT_ECERTIFICATE;
        }
    }

    static int OnFetchProgress(const git_indexer_progress*, void* payload) {
        return static_cast<Session*>(payload)->KeepGoing() ? 0 : GIT_EUSER;
    }

    static int OnPackProgress(int, uint32_t, uint32_t, void* payload) {
        return static_cast<Session*>(payload)->KeepGoing() ? 0 : GIT_EUSER;
    }

    static int OnPushProgress(unsigned int current, unsigned int total, size_t bytes,
                              void* payload) {
        auto* self = static_cast<Session*>(payload);
        self->progress->bytes_done = std::int64_t(bytes);
        // Once every object went, the server updates the branch: too late
        // for a cancel to say that nothing was pushed.
        if (current >= total) {
            if (self->events->progress) {
                self->events->progress(*self->progress);
            }
            return 0;
        }
        return self->KeepGoing() ? 0 : GIT_EUSER;
    }

    static int OnUpdateReference(const char* refname, const char* status, void* payload) {
        if (status != nullptr) {
            static_cast<Session*>(payload)->rejection = std::string(refname) + ": " + status;
        }
        return 0;
    }

    // The callbacks of one connection: each starts with its own tries.
    git_remote_callbacks Callbacks() {
        key_tries = 0;
        password_tries = 0;
        git_remote_callbacks callbacks;
        git_remote_init_callbacks(&callbacks, GIT_REMOTE_CALLBACKS_VERSION);
        callbacks.credentials = &Session::OnCredentials;
        callbacks.certificate_check = &Session::OnCertificate;
        callbacks.transfer_progress = &Session::OnFetchProgress;
        callbacks.pack_progress = &Session::OnPackProgress;
        callbacks.push_transfer_progress = &Session::OnPushProgress;
        callbacks.push_update_reference = &Session::OnUpdateReference;
        callbacks.payload = this;
        return callbacks;
    }

    // Why a call to the server failed: the problem a callback found, or the
    // library's reason, said as rejected, authentication or network.
    std::string Reason(int code) const {
        if (cancelled) {
            return "cancelled";
        }
        for (const std::string* problem :
             {&host_key_problem, &certificate_problem, &authentication_problem}) {
            if (!problem->empty()) {
                return *problem;
            }
        }
        const git_error* error = git_error_last();
        const std::string message = LastGitError();
        if (code == GIT_ENONFASTFORWARD) {
            return "the push was rejected: the branch moved on the server meanwhile (" + message +
                   ")";
        }
        if (code == GIT_EAUTH || message.find("uthenticat") != std::string::npos) {
            return "authentication failed at " + Where() + ": " + message;
        }
        if (error != nullptr && (error->klass == GIT_ERROR_NET || error->klass == GIT_ERROR_SSH ||
                                 error->klass == GIT_ERROR_OS || error->klass == GIT_ERROR_HTTP ||
                                 error->klass == GIT_ERROR_SSL)) {
            return "network: cannot reach the repository at " + Where() + ": " + message;
        }
        return message;
    }
};

// What a target's record says was pushed last: to which address and branch,
// the commit confirmed, and one pushed whose answer never came.
struct Record {
    std::string url;
    std::string branch;
    std::string commit;
    std::string pending;
};

Record ReadRecord(const std::string& file) {
    Record record;
    if (!EntryExists(file)) {
        return record;
    }
    for (const std::string& line : ReadSettingLines(file)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            throw CommandError(file + " is not a record of a git publish (line \"" + line + "\")");
        }
        const std::string field = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (field == "url") {
            record.url = value;
        } else if (field == "branch") {
            record.branch = value;
        } else if (field == "commit") {
            record.commit = value;
        } else if (field == "pending") {
            record.pending = value;
        }
    }
    return record;
}

void WriteRecord(const std::string& file, const Record& record) {
    std::string text = "# The commit this project last pushed to the target's branch.\n";
    text += "url=" + record.url + "\nbranch=" + record.branch + "\n";
    if (!record.commit.empty()) {
        text += "commit=" + record.commit + "\n";
    }
    if (!record.pending.empty()) {
        text += "pending=" + record.pending + "\n";
    }
    WriteFileAtomically(file, text);
}

// A tree to be written: files by name, folders by name.
struct Folder {
    std::map<std::string, git_oid> files;
    std::map<std::string, Folder> folders;
};

void Place(Folder& root, const std::string& path, const git_oid& blob) {
    Folder* folder = &root;
    std::size_t start = 0;
    for (std::size_t slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', start)) {
        folder = &folder->folders[path.substr(start, slash - start)];
        start = slash + 1;
    }
    folder->files[path.substr(start)] = blob;
}

git_oid WriteTree(git_repository* repo, const Folder& folder) {
    git_treebuilder* raw = nullptr;
    Check(git_treebuilder_new(&raw, repo, nullptr), "Cannot make a tree");
    const TreeBuilder builder(raw);
    for (const auto& [name, blob] : folder.files) {
        Check(
            git_treebuilder_insert(nullptr, builder.get(), name.c_str(), &blob, GIT_FILEMODE_BLOB),
            "Cannot put " + name + " in a tree");
    }
    for (const auto& [name, sub] : folder.folders) {
        const git_oid id = WriteTree(repo, sub);
        Check(git_treebuilder_insert(nullptr, builder.get(), name.c_str(), &id, GIT_FILEMODE_TREE),
              "Cannot put " + name + " in a tree");
    }
    git_oid id;
    Check(git_treebuilder_write(&id, builder.get()), "Cannot write a tree");
    return id;
}

Tree LookUpTree(git_repository* repo, const git_oid& id) {
    git_tree* tree = nullptr;
    Check(git_tree_lookup(&tree, repo, &id), "Cannot read the tree " + Hex(id));
    return Tree(tree);
}

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

// `base` (null: an empty tree) with the folder at `parts` replaced by `site`;
// everything else of it stays as it is.
git_oid WithSubtree(git_repository* repo, const git_tree* base,
                    const std::vector<std::string>& parts, std::size_t depth, const git_oid& site) {
    if (depth == parts.size()) {
        return site;
    }
    git_treebuilder* raw = nullptr;
    Check(git_treebuilder_new(&raw, repo, base), "Cannot make a tree");
    const TreeBuilder builder(raw);
    const std::string& name = parts[depth];
    Tree inner;
    if (base != nullptr) {
        const git_tree_entry* entry = git_tree_entry_byname(base, name.c_str());
        if (entry != nullptr && git_tree_entry_type(entry) == GIT_OBJECT_TREE) {
            inner = LookUpTree(repo, *git_tree_entry_id(entry));
        }
    }
    const git_oid id = WithSubtree(repo, inner.get(), parts, depth + 1, site);
    Check(git_treebuilder_insert(nullptr, builder.get(), name.c_str(), &id, GIT_FILEMODE_TREE),
          "Cannot put " + name + " in a tree");
    git_oid result;
    Check(git_treebuilder_write(&result, builder.get()), "Cannot write a tree");
    return result;
}

// Every file of a tree by its path, with its blob.
void Flatten(git_repository* repo, const git_tree* tree, const std::string& prefix,
             std::map<std::string, git_oid>& files) {
    const std::size_t count = git_tree_entrycount(tree);
    for (std::size_t i = 0; i < count; ++i) {
        const git_tree_entry* entry = git_tree_entry_byindex(tree, i);
        const std::string path = prefix + git_tree_entry_name(entry);
        if (git_tree_entry_type(entry) == GIT_OBJECT_TREE) {
            const Tree sub = LookUpTree(repo, *git_tree_entry_id(entry));
            Flatten(repo, sub.get(), path + "/", files);
        } else {
            files[path] = *git_tree_entry_id(entry);
        }
    }
}

std::int64_t BlobSize(git_repository* repo, const git_oid& id) {
    git_blob* raw = nullptr;
    if (git_blob_lookup(&raw, repo, &id) < 0) {
        return 0;
    }
    const Blob blob(raw);
    return std::int64_t(git_blob_rawsize(blob.get()));
}

// "abc123456789 "Fix the menu" (Ann)" for each commit of `tip` not reached
// from `ours` (all of `tip`'s when `ours` is not known here), at most ten.
std::vector<std::string> CommitsSince(git_repository* repo, const git_oid& tip,
                                      const std::string& ours, int* total) {
    std::vector<std::string> lines;
    *total = 0;
    git_revwalk* raw = nullptr;
    if (git_revwalk_new(&raw, repo) < 0) {
        return lines;
    }
    const RevWalk walk(raw);
    git_revwalk_sorting(walk.get(), GIT_SORT_TIME);
    git_revwalk_push(walk.get(), &tip);
    git_oid hidden;
    if (!ours.empty() && git_oid_fromstr(&hidden, ours.c_str()) == 0) {
        git_revwalk_hide(walk.get(), &hidden); // unknown here: every commit is listed
        git_error_clear();
    }
    git_oid id;
    while (git_revwalk_next(&id, walk.get()) == 0) {
        ++*total;
        if (lines.size() >= 10) {
            continue;
        }
        git_commit* commit = nullptr;
        if (git_commit_lookup(&commit, repo, &id) < 0) {
            continue;
        }
        const Commit held(commit);
        const char* summary = git_commit_summary(commit);
        const git_signature* author = git_commit_author(commit);
        lines.push_back(Short(id) + " \"" + (summary != nullptr ? summary : "") + "\" (" +
                        (author != nullptr && author->name != nullptr ? author->name : "?") + ")");
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines, int total) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : ", ") + line;
    }
    if (total > int(lines.size())) {
        text += " and " + std::to_string(total - int(lines.size())) + " more";
    }
    return text;
}

// The commit's message: the pages that changed on its first line, every
// changed file below.
std::string CommitMessage(const Plan& plan) {
    std::vector<std::string> pages;
    int others = 0;
    for (const std::vector<PlanItem>* items : {&plan.send, &plan.remove}) {
        for (const PlanItem& item : *items) {
            if (IsPage(item.path)) {
                pages.push_back(item.path);
            } else {
                ++others;
            }
        }
    }
    std::string subject = "Publish ";
    if (pages.empty()) {
        subject += std::to_string(others) + (others == 1 ? " changed file" : " changed files");
    } else {
        for (std::size_t i = 0; i < pages.size() && i < 5; ++i) {
            subject += (i == 0 ? "" : ", ") + pages[i];
        }
        if (pages.size() > 5) {
            subject += " and " + std::to_string(pages.size() - 5) + " more pages";
        }
        if (others > 0) {
            subject += " (and " + std::to_string(others) +
                       (others == 1 ? " other file)" : " other files)");
        }
    }
    std::string body;
    for (const PlanItem& item : plan.send) {
        body += (item.action == Action::Add ? "added " : "changed ") + item.path + "\n";
    }
    for (const PlanItem& item : plan.remove) {
        body += "removed " + item.path + "\n";
    }
    return subject + "\n\n" + body;
}

Repository OpenCache(const std::string& folder) {
    git_repository* repo = nullptr;
    if (IsFolder(folder) && git_repository_open_bare(&repo, folder.c_str()) == 0) {
        return Repository(repo);
    }
    Check(git_repository_init(&repo, folder.c_str(), 1),
          "Cannot make the local repository " + folder);
    return Repository(repo);
}

} // namespace

PublishReport PublishToGit(const GitPublishRequest& request, const PublishOptions& options,
                           const PublishEvents& events) {
    static std::once_flag once;
    std::call_once(once, [] { git_libgit2_init(); });
    const Target& target = request.target;
    const std::string branch = GitBranch(target);
    const std::string branch_ref = "refs/heads/" + branch;
    const std::string folder = GitFolder(target.folder);
    Progress progress;
    Session session;
    session.target = &target;
    session.address = ReadGitAddress(target.url);
    session.user = GitUser(target);
    session.password = options.password;
    session.known_hosts = request.known_hosts;
    session.events = &events;
    session.progress = &progress;
    const std::string where = session.address.url + " (branch " + branch + ")";
    const auto stopped = [&](const std::string& step, int code) {
        return CommandError("Publishing to " + target.name + " stopped " + step + ": " +
                            session.Reason(code) + ". Nothing was pushed; " + where +
                            " is as it was.");
    };

    PublishReport report;
    report.branch = branch;
    Plan& plan = report.plan;
    const Repository repo = OpenCache(request.cache_folder);
    git_remote* raw_remote = nullptr;
    Check(git_remote_create_anonymous(&raw_remote, repo.get(), session.address.url.c_str()),
          "Cannot use the repository address " + session.address.url);
    const Remote remote(raw_remote);

    // What the branch holds on the server now: asked on the connection the
    // push goes over, and fetched into the cache on one of its own when the
    // cache lacks it (someone else pushed, or the cache is new).
    const git_remote_callbacks callbacks = session.Callbacks();
    int code = git_remote_connect(remote.get(), GIT_DIRECTION_PUSH, &callbacks, nullptr, nullptr);
    if (code < 0) {
        throw stopped("at the connection", code);
    }
    const git_remote_head** heads = nullptr;
    std::size_t head_count = 0;
    Check(git_remote_ls(&heads, &head_count, remote.get()), "Cannot list " + session.address.url);
    std::optional<git_oid> tip;
    for (std::size_t i = 0; i < head_count; ++i) {
        if (branch_ref == heads[i]->name) {
            tip = heads[i]->oid;
        }
    }
    git_odb* odb = nullptr;
    Check(git_repository_odb(&odb, repo.get()), "Cannot read the local repository");
    const bool known = tip && git_odb_exists(odb, &*tip) != 0;
    git_odb_free(odb);
    if (tip && !known) {
        git_remote_disconnect(remote.get());
        const std::string spec = "+" + branch_ref + ":refs/quenfort/fetched";
        char* spec_text = const_cast<char*>(spec.c_str());
        const git_strarray specs{&spec_text, 1};
        git_fetch_options fetch;
        git_fetch_options_init(&fetch, GIT_FETCH_OPTIONS_VERSION);
        fetch.callbacks = session.Callbacks();
        fetch.download_tags = GIT_REMOTE_DOWNLOAD_TAGS_NONE;
        code = git_remote_download(remote.get(), &specs, &fetch);
        git_remote_disconnect(remote.get());
        if (code < 0) {
            throw stopped("while fetching the branch", code);
        }
    }
    if (tip) {
        git_reference* fetched = nullptr;
        Check(
            git_reference_create(&fetched, repo.get(), "refs/quenfort/fetched", &*tip, 1, nullptr),
            "Cannot keep the branch's commit");
        git_reference_free(fetched);
    }

    // The new tree: every file of the site, and what the branch needs beside it.
    Folder site;
    std::map<std::string, std::int64_t> sizes;
    std::map<std::string, const LocalFile*> locals;
    progress.files_total = int(request.files.size());
    for (const LocalFile& file : request.files) {
        progress.path = file.path;
        if (!session.KeepGoing()) {
            throw stopped("before the push", 0);
        }
        git_oid blob;
        Check(git_blob_create_from_disk(&blob, repo.get(), file.full.c_str()),
              "Cannot read " + file.full);
        Place(site, file.path, blob);
        sizes[file.path] = file.size;
        locals[file.path] = &file;
        ++progress.files_done;
    }
    for (const auto& [path, bytes] : request.made) {
        git_oid blob;
        Check(git_blob_create_from_buffer(&blob, repo.get(), bytes.data(), bytes.size()),
              "Cannot make " + path);
        Place(site, path, blob);
        sizes[path] = std::int64_t(bytes.size());
    }
    const git_oid site_tree = WriteTree(repo.get(), site);

    Commit tip_commit;
    Tree tip_tree;
    if (tip) {
        git_commit* commit = nullptr;
        Check(git_commit_lookup(&commit, repo.get(), &*tip),
              "Cannot read the branch's commit " + Hex(*tip));
        tip_commit.reset(commit);
        git_tree* tree = nullptr;
        Check(git_commit_tree(&tree, commit), "Cannot read the branch's files");
        tip_tree.reset(tree);
    }
    const git_oid root_tree =
        WithSubtree(repo.get(), tip_tree.get(), PathParts(folder), 0, site_tree);

    // What changes in the site's folder of the branch.
    std::map<std::string, git_oid> before;
    if (tip_tree) {
        if (folder.empty()) {
            Flatten(repo.get(), tip_tree.get(), {}, before);
        } else {
            git_tree_entry* raw = nullptr;
            if (git_tree_entry_bypath(&raw, tip_tree.get(), folder.c_str()) == 0) {
                const TreeEntry entry(raw);
                if (git_tree_entry_type(entry.get()) == GIT_OBJECT_TREE) {
                    const Tree old = LookUpTree(repo.get(), *git_tree_entry_id(entry.get()));
                    Flatten(repo.get(), old.get(), {}, before);
                }
            } else {
                git_error_clear();
            }
        }
    }
    std::map<std::string, git_oid> after;
    {
        const Tree tree = LookUpTree(repo.get(), site_tree);
        Flatten(repo.get(), tree.get(), {}, after);
    }
    for (const auto& [path, id] : after) {
        const auto old = before.find(path);
        if (old != before.end() && git_oid_equal(&old->second, &id)) {
            ++plan.unchanged;
            continue;
        }
        const auto local = locals.find(path);
        plan.send.push_back(
            PlanItem{old == before.end() ? Action::Add : Action::Replace, path, sizes[path],
                     local != locals.end() ? local->second->full : std::string(),
                     local != locals.end() ? local->second->sha256 : std::string()});
    }
    for (const auto& [path, id] : before) {
        if (after.count(path) == 0) {
            plan.remove.push_back(PlanItem{Action::Delete, path, BlobSize(repo.get(), id), {}, {}});
        }
    }

    // Never lose what someone else pushed.
    Record record = ReadRecord(request.record_file);
    const bool same_place = record.url == target.url && record.branch == branch;
    if (!same_place) {
        record = Record{target.url, branch, {}, {}};
    }
    if (tip) {
        const std::string tip_id = Hex(*tip);
        const bool ours = same_place && (tip_id == record.commit || tip_id == record.pending);
        if (!ours && !record.commit.empty()) {
            int total = 0;
            const std::vector<std::string> commits =
                CommitsSince(repo.get(), *tip, record.commit, &total);
            const std::string theirs = Joined(commits, total);
            if (options.dry_run) {
                plan.warnings.push_back("Others pushed to " + where +
                                        " since this project last published there (" + theirs +
                                        "): publishing refuses unless forced");
            } else if (!options.force) {
                throw BranchMovedError(
                    "Others pushed to " + where +
                    " since this project last published there: " + theirs +
                    ". Nothing was pushed. Look at what they changed (and bring it into the "
                    "project if it should stay); to replace it with this site, publish again "
                    "with force (quenfort-cli publish --force, or Replace in the editor). Their "
                    "commits stay in the branch's history.");
            } else {
                plan.warnings.push_back("Replaced what others pushed to " + where + " (" + theirs +
                                        "); their commits stay in the branch's history");
            }
        } else if (!ours && (!plan.remove.empty() ||
                             std::any_of(plan.send.begin(), plan.send.end(), [](const PlanItem& i) {
                                 return i.action == Action::Replace;
                             }))) {
            // A first publish to a branch that holds files of others.
            const std::string question =
                "The branch " + branch + " of " + session.address.url + " holds " +
                std::to_string(before.size()) + (before.size() == 1 ? " file" : " files") +
                (folder.empty() ? "" : " in " + folder) +
                " that this project did not put there (last commit " + Short(*tip) + "); " +
                std::to_string(plan.remove.size()) +
                " would be deleted and the others replaced "
                "by the site. Their commits stay in the branch's history. Replace them?";
            if (options.dry_run) {
                plan.warnings.push_back(question.substr(0, question.size() - 17) +
                                        "; publishing asks before it replaces them");
            } else if (options.force) {
                plan.warnings.push_back("Replaced the files of " + where +
                                        " that this project did not put there (last commit " +
                                        Short(*tip) + "); their commits stay in its history");
            } else if (!events.confirm_replace || !events.confirm_replace(question)) {
                throw CommandError("Publishing to " + target.name + " stopped: " + where +
                                   " holds files this project did not put there, and replacing "
                                   "them was not confirmed. Nothing was pushed.");
            }
        }
    }
    if (options.dry_run) {
        return report;
    }
    if (tip_tree && git_oid_equal(&root_tree, git_tree_id(tip_tree.get()))) {
        // Nothing to commit: the branch already is the site.
        record.commit = Hex(*tip);
        record.pending.clear();
        WriteRecord(request.record_file, record);
        plan.send.clear();
        plan.remove.clear();
        return report;
    }

    // The commit, on top of the branch's (so nothing of its history is lost).
    git_signature* raw_signature = nullptr;
    if (git_signature_default(&raw_signature, repo.get()) < 0) {
        git_error_clear();
        Check(git_signature_now(&raw_signature, "Quenfort Website Developer", "quenfort@localhost"),
              "Cannot sign the commit");
    }
    const Signature signature(raw_signature);
    const Tree new_tree = LookUpTree(repo.get(), root_tree);
    const git_commit* parents[] = {tip_commit.get()};
    git_oid commit_id;
    const std::string message = CommitMessage(plan);
    Check(git_commit_create(&commit_id, repo.get(), nullptr, signature.get(), signature.get(),
                            nullptr, message.c_str(), new_tree.get(), tip ? 1 : 0, parents),
          "Cannot make the commit");
    git_reference* pushed_ref = nullptr;
    Check(
        git_reference_create(&pushed_ref, repo.get(), "refs/quenfort/push", &commit_id, 1, nullptr),
        "Cannot keep the commit");
    git_reference_free(pushed_ref);
    // Written before the push: if its answer never comes, the next publish
    // still knows the branch's commit for its own.
    record.pending = Hex(commit_id);
    WriteRecord(request.record_file, record);

    progress.path.clear();
    if (!session.KeepGoing()) {
        throw stopped("before the push", 0);
    }
    const std::string spec = "refs/quenfort/push:" + branch_ref; // never forced
    char* spec_text = const_cast<char*>(spec.c_str());
    const git_strarray specs{&spec_text, 1};
    git_push_options push;
    git_push_options_init(&push, GIT_PUSH_OPTIONS_VERSION);
    push.callbacks = session.Callbacks();
    code = git_remote_push(remote.get(), &specs, &push);
    if (code < 0) {
        throw stopped("at the push", code);
    }
    if (!session.rejection.empty()) {
        throw CommandError("Publishing to " + target.name +
                           " stopped at the push: the server rejected it (" + session.rejection +
                           "). Nothing was pushed; " + where + " is as it was.");
    }
    record.commit = Hex(commit_id);
    record.pending.clear();
    try {
        WriteRecord(request.record_file, record);
    } catch (const CommandError& error) {
        // The push took place; the commit is still known as ours by the
        // record written before it.
        plan.warnings.push_back(std::string("The record of this publish could not be brought "
                                            "up to date: ") +
                                error.what());
    }
    report.commit = Hex(commit_id);
    for (const PlanItem& item : plan.send) {
        ++report.sent;
        report.bytes_sent += item.size;
        if (events.done) {
            events.done(item);
        }
    }
    for (const PlanItem& item : plan.remove) {
        ++report.deleted;
        if (events.done) {
            events.done(item);
        }
    }
    return report;
}

} // namespace qf::publish
