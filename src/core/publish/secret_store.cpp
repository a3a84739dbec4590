#include "publish/secret_store.h"

#include "error.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace qf::publish {

namespace {

const QString kService = QStringLiteral("Quenfort Website Developer publishing");

class KeychainStore : public SecretStore {
public:
    std::optional<std::string> Read(const std::string& key) override {
        QKeychain::ReadPasswordJob job(kService);
        job.setAutoDelete(false);
        job.setInsecureFallback(false);
        job.setKey(QString::fromStdString(key));
        Run(job);
        if (job.error() != QKeychain::NoError) {
            return std::nullopt;
        }
        return job.binaryData().toStdString();
    }

    void Write(const std::string& key, const std::string& secret) override {
        QKeychain::WritePasswordJob job(kService);
        job.setAutoDelete(false);
        job.setInsecureFallback(false);
        job.setKey(QString::fromStdString(key));
        job.setBinaryData(QByteArray::fromStdString(secret));
        Run(job);
        if (job.error() != QKeychain::NoError) {
            throw CommandError("The desktop's secret store did not keep the password: " +
                               job.errorString().toStdString());
        }
    }

private:
    static void Run(QKeychain::Job& job) {
        QEventLoop loop;
        QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
        job.start();
        loop.exec();
    }
};

} // namespace

std::unique_ptr<SecretStore> DesktopSecretStore() {
    return std::make_unique<KeychainStore>();
}

} // namespace qf::publish
