#include "document/file_io.h"
#include "error.h"
#include "publish/publish_files.h"
#include "publish/transport.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <curl/curl.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace qf::publish {

namespace {

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistFree>;

Slist MakeList(const std::vector<std::string>& items) {
    curl_slist* list = nullptr;
    for (const std::string& item : items) {
        list = curl_slist_append(list, item.c_str());
    }
    return Slist(list);
}

std::string PercentDecoded(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit((unsigned char)text[i + 1]) &&
            std::isxdigit((unsigned char)text[i + 2])) {
            decoded += char(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// A path as an argument of an SFTP quote command: in double quotes, with
// quotes and backslashes escaped.
std::string Quoted(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string KeyTypeName(curl_khtype type) {
    switch (type) {
    case CURLKHTYPE_RSA1:
    case CURLKHTYPE_RSA:
        return "RSA";
    case CURLKHTYPE_DSS:
        return "DSA";
    case CURLKHTYPE_ECDSA:
        return "ECDSA";
    case CURLKHTYPE_ED25519:
        return "ED25519";
    default:
        return "unknown";
    }
}

// As ssh shows it: "SHA256:" and the unpadded base64 of the key's hash.
std::string Fingerprint(const curl_khkey* key) {
    const QByteArray raw = key->len == 0 ? QByteArray::fromBase64(QByteArray(key->key))
                                         : QByteArray(key->key, qsizetype(key->len));
    QByteArray text = QCryptographicHash::hash(raw, QCryptographicHash::Sha256).toBase64();
    while (text.endsWith('=')) {
        text.chop(1);
    }
    return "SHA256:" + text.toStdString();
}

// One element of DER: its tag, where its contents start and how long they are.
struct DerElement {
    unsigned char tag = 0;
    std::size_t start = 0;  // the element's first byte
    std::size_t body = 0;   // its contents' first byte
    std::size_t length = 0; // its contents' length
    std::size_t End() const { return body + length; }
};

DerElement ReadDer(const std::string& der, std::size_t at, std::size_t end) {
    const auto bad = [] { return CommandError("The server's certificate cannot be read"); };
    DerElement element;
    element.start = at;
    if (end > der.size() || at + 2 > end) {
        throw bad();
    }
    element.tag = static_cast<unsigned char>(der[at]);
    std::size_t pos = at + 1;
    std::size_t length = static_cast<unsigned char>(der[pos++]);
    if (length & 0x80) {
        const std::size_t count = length & 0x7f;
        if (count == 0 || count > 4 || pos + count > end) {
            throw bad();
        }
        length = 0;
        for (std::size_t i = 0; i < count; ++i) {
            length = (length << 8) | static_cast<unsigned char>(der[pos++]);
        }
    }
    if (length > end - pos) {
        throw bad();
    }
    element.body = pos;
    element.length = length;
    return element;
}

// The certificate's SHA-256 as colon-separated upper-case hexadecimal.
std::string HexFingerprint(const QByteArray& hash) {
    const QByteArray hex = hash.toHex(':').toUpper();
    return "SHA256:" + hex.toStdString();
}

class CurlTransport : public Transport {
public:
    CurlTransport(const Target& target, std::string password, std::string known_hosts,
                  std::string known_certificates, TransportQuestions questions)
        : target_(target), kind_(KindOfUrl(target.url)), password_(std::move(password)),
          known_hosts_(std::move(known_hosts)), known_certificates_(std::move(known_certificates)),
          questions_(std::move(questions)) {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
        std::string url = target.url;
        if (kind_ == TargetKind::Ftps) {
            url = "ftp://" + url.substr(7); // explicit TLS: AUTH TLS on the FTP port
        }
        if (url.back() != '/') {
            url += '/';
        }
        base_ = url;
        const std::size_t host = url.find("://") + 3;
        const std::size_t path = url.find('/', host);
        host_ = url.substr(host, path - host);
        // The folder as the SFTP server names it: "/~/" is the home folder,
        // which is where relative paths start.
        server_folder_ = PercentDecoded(url.substr(path));
        if (server_folder_.rfind("/~/", 0) == 0) {
            server_folder_ = server_folder_.substr(3);
        }
        curl_ = curl_easy_init();
        if (curl_ == nullptr) {
            throw CommandError("Cannot start a transfer (libcurl)");
        }
        if (kind_ == TargetKind::Ftp && questions_.warning) {
            questions_.warning(ClearTextWarning());
        }
    }
    ~CurlTransport() override { curl_easy_cleanup(curl_); }

    RemoteListing List() override {
        if (kind_ == TargetKind::Ftps && !trust_checked_) {
            CheckTrust();
            trust_checked_ = true;
        }
        RemoteListing listing;
        ListFolder(std::string(), listing);
        return listing;
    }

    std::string Put(const std::string& local, const std::string& path, std::int64_t size,
                    const SentBytes& sent) override {
        std::FILE* file = std::fopen(local.c_str(), "rb");
        if (file == nullptr) {
            throw CommandError("Cannot read " + local + ": " + std::strerror(errno));
        }
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, std::fclose);
        const std::string temporary = TemporaryName(path);
        Prepare(UrlOf(temporary));
        Slist after;
        if (kind_ == TargetKind::Sftp) {
            after = MakeList(
                {"*rm " + Quoted(ServerPath(path)),
                 "rename " + Quoted(ServerPath(temporary)) + " " + Quoted(ServerPath(path))});
        } else {
            // After the upload the FTP session is in the file's folder.
            after = MakeList({"RNFR " + BaseName(temporary), "RNTO " + BaseName(path)});
        }
        Reading reading{file, size};
        curl_easy_setopt(curl_, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl_, CURLOPT_INFILESIZE_LARGE, curl_off_t(size));
        curl_easy_setopt(curl_, CURLOPT_READDATA, &reading);
        curl_easy_setopt(curl_, CURLOPT_READFUNCTION, &CurlTransport::OnRead);
        curl_easy_setopt(curl_, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_RETRY));
        curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, after.get());
        sent_ = &sent;
        curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &CurlTransport::OnProgress);
        curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
        const CURLcode code = curl_easy_perform(curl_);
        sent_ = nullptr;
        if (code == CURLE_ABORTED_BY_CALLBACK && cancelled_) {
            cancelled_ = false;
            RemoveQuietly(temporary);
            throw TransferCancelled();
        }
        if (reading.changed) {
            // Stopped before the rename: only the temporary file can be there.
            RemoveQuietly(temporary);
            throw CommandError(local + " changed while it was sent; nothing of it was kept on " +
                               host_);
        }
        if (reading.failed) {
            RemoveQuietly(temporary);
            throw CommandError("Cannot read " + local);
        }
        if (code == CURLE_SSL_PINNEDPUBKEYNOTMATCH) {
            Check(code, "Cannot send " + path + " to " + host_); // nothing was sent
        }
        if (code != CURLE_OK) {
            const std::string reason = Reason(code); // before the removal asks anew
            std::string left;
            if (!RemoveQuietly(temporary)) {
                left = " (its temporary file " + temporary + " may be left on " + host_ +
                       "; the next publish to this target removes it)";
            }
            throw CommandError("Cannot send " + path + " to " + host_ + ": " + reason + left);
        }
        return reading.digest.result().toHex().toStdString();
    }

