#pragma once

#include "check/site_check.h"
#include "components/picture_import.h"
#include "publish/publish.h"
#include "publish/secret_store.h"

#include <memory>

// The command line starts with the core and QtCore only. What needs more is a
// module it loads when a command first asks for it: pictures (QtGui's image
// readers and writers) for import-picture and check-site, transfers (libcurl,
// libgit2 and QtKeychain) for publish and publish-target. Every other command starts
// without loading them.
//
// A module finds the core's functions in the program that loads it; the
// program and its modules are built together, and each module names the
// interface it was built for.

namespace qf::cli {

// Raised whenever a module's entry changes its fields.
inline constexpr int kModuleInterface = 3;

struct PicturesModule {
    int interface = kModuleInterface;
    PictureSizeReader (*picture_sizes)();
    PictureProcessor (*web_picture_processor)();
    render::PictureWork (*picture_work)();
};

struct TransfersModule {
    int interface = kModuleInterface;
    publish::ServerTransportMaker make_server_transport;
    publish::GitPublisher publish_to_git;
    std::unique_ptr<publish::SecretStore> (*desktop_secret_store)();
};

// The module, loaded at the first call. CommandError saying where it was
// looked for, or why it could not be loaded.
const PicturesModule& Pictures();
const TransfersModule& Transfers();

} // namespace qf::cli

// Each module's one entry.
extern "C" {
const qf::cli::PicturesModule* quenfort_pictures_module();
const qf::cli::TransfersModule* quenfort_transfers_module();
}
