#include "components/builders.h"

namespace qf::builders {

namespace {

// The object of the Flash and Shockwave players, with an embed element inside
// for the browsers that take no object. A size left at 0 is not written, so
// the player takes its own.
std::string PluginObject(const Fields& f, std::string_view class_id, std::string_view cabinet) {
    const std::string size =
        SetNumberAttribute(f, "width", "width") + SetNumberAttribute(f, "height", "height");
    return "<object classid=\"clsid:" + std::string(class_id) + "\" codebase=\"" +
           std::string(cabinet) + "\"" + size + "><param name=\"src\" value=\"" + f.Text("src") +
           "\"><embed src=\"" + f.Text("src") + "\" pluginspage=\"" +
           std::string(kPluginDownloadPage) + "\" type=\"application/x-shockwave-flash\"" + size +
           "></embed></object>";
}

} // namespace

std::string BackgroundSoundBody(const Fields& f) {
    return "<embed src=\"" + f.Text("src") +
           "\" autostart=\"true\" hidden=\"true\" loop=\"0\"><bgsound src=\"" + f.Text("src") +
           "\" loop=\"infinite\">";
}

// A size left at 0 is not written, so the player takes its own.
std::string VideoBody(const Fields& f) {
    return "<embed src=\"" + f.Text("src") + "\" autostart=\"" +
           (f.Flag("autostart") ? "true" : "false") + "\"" +
           SetNumberAttribute(f, "width", "width") + SetNumberAttribute(f, "height", "height") +
           ">";
}

std::string FlashBody(const Fields& f) {
    return PluginObject(f, "d27cdb6e-ae6d-11cf-96b8-444553540000", kFlashCabinetAddress);
}

std::string ShockwaveBody(const Fields& f) {
    return PluginObject(f, "166b1bca-3f9c-11cf-8075-444553540000", kShockwaveCabinetAddress);
}

} // namespace qf::builders
