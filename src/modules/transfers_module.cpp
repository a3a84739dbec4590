#include "loaded_modules.h"

extern "C" __attribute__((visibility("default"))) const qf::cli::TransfersModule*
quenfort_transfers_module() {
    static const qf::cli::TransfersModule module{
        qf::cli::kModuleInterface, &qf::publish::MakeCurlTransport, &qf::publish::PublishToGit,
        &qf::publish::DesktopSecretStore};
    return &module;
}
