#include "error.h"
#include "publish/transport.h"

#include <QCryptographicHash>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace qf::publish {

namespace {

constexpr std::string_view kTemporarySuffix = ".quenfort-upload";

std::string Reason() {
    return std::strerror(errno);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            throw std::system_error(errno, std::generic_category());
        }
        data += n;
        size -= std::size_t(n);
    }
}

class FolderTransport : public Transport {
public:
    explicit FolderTransport(std::string folder) : folder_(std::move(folder)) {
        if (folder_.back() != '/') {
            folder_ += '/';
        }
    }

    RemoteListing List() override {
        RemoteListing listing;
        struct stat info {};
        if (::stat(folder_.c_str(), &info) != 0 && errno == ENOENT) {
            return listing;
        }
        Walk(folder_, std::string(), listing);
        return listing;
    }

    std::string Put(const std::string& local, const std::string& path, std::int64_t size,
                    const SentBytes& sent) override {
        const std::string target = folder_ + path;
        const std::string temporary = folder_ + TemporaryName(path);
        MakeParents(path);
        Fd in(::open(local.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (in.get() < 0) {
            throw CommandError("Cannot read " + local + ": " + Reason());
        }
        Fd out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (out.get() < 0) {
            throw CommandError("Cannot write " + temporary + ": " + Reason());
        }
        QCryptographicHash digest(QCryptographicHash::Sha256);
        try {
            std::vector<char> buffer(1 << 16);
            std::int64_t done = 0;
            for (;;) {
                const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
                if (n < 0 && errno == EINTR) {
                    continue;
                }
                if (n < 0) {
                    const std::string reason = Reason();
                    Discard(temporary);
                    throw CommandError("Cannot read " + local + ": " + reason);
                }
                if (n == 0) {
                    break;
                }
                WriteAll(out.get(), buffer.data(), std::size_t(n));
                digest.addData(QByteArrayView(buffer.data(), n));
                done += n;
                if (sent && !sent(done)) {
                    Discard(temporary);
                    throw TransferCancelled();
                }
            }
            if (done != size) {
                Discard(temporary);
                throw CommandError(local + " changed while it was sent");
            }
            if (::fsync(out.get()) != 0) {
                throw std::system_error(errno, std::generic_category());
            }
            if (::close(out.release()) != 0) {
                throw std::system_error(errno, std::generic_category());
            }
        } catch (const std::system_error& error) {
            Discard(temporary);
            throw CommandError("Cannot write " + temporary + ": " + error.code().message());
        }
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            const std::string reason = Reason();
            Discard(temporary);
            throw CommandError("Cannot rename " + temporary + " to " + target + ": " + reason);
        }
        return digest.result().toHex().toStdString();
    }

    void Remove(const std::string& path) override {
        const std::string target = folder_ + path;
        if (::unlink(target.c_str()) != 0 && errno != ENOENT) {
            throw CommandError("Cannot delete " + target + ": " + Reason());
        }
    }

private:
    static void Discard(const std::string& temporary) { ::unlink(temporary.c_str()); }

    void MakeParents(const std::string& path) {
        if (::mkdir(folder_.c_str(), 0755) != 0 && errno != EEXIST) {
            throw CommandError("Cannot make the folder " + folder_ + ": " + Reason());
        }
        std::size_t slash = 0;
        while ((slash = path.find('/', slash)) != std::string::npos) {
            const std::string folder = folder_ + path.substr(0, slash);
            if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
                throw CommandError("Cannot make the folder " + folder + ": " + Reason());
            }
            ++slash;
        }
    }

    static void Walk(const std::string& folder, const std::string& relative,
                     RemoteListing& listing) {
        std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
        if (!dir) {
            throw CommandError("Cannot list the folder " + folder + ": " + Reason());
        }
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir.get())) {
            names.emplace_back(entry->d_name);
        }
        for (const std::string& name : names) {
            if (name == "." || name == "..") {
                continue;
            }
            struct stat info {};
            if (::lstat((folder + name).c_str(), &info) != 0) {
                continue;
            }
            if (S_ISDIR(info.st_mode)) {
                Walk(folder + name + "/", relative + name + "/", listing);
            } else if (S_ISREG(info.st_mode)) {
                listing[relative + name] = info.st_size;
            }
        }
    }

    std::string folder_;
};

// A fingerprint as the user may type it: no "SHA256:" and colons, any case.
std::string PlainFingerprint(std::string text) {
    if (text.rfind("SHA256:", 0) == 0 || text.rfind("sha256:", 0) == 0) {
        text = text.substr(7);
    }
    std::string plain;
    for (const char c : text) {
        if (c != ':') {
            plain += char(std::toupper((unsigned char)c));
        }
    }
    return plain;
}

} // namespace

// What every transport shares: the plain-FTP warning, fingerprints as typed,
// and the temporary names files are sent under.

std::string ClearTextWarning() {
    return "ftp:// sends the password in clear text: anyone on the way can read it. Use "
           "sftp:// or ftps:// where the server offers them.";
}

bool SameFingerprint(const std::string& typed, const std::string& fingerprint) {
    return !typed.empty() && PlainFingerprint(typed) == PlainFingerprint(fingerprint);
}

std::string TemporaryName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, start) + "." + path.substr(start) + std::string(kTemporarySuffix);
}

bool IsTemporaryName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.size() > start + kTemporarySuffix.size() + 1 && path[start] == '.' &&
           path.compare(path.size() - kTemporarySuffix.size(), kTemporarySuffix.size(),
                        kTemporarySuffix) == 0;
}

std::unique_ptr<Transport> MakeFolderTransport(const std::string& folder) {
    std::string path = folder;
    if (path.rfind("file://", 0) == 0) {
        // A file URL: its path, with %XX escapes undone.
        std::string decoded;
        for (std::size_t i = 7; i < path.size(); ++i) {
            if (path[i] == '%' && i + 2 < path.size() &&
                std::isxdigit((unsigned char)path[i + 1]) &&
                std::isxdigit((unsigned char)path[i + 2])) {
                decoded += char(std::stoi(path.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                decoded += path[i];
            }
        }
        path = decoded;
    }
    if (path.empty() || path.front() != '/') {
        throw CommandError("A folder target needs an absolute path, not \"" + folder + "\"");
    }
    return std::make_unique<FolderTransport>(path);
}

} // namespace qf::publish
