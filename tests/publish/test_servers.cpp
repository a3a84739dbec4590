#include "test_servers.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qf::test {

namespace {

bool Listening(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

void GiveTo(const std::string& path, uid_t uid, gid_t gid) {
    if (::chown(path.c_str(), uid, gid) != 0) {
        // The test then fails at the server's start, saying why.
    }
}

// Who a server runs as: the test's own user, or "nobody" when the test runs
// as root (a server started as root would be privileged).
struct ServerUser {
    uid_t uid = ::getuid();
    gid_t gid = ::getgid();
    bool dropped = false; // runs as nobody
};

bool UnprivilegedUser(ServerUser& user, std::string& error) {
    if (::getuid() != 0) {
        return true;
    }
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr) {
        error = "no user nobody to run the server as";
        return false;
    }
    user = {nobody->pw_uid, nobody->pw_gid, true};
    return true;
}

// Starts `program` with `args` as `user` and waits until it listens on
// `port`; otherwise says why in `error`.
bool StartListening(QProcess& process, const QString& program, const QStringList& args,
                    const ServerUser& user, int port, std::string& error) {
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (user.dropped) {
        process.start("setpriv", QStringList{"--reuid=" + QString::number(user.uid),
                                             "--regid=" + QString::number(user.gid),
                                             "--clear-groups", program} +
                                     args);
    } else {
        process.start(program, args);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Listening(port)) {
            return true;
        }
        if (process.state() == QProcess::NotRunning) {
            break;
        }
        QThread::msleep(20);
    }
    process.waitForFinished(100);
    error = program.toStdString() + " did not start: " + process.readAll().toStdString();
    return false;
}

// A self-signed certificate for 127.0.0.1 in `folder` (cert.pem, key.pem).
bool MakeCertificate(const QString& folder, std::string& error) {
    if (!RunProgram("openssl",
                    {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                     folder + "/key.pem", "-out", folder + "/cert.pem", "-days", "2", "-subj",
                     "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"})) {
        error = "openssl could not make a certificate";
        return false;
    }
    return true;
}

} // namespace

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool RunProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

SshServer::SshServer() {
    const QString d = dir_.path();
    ::chmod(d.toLocal8Bit().constData(), 0755);
    for (const char* name : {"host0", "host1", "user"}) {
        RunProgram("ssh-keygen",
                   {"-q", "-t", "ed25519", "-N", "", "-C", name, "-f", d + "/" + name});
    }
    QFile::copy(d + "/user.pub", d + "/authorized_keys");
    QDir(d).mkdir("site");
    served_ = (d + "/site").toStdString();
    const passwd* self = ::getpwuid(::getuid());
    user_ = self != nullptr ? self->pw_name : "";
}

SshServer::~SshServer() {
    Stop();
}

std::string SshServer::user_key() const {
    return (dir_.path() + "/user").toStdString();
}

std::string SshServer::folder() const {
    return served_;
}

std::string SshServer::Fingerprint(int host_key) const {
    QProcess process;
    process.start("ssh-keygen", {"-l", "-E", "sha256", "-f",
                                 dir_.path() + "/host" + QString::number(host_key) + ".pub"});
    process.waitForFinished(20000);
    const QList<QByteArray> fields = process.readAllStandardOutput().split(' ');
    return fields.size() > 1 ? fields[1].toStdString() : std::string();
}

bool SshServer::Start(int port, int host_key) {
    Stop();
    port_ = port != 0 ? port : FreePort();
    const QString d = dir_.path();
    ServerUser user;
    if (!UnprivilegedUser(user, error_)) {
        return false;
    }
    const bool root = user.dropped;
    const uid_t uid = user.uid;
    const gid_t gid = user.gid;
    if (root) {
        user_ = "nobody";
    }
    QFile config(d + "/sshd_config");
    config.open(QIODevice::WriteOnly | QIODevice::Truncate);
    config.write(QString("Port %1\n"
                         "ListenAddress 127.0.0.1\n"
                         "HostKey %2/host%3\n"
                         "AuthorizedKeysFile %2/authorized_keys\n"
                         "PidFile %2/sshd.pid\n"
                         "StrictModes no\n"
                         "UsePAM %4\n"
                         "PrintMotd no\n"
                         "PasswordAuthentication yes\n"
                         "KbdInteractiveAuthentication no\n"
                         "PermitRootLogin no\n"
                         "Subsystem sftp internal-sftp\n")
                     .arg(port_)
                     .arg(d)
                     .arg(host_key)
                     .arg(root ? "yes" : "no")
                     .toUtf8());
    config.close();
    for (const char* name : {"host0", "host1", "sshd_config", "authorized_keys"}) {
        GiveTo((d + "/" + name).toStdString(), uid, gid);
    }
    GiveTo(d.toStdString(), uid, gid);
    GiveTo(served_, uid, gid);
    process_ = std::make_unique<QProcess>();
    if (root && login_shell_) {
        QFile passwd(d + "/passwd");
        passwd.open(QIODevice::WriteOnly | QIODevice::Truncate);
        passwd.write(
            QString("nobody:x:%1:%2:nobody:%3:/bin/sh\n").arg(uid).arg(gid).arg(d).toUtf8());
        passwd.close();
        QFile group(d + "/group");
        group.open(QIODevice::WriteOnly | QIODevice::Truncate);
        group.write(QString("nogroup:x:%1:\n").arg(gid).toUtf8());
        group.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", "libnss_wrapper.so");
        env.insert("NSS_WRAPPER_PASSWD", d + "/passwd");
        env.insert("NSS_WRAPPER_GROUP", d + "/group");
        process_->setProcessEnvironment(env);
    }
    return StartListening(*process_, "/usr/sbin/sshd", {"-D", "-e", "-f", d + "/sshd_config"}, user,
                          port_, error_);
}

