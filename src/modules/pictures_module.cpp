#include "loaded_modules.h"
#include "picture_size.h"
#include "web_picture.h"

extern "C" __attribute__((visibility("default"))) const qf::cli::PicturesModule*
quenfort_pictures_module() {
    static const qf::cli::PicturesModule module{qf::cli::kModuleInterface,
                                                &qf::ImageReaderPictureSizes,
                                                &qf::WebPictureProcessor, &qf::ImagePictureWork};
    return &module;
}
