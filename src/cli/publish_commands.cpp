#include "cli_commands.h"

#include "error.h"
#include "loaded_modules.h"
#include "publish/publish.h"
#include "publish/secret_store.h"
#include "workspace/project.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace qf::cli {

namespace {

constexpr std::string_view kPublishSynopsis =
    "publish PROJECT [--target=NAME] [--dry-run] [--delete] [--leave-unused] [--force] "
    "[--password-stdin] [--host-key=SHA256:...] [--accept-certificate=SHA256:...]";
constexpr std::string_view kTargetSynopsis =
    "publish-target PROJECT NAME URL [user=NAME] [key=PATH] [ca=PATH] [address=URL] "
    "[branch=NAME] [folder=PATH] [--password-stdin]";

// The controlling terminal, for questions; -1 when there is none.
class Terminal {
public:
    Terminal() : fd_(::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY)) {}
    ~Terminal() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool Present() const { return fd_ >= 0; }

    // Asks `question` and reads one line; without echo for a secret.
    std::string Ask(const std::string& question, bool secret) {
        Write(question);
        termios saved{};
        const bool quiet = secret && ::tcgetattr(fd_, &saved) == 0;
        if (quiet) {
            termios silent = saved;
            silent.c_lflag &= ~tcflag_t(ECHO);
            ::tcsetattr(fd_, TCSAFLUSH, &silent);
        }
        std::string line;
        char c = 0;
        for (;;) {
            const ssize_t n = ::read(fd_, &c, 1);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0 || c == '\n') {
                break;
            }
            line += c;
        }
        if (quiet) {
            ::tcsetattr(fd_, TCSAFLUSH, &saved);
            Write("\n");
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line;
    }

private:
    void Write(const std::string& text) {
        if (::write(fd_, text.data(), text.size()) < 0) {
            // A terminal that cannot be written to gets no question text.
        }
    }
    int fd_;
};

