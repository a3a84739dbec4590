#include "components/builders.h"

namespace qf::builders {

namespace {

// The object of the Flash and Shockwave players, with an embed element inside
// for the browsers that take no object.
std::string PluginObject(const Fields& f, std::string_view class_id, std::string_view cabinet) {
    const std::string size =
        "width=\"" + f.Text("width") + "\" height=\"" + f.Text("height") + "\"";
    return "<object classid=\"clsid:" + std::string(class_id) + "\" codebase=\"" +
           std::string(cabinet) + "\" " + size + "><param name=\"src\" value=\"" + f.Text("src") +
           "\"><embed src=\"" + f.Text("src") + "\" pluginspage=\"" +
           std::string(kPluginDownloadPage) + "\" type=\"application/x-shockwave-flash\" " + size +
           "></embed></object>";
}

} // namespace

std::string BackgroundSoundBody(const Fields& f) {
    return "<embed src=\"" + f.Text("src") +
           "\" autostart=\"true\" hidden=\"true\" loop=\"0\"><bgsound src=\"" + f.Text("src") +
           "\" loop=\"infinite\">";
}

std::string VideoBody(const Fields& f) {
    return "<embed src=\"" + f.Text("src") + "\" autostart=\"" +
           (f.Flag("autostart") ? "true" : "false") + "\" width=\"" + f.Text("width") +
           "\" height=\"" + f.Text("height") + "\">";
}

std::string FlashBody(const Fields& f) {
    return PluginObject(f, "d27cdb6e-ae6d-11cf-96b8-444553540000", kFlashCabinetAddress);
}

std::string ShockwaveBody(const Fields& f) {
    return PluginObject(f, "166b1bca-3f9c-11cf-8075-444553540000", kShockwaveCabinetAddress);
}

} // namespace qf::builders