bool SshServer::GiveToServerUser(const std::string& path) const {
    if (::getuid() != 0) {
        return true;
    }
    const passwd* nobody = ::getpwnam("nobody");
    return nobody != nullptr &&
           RunProgram("chown", {"-R", QString("%1:%2").arg(nobody->pw_uid).arg(nobody->pw_gid),
                                QString::fromStdString(path)});
}

void SshServer::Stop() {
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill();
            process_->waitForFinished(5000);
        }
        // Connections it had handed to children end with them.
        while (Listening(port_)) {
            QThread::msleep(20);
        }
    }
    process_.reset();
}

FtpServerBase::~FtpServerBase() {
    Stop();
}

void FtpServerBase::Stop() {
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(5000);
    }
    process_.reset();
}

std::string FtpServerBase::certificate() const {
    return (dir_.path() + "/cert.pem").toStdString();
}

std::string FtpServer::Log() {
    if (process_) {
        process_->waitForReadyRead(50);
        log_ += process_->readAllStandardError().toStdString();
    }
    return log_;
}

std::string FtpServer::Fingerprint() const {
    QProcess process;
    process.start("openssl", {"x509", "-noout", "-fingerprint", "-sha256", "-in",
                              QString::fromStdString(certificate())});
    process.waitForFinished(20000);
    // "sha256 Fingerprint=AB:CD:..."
    const QByteArray out = process.readAllStandardOutput().trimmed();
    const qsizetype equals = out.indexOf('=');
    return equals < 0 ? std::string() : "SHA256:" + out.mid(equals + 1).toUpper().toStdString();
}

bool FtpServer::Start(const std::string& root, const std::string& user, const std::string& password,
                      bool tls, int port) {
    Stop();
    const QString d = dir_.path();
    QStringList args{QStringLiteral(QUENFORT_FTP_SERVER)};
    if (port != 0) {
        args << QString("--port=%1").arg(port);
    }
    args << QString::fromStdString(root) << QString::fromStdString(user)
         << QString::fromStdString(password);
    if (tls) {
        if (!MakeCertificate(d, error_)) {
            return false;
        }
        args << d + "/cert.pem" << d + "/key.pem";
    }
    process_ = std::make_unique<QProcess>();
    process_->start("/usr/bin/python3", args);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    QByteArray out;
    while (std::chrono::steady_clock::now() < deadline && !out.contains('\n')) {
        if (!process_->waitForReadyRead(200) && process_->state() == QProcess::NotRunning) {
            break;
        }
        out += process_->readAllStandardOutput();
    }
    if (!out.startsWith("port ")) {
        error_ = "the FTP server did not start: " + out.toStdString() +
                 process_->readAllStandardError().toStdString();
        return false;
    }
    port_ = out.mid(5).trimmed().toInt();
    return port_ > 0;
}

std::string VsftpdServer::folder() const {
    return (dir_.path() + "/site").toStdString();
}

bool VsftpdServer::Start(bool tls) {
    Stop();
    port_ = FreePort();
    const QString d = dir_.path();
    ::chmod(d.toLocal8Bit().constData(), 0755);
    const std::string root = folder();
    QDir(d).mkpath("site");
    ServerUser user;
    if (!UnprivilegedUser(user, error_)) {
        return false;
    }
    QDir(d).mkpath("empty");
    QString config = QString("listen=YES\n"
                             "listen_address=127.0.0.1\n"
                             "listen_port=%1\n"
                             "background=NO\n"
                             "run_as_launching_user=YES\n"
                             "seccomp_sandbox=NO\n"
                             "secure_chroot_dir=%2/empty\n"
                             "anonymous_enable=YES\n"
                             "no_anon_password=YES\n"
                             "local_enable=NO\n"
                             "anon_root=%3\n"
                             "write_enable=YES\n"
                             "anon_upload_enable=YES\n"
                             "anon_mkdir_write_enable=YES\n"
                             "anon_other_write_enable=YES\n"
                             "anon_umask=022\n"
                             "xferlog_enable=NO\n")
                         .arg(port_)
                         .arg(d)
                         .arg(QString::fromStdString(root));
    if (tls) {
        if (!MakeCertificate(d, error_)) {
            return false;
        }
        GiveTo((d + "/key.pem").toStdString(), user.uid, user.gid);
        config += QString("ssl_enable=YES\n"
                          "allow_anon_ssl=YES\n"
                          "force_anon_logins_ssl=YES\n"
                          "force_anon_data_ssl=YES\n"
                          "require_ssl_reuse=NO\n"
                          "rsa_cert_file=%1/cert.pem\n"
                          "rsa_private_key_file=%1/key.pem\n")
                      .arg(d);
    }
    QFile file(d + "/vsftpd.conf");
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(config.toUtf8());
    file.close();
    GiveTo((d + "/vsftpd.conf").toStdString(), user.uid, user.gid);
    GiveTo(root, user.uid, user.gid);
    process_ = std::make_unique<QProcess>();
    return StartListening(*process_, "/usr/sbin/vsftpd", {d + "/vsftpd.conf"}, user, port_, error_);
}

} // namespace qf::test
