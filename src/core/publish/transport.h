#pragma once

#include "publish/targets.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace qf::publish {

// Every file under a target's folder (hidden ones too) by its relative path.
using RemoteListing = std::map<std::string, std::int64_t>;

// Called while a file is sent with the bytes sent so far; false cancels.
using SentBytes = std::function<bool(std::int64_t sent)>;

// What a transport asks of the user.
struct TransportQuestions {
    // The server's host key is not pinned yet: true pins it.
    std::function<bool(const std::string& host, const std::string& key_type,
                       const std::string& fingerprint)>
        accept_host_key;
    // An FTPS server's certificate failed verification (`reason`): true
    // accepts it once, and it is pinned for the host from then on.
    std::function<bool(const std::string& host, const std::string& fingerprint,
                       const std::string& reason)>
        accept_certificate;
    // Something the user should know (plain FTP sends the password in clear).
    std::function<void(const std::string& text)> warning;
};

// What a plain ftp:// target is warned about.
std::string ClearTextWarning();

// The name a file is sent under before it is renamed to `path`: a hidden
// name in the same folder.
std::string TemporaryName(const std::string& path);
bool IsTemporaryName(const std::string& path);

// One line of a server's folder listing, read as MLSD's facts
// ("type=file;size=20; name") or as LIST's lines in the Unix format
// ("-rw-r--r--  1 user group  20 Dec  9 13:00 name") or the Windows one
// ("12-09-26  01:00PM   20 name", "<DIR>" in place of a folder's size).
// Links, devices and lines of neither kind are Other.
struct ListedEntry {
    enum class Kind { Other, File, Folder };
    Kind kind = Kind::Other;
    std::string name;
    std::int64_t size = 0;
};
enum class ListingFormat { Mlsd, List };
ListedEntry ReadListingLine(std::string_view line, ListingFormat format);

// One way to put files on a target. Each failure throws CommandError with
// the server's or the system's reason.
class Transport {
public:
    virtual ~Transport() = default;
    // Every file under the target; a target folder that is not there yet is empty.
    virtual RemoteListing List() = 0;
    // Sends `local` as `path` through its temporary name, renamed when
    // complete, and returns the SHA-256 (hex) of the bytes it sent: the file
    // is read once, as it goes. A file that is not `size` bytes long when it
    // is read is refused ("changed while it was sent") and nothing of it is
    // left on the target.
    virtual std::string Put(const std::string& local, const std::string& path, std::int64_t size,
                            const SentBytes& sent) = 0;
    // Removes the file `path`; one that is not there is no failure.
    virtual void Remove(const std::string& path) = 0;
};

// A sent file that the user stopped.
class TransferCancelled : public std::runtime_error {
public:
    TransferCancelled() : std::runtime_error("cancelled") {}
};

std::unique_ptr<Transport> MakeFolderTransport(const std::string& folder);
// `known_hosts` is the file SFTP host keys are pinned in, `known_certificates`
// the one accepted FTPS certificates are.
std::unique_ptr<Transport> MakeCurlTransport(const Target& target, const std::string& password,
                                             const std::string& known_hosts,
                                             const std::string& known_certificates,
                                             const TransportQuestions& questions);

// An X.509 certificate in DER: its SHA-256 fingerprint as
// "SHA256:AB:CD:..." and its public key's pin as libcurl takes it
// ("sha256//" and the base64 of the key's SHA-256). CommandError for bytes
// that are no certificate.
struct CertificateIdentity {
    std::string fingerprint;
    std::string pin;
};
CertificateIdentity IdentifyCertificate(const std::string& der);
// True when `typed` names `fingerprint` ("SHA256:" and the colons optional, any case).
bool SameFingerprint(const std::string& typed, const std::string& fingerprint);

} // namespace qf::publish
