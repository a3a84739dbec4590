#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace qf::test {

// A free TCP port on 127.0.0.1 (bound and released again).
int FreePort();

// Runs a program to its end; true when it exited with 0.
bool RunProgram(const QString& program, const QStringList& args);

// An OpenSSH server of its own on 127.0.0.1, run without privileges (as
// "nobody" when the test runs as root), serving SFTP. Its host key and the
// user's key are made with ssh-keygen in a folder of its own.
class SshServer {
public:
    SshServer();
    ~SshServer();
    // Starts (or starts again) on `port` (0: a free one) with host key `host_key` (0 or 1).
    bool Start(int port = 0, int host_key = 0);
    void Stop();
    int port() const { return port_; }
    std::string user() const { return user_; }
    std::string user_key() const;                    // the private key file, readable by the test
    std::string Fingerprint(int host_key = 0) const; // "SHA256:..."
    std::string folder() const; // a folder the server's user may write: the served site
    std::string error() const { return error_; }
    // Serves `folder` (made writable for the server's user) instead.
    void SetServedFolder(const std::string& folder) { served_ = folder; }
    // Lets the server's user run commands (git's receive-pack): "nobody" has
    // no login shell, so the server is told of one through nss_wrapper.
    // Call before Start.
    void GiveLoginShell() { login_shell_ = true; }
    // Gives `path` and everything in it to the server's user.
    bool GiveToServerUser(const std::string& path) const;

private:
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
    std::string user_;
    std::string served_;
    std::string error_;
    bool login_shell_ = false;
};

// What the FTP servers of the tests share: a folder of their own (their
// certificate, cert.pem, among its files), their process, their port.
class FtpServerBase {
public:
    ~FtpServerBase();
    void Stop();
    int port() const { return port_; }
    std::string certificate() const; // the PEM file a client trusts
    std::string error() const { return error_; }

protected:
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
    std::string error_;
};

// A pyftpdlib server on 127.0.0.1 serving `root` to one user, with explicit
// TLS required when a certificate is given (made with openssl by the test).
class FtpServer : public FtpServerBase {
public:
    // Starts (or starts again) on `port` (0: a free one); with `tls`, under a
    // certificate made anew each start.
    bool Start(const std::string& root, const std::string& user, const std::string& password,
               bool tls, int port = 0);
    std::string Fingerprint() const; // its SHA-256 as "SHA256:AB:CD:..."
    // What the server logged so far (sessions, logins and failed logins).
    std::string Log();

private:
    std::string log_;
};

// Debian's vsftpd on 127.0.0.1, run without privileges (as "nobody" when
// the test runs as root), serving folder() to the anonymous user with
// uploads, renames and deletions allowed. It knows no MLSD, only LIST. With
// `tls` it requires explicit TLS under a certificate made with openssl.
class VsftpdServer : public FtpServerBase {
public:
    bool Start(bool tls);
    std::string folder() const; // what it serves, in a folder the server may reach
};

} // namespace qf::test
