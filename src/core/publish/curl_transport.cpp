#include "document/file_io.h"
#include "error.h"
#include "publish/publish_files.h"
#include "publish/transport.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <curl/curl.h>

#include <cctype>
#include <cerrno>
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

    void Put(const std::string& local, const std::string& path, std::int64_t size,
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
        curl_easy_setopt(curl_, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl_, CURLOPT_INFILESIZE_LARGE, curl_off_t(size));
        curl_easy_setopt(curl_, CURLOPT_READDATA, file);
        curl_easy_setopt(curl_, CURLOPT_READFUNCTION, &fread);
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
            throw TransferCancelled();
        }
        Check(code, "Cannot send " + path + " to " + host_);
        if (std::ferror(file)) {
            throw CommandError("Cannot read " + local);
        }
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

    void ListFolder(const std::string& folder, RemoteListing& listing) {
        std::string text;
        Prepare(UrlOf(folder));
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &CurlTransport::OnText);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &text);
        if (kind_ != TargetKind::Sftp) {
            curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, "MLSD");
        }
        const CURLcode code = curl_easy_perform(curl_);
        if (code == CURLE_REMOTE_FILE_NOT_FOUND ||
            (code == CURLE_REMOTE_ACCESS_DENIED && kind_ != TargetKind::Sftp)) {
            return; // the folder is not there yet
        }
        Check(code, "Cannot list " + (folder.empty() ? std::string("the target folder") : folder) +
                        " on " + host_);
        std::vector<std::string> folders;
        for (const std::string& line : TextLines(text)) {
            std::string name;
            bool is_folder = false;
            bool is_file = false;
            long long size = 0;
            if (kind_ == TargetKind::Sftp) {
                // "-rw-r--r--    1 user     group         20 Dec  9 13:00 name"
                std::size_t pos = 0;
                for (int field = 0; field < 8 && pos < line.size(); ++field) {
                    while (pos < line.size() && line[pos] == ' ') {
                        ++pos;
                    }
                    const std::size_t field_start = pos;
                    while (pos < line.size() && line[pos] != ' ') {
                        ++pos;
                    }
                    if (field == 4) {
                        size = std::atoll(line.substr(field_start, pos - field_start).c_str());
                    }
                }
                if (pos >= line.size()) {
                    continue;
                }
                name = line.substr(pos + 1);
                is_folder = line[0] == 'd';
                is_file = line[0] == '-';
            } else {
                // "type=file;size=20;modify=20261209130000; name"
                const std::size_t space = line.find(' ');
                if (space == std::string::npos) {
                    continue;
                }
                const std::string facts = ";" + line.substr(0, space);
                name = line.substr(space + 1);
                std::string lower = facts;
                for (char& c : lower) {
                    c = char(std::tolower((unsigned char)c));
                }
                is_folder = lower.find(";type=dir;") != std::string::npos;
                is_file = lower.find(";type=file;") != std::string::npos;
                const std::size_t at = lower.find(";size=");
                if (at != std::string::npos) {
                    size = std::atoll(lower.c_str() + at + 6);
                }
            }
            if (name.empty() || name == "." || name == "..") {
                continue;
            }
            if (is_folder) {
                folders.push_back(folder + name + "/");
            } else if (is_file) {
                listing[folder + name] = size;
            }
        }
        for (const std::string& sub : folders) {
            ListFolder(sub, listing);
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
    const SentBytes* sent_ = nullptr;
    bool cancelled_ = false;
};

} // namespace

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
