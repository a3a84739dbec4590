#include "loaded_modules.h"

#include "error.h"

#include <QCoreApplication>

#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace qf::cli {

namespace {

// Where a module is looked for: the program's installed module folder
// (QUENFORT_MODULE_FOLDER, relative to the program's own folder), then the
// program's folder itself, where the build tree puts the modules.
std::vector<std::string> ModuleFolders() {
    const std::string program = QCoreApplication::applicationDirPath().toStdString();
    return {program + "/" QUENFORT_MODULE_FOLDER, program};
}

template <typename Module> const Module& Load(const char* file, const char* entry) {
    std::string looked;
    for (const std::string& folder : ModuleFolders()) {
        const std::string path = folder + "/" + file;
        if (::access(path.c_str(), F_OK) != 0) {
            looked += (looked.empty() ? "" : ", ") + folder;
            continue;
        }
        // Never closed: what it gives out lives as long as the program.
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            throw CommandError("Cannot load " + path + ": " + ::dlerror());
        }
        const auto get = reinterpret_cast<const Module* (*)()>(::dlsym(handle, entry));
        const Module* module = get != nullptr ? get() : nullptr;
        if (module == nullptr || module->interface != kModuleInterface) {
            throw CommandError(path + " is not the module this quenfort-cli was built with");
        }
        return *module;
    }
    throw CommandError(std::string("The module ") + file +
                       " of quenfort-cli is missing (looked in " + looked + ")");
}

} // namespace

const PicturesModule& Pictures() {
    static const PicturesModule& module =
        Load<PicturesModule>("quenfort-pictures.so", "quenfort_pictures_module");
    return module;
}

const TransfersModule& Transfers() {
    static const TransfersModule& module =
        Load<TransfersModule>("quenfort-transfers.so", "quenfort_transfers_module");
    return module;
}

} // namespace qf::cli