    void Remove(const std::string& path) override {
        Slist commands;
        if (kind_ == TargetKind::Sftp) {
            Prepare(base_);
            commands = MakeList({"rm " + Quoted(ServerPath(path))});
            curl_easy_setopt(curl_, CURLOPT_QUOTE, commands.get());
        } else {
            const std::size_t slash = path.rfind('/');
            Prepare(UrlOf(slash == std::string::npos ? std::string() : path.substr(0, slash + 1)));
            commands = MakeList({"DELE " + BaseName(path)});
            curl_easy_setopt(curl_, CURLOPT_POSTQUOTE, commands.get());
        }
        curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
        const CURLcode code = curl_easy_perform(curl_);
        if (code == CURLE_QUOTE_ERROR && (std::strstr(error_, "No such file") != nullptr ||
                                          last_reply_.find("No such file") != std::string::npos)) {
            return;
        }
        Check(code, "Cannot delete " + path + " on " + host_);
    }

private:
    static std::string BaseName(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }

    std::string ServerPath(const std::string& path) const { return server_folder_ + path; }

    // The server's URL without the target's folder: a login and nothing more.
    std::string ServerRoot() const {
        return base_.substr(0, base_.find('/', base_.find("://") + 3) + 1);
    }

    // The URL of a relative path under the target: each name escaped.
    std::string UrlOf(const std::string& path) const {
        std::string url = base_;
        std::size_t start = 0;
        while (start < path.size()) {
            std::size_t slash = path.find('/', start);
            const bool folder = slash != std::string::npos;
            if (!folder) {
                slash = path.size();
            }
            char* escaped = curl_easy_escape(curl_, path.data() + start, int(slash - start));
            url += escaped;
            curl_free(escaped);
            if (folder) {
                url += '/';
            }
            start = slash + 1;
        }
        return url;
    }