std::string PasswordFromStdin() {
    std::string text = ReadStandardInput();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

using publish::SizeText;

// The transport to a server, from the transfers module, which is loaded only
// when a target is a server.
std::unique_ptr<publish::Transport> ServerTransport(const publish::Target& target,
                                                    const std::string& password,
                                                    const std::string& known_hosts,
                                                    const std::string& known_certificates,
                                                    const publish::TransportQuestions& questions) {
    return Transfers().make_server_transport(target, password, known_hosts, known_certificates,
                                             questions);
}

publish::PublishReport GitPublish(const publish::GitPublishRequest& request,
                                  const publish::PublishOptions& options,
                                  const publish::PublishEvents& events) {
    return Transfers().publish_to_git(request, options, events);
}

int PublishCommand(const Args& args, std::ostream& out) {
    std::string project;
    std::string target_name;
    std::string host_key;
    std::string certificate;
    publish::PublishOptions options;
    options.pictures = Pictures().picture_work();
    bool password_stdin = false;
    for (const std::string& arg : args) {
        if (arg.rfind("--target=", 0) == 0) {
            target_name = arg.substr(9);
        } else if (arg == "--dry-run") {
            options.dry_run = true;
        } else if (arg == "--delete") {
            options.delete_gone = true;
        } else if (arg == "--leave-unused") {
            options.leave_out_unused = true;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--password-stdin") {
            password_stdin = true;
        } else if (arg.rfind("--host-key=", 0) == 0) {
            host_key = arg.substr(11);
        } else if (arg.rfind("--accept-certificate=", 0) == 0) {
            certificate = arg.substr(21);
        } else if (arg.rfind("--", 0) == 0 || !project.empty()) {
            throw UsageError("usage: quenfort-cli " + std::string(kPublishSynopsis));
        } else {
            project = arg;
        }
    }
    if (project.empty()) {
        throw UsageError("usage: quenfort-cli " + std::string(kPublishSynopsis));
    }
    const std::string folder = FolderPath(project);
    const publish::Target target = publish::FindTarget(folder, target_name);
    Terminal terminal;
    if (password_stdin) {
        options.password = PasswordFromStdin();
    } else if (publish::NeedsPassword(target)) {
        if (terminal.Present()) {
            options.password =
                terminal.Ask("Password of " + target.user + " for " + target.url + ": ", true);
        } else {
            std::optional<std::string> kept =
                Transfers().desktop_secret_store()->Read(publish::SecretKey(folder, target.name));
            if (!kept) {
                throw CommandError("No password for " + target.name +
                                   ": there is no terminal to ask and the desktop's secret "
                                   "store holds none. Give it with --password-stdin; nothing "
                                   "was sent.");
            }
            options.password = *kept;
        }
    }
    publish::PublishEvents events;
    events.questions.warning = [](const std::string& text) {
        std::cerr << "Warning: " << text << '\n';
    };
    events.questions.accept_host_key = [&](const std::string& host, const std::string& type,
                                           const std::string& fingerprint) {
        if (!host_key.empty()) {
            return host_key == fingerprint;
        }
        if (!terminal.Present()) {
            std::cerr << "The host key of " << host << " is not known yet: " << type << ' '
                      << fingerprint
                      << ".\nCompare it with the server's and give it with --host-key=.\n";
            return false;
        }
        const std::string answer = terminal.Ask(
            "The host key of " + host + " is not known yet:\n  " + type + " " + fingerprint +
                "\nIs this the server's key? Pin it for this target (yes/no)? ",
            false);
        return answer == "yes";
    };
    events.questions.accept_certificate = [&](const std::string& host,
                                              const std::string& fingerprint,
                                              const std::string& reason) {
        if (!certificate.empty()) {
            return publish::SameFingerprint(certificate, fingerprint);
        }
        const std::string about = "The certificate of " + host + " could not be verified (" +
                                  reason + "). Its fingerprint is\n  " + fingerprint + "\n";
        if (!terminal.Present()) {
            std::cerr << about
                      << "Compare it with the server's and give it with --accept-certificate=.\n";
            return false;
        }
        const std::string answer = terminal.Ask(
            about + "Is this the server's certificate? Accept it for this host (yes/no)? ", false);
        return answer == "yes";
    };
    events.confirm_replace = [&](const std::string& question) {
        if (!terminal.Present()) {
            std::cerr << question << "\nGive --force to replace them.\n";
            return false;
        }
        return terminal.Ask(question + " (yes/no) ", false) == "yes";
    };
    events.done = [&](const publish::PlanItem& item) {
        out << publish::DescribeStep(item, false) << '\n';
        out.flush();
    };
    const publish::PublishReport report =
        publish::Publish(folder, target, options, events, &ServerTransport, &GitPublish);
    const publish::Plan& plan = report.plan;
    for (const std::string& skipped : plan.skipped) {
        std::cerr << "Not published: " << skipped << '\n';
    }
    for (const std::string& warning : plan.warnings) {
        std::cerr << "Warning: " << warning << '\n';
    }
    for (const std::string& note : plan.notes) {
        std::cerr << "Note: " << note << '\n';
    }
    if (options.dry_run) {
        for (const publish::PlanItem& item : plan.send) {
            out << publish::DescribeStep(item, true) << '\n';
        }
        for (const publish::PlanItem& item : plan.remove) {
            out << publish::DescribeStep(item, true) << '\n';
        }
        for (const publish::PlanItem& item : plan.keep) {
            out << "would keep " << item.path << " (" << SizeText(item.size)
                << "; give --delete to delete it)\n";
        }
        out << publish::DescribeReport(target.name, report, true) << '\n';
        return 0;
    }
    for (const publish::PlanItem& item : plan.keep) {
        out << "kept " << item.path << " (" << SizeText(item.size)
            << "; gone from the project, give --delete to delete it)\n";
    }
    out << publish::DescribeReport(target.name, report, false) << '\n';
    return 0;
}

int PublishTargetCommand(const Args& args, std::ostream& out) {
    std::vector<std::string> positional;
    publish::Target target;
    bool password_stdin = false;
    for (const std::string& arg : args) {
        if (arg == "--password-stdin") {
            password_stdin = true;
        } else if (arg.rfind("user=", 0) == 0) {
            target.user = arg.substr(5);
        } else if (arg.rfind("key=", 0) == 0) {
            target.key = arg.substr(4);
        } else if (arg.rfind("ca=", 0) == 0) {
            target.ca = arg.substr(3);
        } else if (arg.rfind("address=", 0) == 0) {
            target.address = arg.substr(8);
        } else if (arg.rfind("branch=", 0) == 0) {
            target.branch = arg.substr(7);
        } else if (arg.rfind("folder=", 0) == 0) {
            target.folder = arg.substr(7);
        } else if (arg.rfind("--", 0) == 0 || positional.size() == 3) {
            throw UsageError("usage: quenfort-cli " + std::string(kTargetSynopsis));
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3) {
        throw UsageError("usage: quenfort-cli " + std::string(kTargetSynopsis));
    }
    const std::string folder = FolderPath(positional[0]);
    target.name = positional[1];
    target.url = positional[2];
    // Both the target and its password are kept, or neither: the target is
    // checked, then the password kept, and only then the target written.
    publish::CheckTarget(folder, target);
    if (password_stdin) {
        const std::string password = PasswordFromStdin();
        try {
            Transfers().desktop_secret_store()->Write(publish::SecretKey(folder, target.name),
                                                      password);
        } catch (const CommandError& error) {
            throw CommandError(std::string(error.what()) + ". The target " + target.name +
                               " was not set either: set it without --password-stdin and give "
                               "the password when you publish (publish --password-stdin, or at "
                               "the terminal's question).");
        }
    }
    publish::SetTarget(folder, target);
    out << "Target " << target.name << " set: " << target.url << '\n';
    if (publish::KindOfUrl(target.url) == publish::TargetKind::Ftp) {
        std::cerr << "Warning: ftp:// sends the password in clear text; use sftp:// or ftps:// "
                     "where the server offers them.\n";
    }
    return 0;
}

} // namespace

std::vector<Command> PublishCommands() {
    return {
        {"publish", kPublishSynopsis, "sends what changed in the project to a publish target",
         "Sends the project's pages, js.js and every other file of the project folder (not\n"
         "hidden files, nor the editor's own: lock files, save files, the manifest and the\n"
         "targets) to the target, only what changed since the last publish or differs on\n"
         "the server in size. Each file is sent under a temporary name and renamed when\n"
         "complete. One line a file, then a summary.\n"
         "\n"
         "  --target=NAME     the target (needed when the project has more than one)\n"
         "  --dry-run         lists what would be added, replaced and deleted; sends nothing\n"
         "  --delete          deletes on the server the files we published that the project\n"
         "                    no longer has (without it they are kept and listed)\n"
         "  --leave-unused    leaves out the pictures and media of images/ and media/\n"
         "                    that no page uses (check-site lists them)\n"
         "  --force           a git target: publishes even when others pushed to its branch\n"
         "                    since the last publish, and replaces a branch's files that\n"
         "                    the project did not put there without asking (their commits\n"
         "                    stay in the branch's history)\n"
         "  --password-stdin  reads the password (or the key's passphrase) from standard\n"
         "                    input; without it a terminal is asked, and with no terminal\n"
         "                    the desktop's secret store\n"
         "  --host-key=SHA256:...  accepts an SFTP server's host key not pinned yet when its\n"
         "                    fingerprint is this one (otherwise a terminal is asked)\n"
         "  --accept-certificate=SHA256:AB:CD:...  accepts an FTPS server's certificate that\n"
         "                    cannot be verified (a self-signed one) when its SHA-256\n"
         "                    fingerprint is this one (otherwise a terminal is asked); it is\n"
         "                    pinned for the host from then on\n"
         "\n"
         "A git target gets one commit on its branch whose files are exactly the site\n"
         "(plus CNAME and .nojekyll), pushed only when nobody else pushed there since.\n"
         "A changed SFTP host key, or a changed certificate once one was accepted, is\n"
         "refused. Exits with 1 on any failure, saying why; the manifest then lists only\n"
         "what arrived and publishing again completes it.\n",
         PublishCommand},
        {"publish-target", kTargetSynopsis, "sets where the project is published",
         "Sets (or replaces) the target NAME of the project: URL is sftp://HOST[:PORT]/FOLDER,\n"
         "ftps://HOST[:PORT]/FOLDER (explicit TLS, the certificate checked; ca=PATH trusts\n"
         "one more certificate; one that cannot be verified is accepted once at publish),\n"
         "ftp://HOST[:PORT]/FOLDER (the password travels in clear), the absolute path\n"
         "of a folder, or a git repository: ssh://[USER@]HOST[:PORT]/PATH, USER@HOST:PATH,\n"
         "https://HOST/PATH (user= and a token as the password) or git+file:///PATH;\n"
         "branch= names its branch (pages unless given), folder= the folder in it that\n"
         "holds the site. user= names the login; key= an SSH private key\n"
         "for sftp:// and git over SSH. address= gives the site's address as published there (a "
         "staging\n"
         "server's), for its canonical links and sitemap, instead of the site's own.\n"
         "A folder may not be the project or inside it. Passwords never go into the\n"
         "targets file: --password-stdin keeps the password in the desktop's secret\n"
         "store (both are kept, or neither).\n",
         PublishTargetCommand},
    };
}

} // namespace qf::cli
