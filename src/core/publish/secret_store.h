#pragma once

#include <memory>
#include <optional>
#include <string>

namespace qf::publish {

// Where passwords are kept between runs: never in a file of ours.
class SecretStore {
public:
    virtual ~SecretStore() = default;
    // The secret kept for `key`; nothing when there is none or no store.
    virtual std::optional<std::string> Read(const std::string& key) = 0;
    // Keeps `secret` for `key`; CommandError when the store refuses or is missing.
    virtual void Write(const std::string& key, const std::string& secret) = 0;
};

// The desktop's secret store (through QtKeychain). Needs a QCoreApplication.
std::unique_ptr<SecretStore> DesktopSecretStore();

// The key a target's password is kept under.
inline std::string SecretKey(const std::string& project_folder, const std::string& target) {
    return project_folder + " " + target;
}

} // namespace qf::publish