    void Prepare(const std::string& url) {
        curl_easy_reset(curl_);
        error_[0] = '\0';
        last_reply_.clear();
        host_key_problem_.clear();
        curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, error_);
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, 30L);
        // A connection that carries nothing for a minute is lost.
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, 60L);
        curl_easy_setopt(curl_, CURLOPT_USERNAME, target_.user.c_str());
        if (kind_ == TargetKind::Sftp) {
            curl_easy_setopt(curl_, CURLOPT_SSH_KNOWNHOSTS, known_hosts_.c_str());
            curl_easy_setopt(curl_, CURLOPT_SSH_KEYFUNCTION, &CurlTransport::OnHostKey);
            curl_easy_setopt(curl_, CURLOPT_SSH_KEYDATA, this);
            if (target_.key.empty()) {
                curl_easy_setopt(curl_, CURLOPT_SSH_AUTH_TYPES,
                                 long(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
                curl_easy_setopt(curl_, CURLOPT_PASSWORD, password_.c_str());
            } else {
                curl_easy_setopt(curl_, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PUBLICKEY));
                curl_easy_setopt(curl_, CURLOPT_SSH_PRIVATE_KEYFILE, target_.key.c_str());
                const std::string pub = target_.key + ".pub";
                public_key_.clear(); // empty: derived from the private key
                if (std::FILE* f = std::fopen(pub.c_str(), "r")) {
                    std::fclose(f);
                    public_key_ = pub;
                }
                curl_easy_setopt(curl_, CURLOPT_SSH_PUBLIC_KEYFILE, public_key_.c_str());
                if (!password_.empty()) {
                    curl_easy_setopt(curl_, CURLOPT_KEYPASSWD, password_.c_str());
                }
            }
        } else {
            curl_easy_setopt(curl_, CURLOPT_PASSWORD, password_.c_str());
            curl_easy_setopt(curl_, CURLOPT_DEBUGFUNCTION, &CurlTransport::OnDebug);
            curl_easy_setopt(curl_, CURLOPT_DEBUGDATA, this);
            curl_easy_setopt(curl_, CURLOPT_VERBOSE, 1L);
            if (kind_ == TargetKind::Ftps) {
                curl_easy_setopt(curl_, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
                if (!pin_.empty()) {
                    // A certificate the user accepted: its public key is the check.
                    curl_easy_setopt(curl_, CURLOPT_PINNEDPUBLICKEY, pin_.c_str());
                    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 0L);
                    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 0L);
                } else {
                    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
                    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
                }
                if (!target_.ca.empty()) {
                    curl_easy_setopt(curl_, CURLOPT_CAINFO, target_.ca.c_str());
                }
            }
        }
    }

    std::string Reason(CURLcode code) const {
        if (!host_key_problem_.empty()) {
            return host_key_problem_;
        }
        std::string text = error_[0] != '\0' ? error_ : curl_easy_strerror(code);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        if (!last_reply_.empty() && (last_reply_[0] == '4' || last_reply_[0] == '5') &&
            text.find(last_reply_) == std::string::npos) {
            text += " (the server said: " + last_reply_ + ")";
        }
        return text;
    }

    void Check(CURLcode code, const std::string& what) const {
        if (code == CURLE_SSL_PINNEDPUBKEYNOTMATCH && !pin_.empty()) {
            throw CommandError(what + ": the certificate of " + host_ +
                               " has changed and differs from the one accepted at the first "
                               "connection: nothing was sent. If the server's certificate "
                               "really was changed, remove its line from " +
                               known_certificates_ + ".");
        }
        if (code != CURLE_OK) {
            throw CommandError(what + ": " + Reason(code));
        }
    }

    // FTPS: a certificate accepted before is pinned; otherwise the server
    // must pass verification, or the user accept its certificate once.
    void CheckTrust() {
        std::vector<std::string> lines;
        if (EntryExists(known_certificates_)) {
            lines = ReadSettingLines(known_certificates_);
        }
        for (const std::string& line : lines) {
            // "HOST FINGERPRINT PIN"
            const std::size_t first = line.find(' ');
            const std::size_t last = line.rfind(' ');
            if (first != std::string::npos && line.substr(0, first) == host_ && last > first) {
                pin_ = line.substr(last + 1);
                return;
            }
        }
        Prepare(ServerRoot());
        curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
        const CURLcode code = curl_easy_perform(curl_);
        if (code != CURLE_PEER_FAILED_VERIFICATION) {
            Check(code, "Cannot log in to " + host_);
            return;
        }
        const std::string reason = Reason(code);
        const std::string der = ServerCertificate();
        if (der.empty()) {
            throw CommandError("Cannot log in to " + host_ + ": " + reason);
        }
        const CertificateIdentity identity = IdentifyCertificate(der);
        if (!questions_.accept_certificate ||
            !questions_.accept_certificate(host_, identity.fingerprint, reason)) {
            throw CommandError("The certificate of " + host_ + " could not be verified (" + reason +
                               ") and was not accepted (" + identity.fingerprint +
                               "): nothing was sent");
        }
        std::string text = "# FTPS certificates accepted by the user: host, SHA-256, public key.\n";
        for (const std::string& line : lines) {
            text += line + "\n";
        }
        text += host_ + " " + identity.fingerprint + " " + identity.pin + "\n";
        WriteFileAtomically(known_certificates_, text);
        pin_ = identity.pin;
    }

    // The certificate the server shows, in DER, fetched without the check
    // and without the user's login (the connection is not kept).
    std::string ServerCertificate() {
        Prepare(ServerRoot());
        curl_easy_setopt(curl_, CURLOPT_USERNAME, "anonymous");
        curl_easy_setopt(curl_, CURLOPT_PASSWORD, "");
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(curl_, CURLOPT_CERTINFO, 1L);
        curl_easy_setopt(curl_, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
        curl_easy_perform(curl_); // the anonymous login may well be refused
        curl_certinfo* info = nullptr;
        if (curl_easy_getinfo(curl_, CURLINFO_CERTINFO, &info) != CURLE_OK || info == nullptr ||
            info->num_of_certs < 1) {
            return {};
        }
        for (curl_slist* field = info->certinfo[0]; field != nullptr; field = field->next) {
            const std::string_view text = field->data;
            if (text.rfind("Cert:", 0) != 0) {
                continue;
            }
            const std::string_view begin = "-----BEGIN CERTIFICATE-----";
            const std::string_view end = "-----END CERTIFICATE-----";
            const std::size_t from = text.find(begin);
            const std::size_t to = text.find(end);
            if (from == std::string_view::npos || to == std::string_view::npos || to < from) {
                return {};
            }
            const std::string_view body =
                text.substr(from + begin.size(), to - from - begin.size());
            return QByteArray::fromBase64(QByteArray(body.data(), qsizetype(body.size())))
                .toStdString();
        }
        return {};
    }

    // Lists one folder. FTP servers are asked for MLSD, which says plainly
    // what is a file; one that does not know it (vsftpd) is asked for
    // "LIST -a" (hidden files too), then for LIST, for the rest of the run.
    void ListFolder(const std::string& folder, RemoteListing& listing) {
        std::string text;
        CURLcode code = CURLE_OK;
        for (;;) {
            text.clear();
            Prepare(UrlOf(folder));
            curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &CurlTransport::OnText);
            curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &text);
            if (kind_ != TargetKind::Sftp) {
                curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST,
                                 list_command_.empty() ? "MLSD" : list_command_.c_str());
            }
            code = curl_easy_perform(curl_);
            if (kind_ == TargetKind::Sftp || code == CURLE_OK || !CommandUnknown() ||
                list_command_ == "LIST") {
                break;
            }
            list_command_ = list_command_.empty() ? "LIST -a" : "LIST";
        }
        if (code == CURLE_REMOTE_FILE_NOT_FOUND ||
            (code == CURLE_REMOTE_ACCESS_DENIED && kind_ != TargetKind::Sftp)) {
            return; // the folder is not there yet
        }
        Check(code, "Cannot list " + (folder.empty() ? std::string("the target folder") : folder) +
                        " on " + host_);
        std::vector<std::string> folders;
        const ListingFormat format = kind_ == TargetKind::Sftp || !list_command_.empty()
                                         ? ListingFormat::List
                                         : ListingFormat::Mlsd;
        for (const std::string& line : TextLines(text)) {
            const ListedEntry entry = ReadListingLine(line, format);
            if (entry.name.empty() || entry.name == "." || entry.name == "..") {
                continue;
            }
            if (entry.kind == ListedEntry::Kind::Folder) {
                folders.push_back(folder + entry.name + "/");
            } else if (entry.kind == ListedEntry::Kind::File) {
                listing[folder + entry.name] = entry.size;
            }
        }
        for (const std::string& sub : folders) {
            ListFolder(sub, listing);
        }
    }

    // The server's last reply says it does not know or take the command
    // (500 to 502, 504).
    bool CommandUnknown() const {
        return last_reply_.rfind("500", 0) == 0 || last_reply_.rfind("501", 0) == 0 ||
               last_reply_.rfind("502", 0) == 0 || last_reply_.rfind("504", 0) == 0;
    }

    // The file being sent: read once, hashed as it goes, and stopped when
    // it turns out longer or shorter than the plan said.
    struct Reading {
        std::FILE* file;
        std::int64_t size;
        std::int64_t done = 0;
        QCryptographicHash digest{QCryptographicHash::Sha256};
        bool changed = false;
        bool failed = false;
    };

    static std::size_t OnRead(char* buffer, std::size_t size, std::size_t count, void* user) {
        auto* reading = static_cast<Reading*>(user);
        const std::size_t n = std::fread(buffer, 1, size * count, reading->file);
        if (n == 0 && std::ferror(reading->file)) {
            reading->failed = true;
            return CURL_READFUNC_ABORT;
        }
        reading->done += std::int64_t(n);
        if (reading->done > reading->size || (n == 0 && reading->done != reading->size)) {
            reading->changed = true;
            return CURL_READFUNC_ABORT;
        }
        reading->digest.addData(QByteArrayView(buffer, qsizetype(n)));
        return n;
    }

    // Removes a file this run left, when it can: a failure to do so is
    // mended by the next publish, which removes such leftovers first.
    bool RemoveQuietly(const std::string& path) {
        try {
            Remove(path);
            return true;
        } catch (const CommandError&) {
            return false;
        }
    }

    static std::size_t OnText(char* data, std::size_t size, std::size_t count, void* user) {
        static_cast<std::string*>(user)->append(data, size * count);
        return size * count;
    }

    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent) {
        auto* self = static_cast<CurlTransport*>(user);
        if (self->sent_ != nullptr && *self->sent_ && !(*self->sent_)(std::int64_t(sent))) {
            self->cancelled_ = true;
            return 1;
        }
        return 0;
    }

    static int OnDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
        if (type == CURLINFO_HEADER_IN) {
            std::string line(data, size);
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
                line.pop_back();
            }
            if (!line.empty() && std::isdigit((unsigned char)line[0])) {
                static_cast<CurlTransport*>(user)->last_reply_ = line;
            }
        }
        return 0;
    }

    static int OnHostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match,
                         void* user) {
        auto* self = static_cast<CurlTransport*>(user);
        const std::string fingerprint = Fingerprint(found);
        const std::string type = KeyTypeName(found->keytype);
        if (match == CURLKHMATCH_OK) {
            return CURLKHSTAT_FINE;
        }
        if (match == CURLKHMATCH_MISMATCH) {
            self->host_key_problem_ =
                "The host key of " + self->host_ + " has changed (" + type + " " + fingerprint +
                ") and differs from the one pinned at the first connection: nothing was sent. "
                "If the server's key really was changed, remove its line from " +
                self->known_hosts_ + ".";
            return CURLKHSTAT_REJECT;
        }
        if (self->questions_.accept_host_key &&
            self->questions_.accept_host_key(self->host_, type, fingerprint)) {
            return CURLKHSTAT_FINE_ADD_TO_FILE;
        }
        self->host_key_problem_ = "The host key of " + self->host_ + " (" + type + " " +
                                  fingerprint + ") was not accepted: nothing was sent";
        return CURLKHSTAT_REJECT;
    }

    Target target_;
    TargetKind kind_;
    std::string password_;
    std::string known_hosts_;
    std::string known_certificates_;
    TransportQuestions questions_;
    std::string pin_; // FTPS: the accepted certificate's public key
    bool trust_checked_ = false;
    std::string base_;
    std::string host_;
    std::string server_folder_;
    std::string public_key_;
    CURL* curl_ = nullptr;
    char error_[CURL_ERROR_SIZE] = {};
    std::string last_reply_;
    std::string host_key_problem_;
    std::string list_command_; // FTP: empty for MLSD, else what lists a folder
    const SentBytes* sent_ = nullptr;
    bool cancelled_ = false;
};

std::int64_t ListedSize(std::string_view digits) {
    std::int64_t size = 0;
    for (const char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)) || size > (INT64_MAX - 9) / 10) {
            return 0;
        }
        size = size * 10 + (c - '0');
    }
    return size;
}

// The next field of `line` from `at` on, blanks before it passed over.
std::string_view NextField(std::string_view line, std::size_t& at) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
        ++at;
    }
    const std::size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t') {
        ++at;
    }
    return line.substr(start, at - start);
}

// A date as Windows servers list it: "12-09-26" or "12-09-2026".
bool IsListedDate(std::string_view field) {
    if (field.size() != 8 && field.size() != 10) {
        return false;
    }
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool dash = i == 2 || i == 5;
        if (dash ? field[i] != '-' : !std::isdigit(static_cast<unsigned char>(field[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

ListedEntry ReadListingLine(std::string_view line, ListingFormat format) {
    ListedEntry entry;
    if (format == ListingFormat::Mlsd) {
        // "type=file;size=20;modify=20261209130000; name"
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) {
            return entry;
        }
        std::string facts = ";" + std::string(line.substr(0, space));
        for (char& c : facts) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        entry.name = line.substr(space + 1);
        if (facts.find(";type=dir;") != std::string::npos) {
            entry.kind = ListedEntry::Kind::Folder;
        } else if (facts.find(";type=file;") != std::string::npos) {
            entry.kind = ListedEntry::Kind::File;
        }
        if (const std::size_t at = facts.find(";size="); at != std::string::npos) {
            const std::size_t end = facts.find(';', at + 6);
            entry.size = ListedSize(std::string_view(facts).substr(at + 6, end - at - 6));
        }
        return entry;
    }
    std::size_t at = 0;
    const std::string_view first = NextField(line, at);
    if (IsListedDate(first)) {
        // "12-09-26  01:00PM       <DIR>          folder"
        NextField(line, at); // the time
        const std::string_view size = NextField(line, at);
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        if (at >= line.size()) {
            return entry;
        }
        entry.name = line.substr(at);
        if (size == "<DIR>") {
            entry.kind = ListedEntry::Kind::Folder;
        } else {
            entry.kind = ListedEntry::Kind::File;
            entry.size = ListedSize(size);
        }
        return entry;
    }
    // "-rw-r--r--    1 user     group         20 Dec  9 13:00 name": the
    // name stands after eight fields.
    if (first.size() < 10) {
        return entry;
    }
    std::string_view size;
    for (int field = 1; field < 8 && at < line.size(); ++field) {
        const std::string_view value = NextField(line, at);
        if (field == 4) {
            size = value;
        }
    }
    if (at >= line.size()) {
        return entry;
    }
    entry.name = line.substr(at + 1);
    if (first[0] == 'd') {
        entry.kind = ListedEntry::Kind::Folder;
    } else if (first[0] == '-') {
        entry.kind = ListedEntry::Kind::File;
        entry.size = ListedSize(size);
    }
    return entry;
}

std::unique_ptr<Transport> MakeCurlTransport(const Target& target, const std::string& password,
                                             const std::string& known_hosts,
                                             const std::string& known_certificates,
                                             const TransportQuestions& questions) {
    return std::make_unique<CurlTransport>(target, password, known_hosts, known_certificates,
                                           questions);
}

CertificateIdentity IdentifyCertificate(const std::string& der) {
    // Certificate: SEQUENCE { tbsCertificate: SEQUENCE { [0] version (optional),
    // serial, signature, issuer, validity, subject, subjectPublicKeyInfo, ... } ... }
    const DerElement certificate = ReadDer(der, 0, der.size());
    const DerElement tbs = ReadDer(der, certificate.body, certificate.End());
    if (certificate.tag != 0x30 || tbs.tag != 0x30) {
        throw CommandError("The server's certificate cannot be read");
    }
    std::size_t at = tbs.body;
    DerElement field = ReadDer(der, at, tbs.End());
    if (field.tag == 0xa0) { // the version
        at = field.End();
    }
    for (int skip = 0; skip < 5; ++skip) { // serial, signature, issuer, validity, subject
        at = ReadDer(der, at, tbs.End()).End();
    }
    const DerElement key = ReadDer(der, at, tbs.End());
    if (key.tag != 0x30) {
        throw CommandError("The server's certificate cannot be read");
    }
    const QByteArray whole(der.data(), qsizetype(der.size()));
    const QByteArray key_info = whole.mid(qsizetype(key.start), qsizetype(key.End() - key.start));
    CertificateIdentity identity;
    identity.fingerprint =
        HexFingerprint(QCryptographicHash::hash(whole, QCryptographicHash::Sha256));
    identity.pin =
        "sha256//" +
        QCryptographicHash::hash(key_info, QCryptographicHash::Sha256).toBase64().toStdString();
    return identity;
}

} // namespace qf::publish
