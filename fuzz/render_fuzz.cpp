// Takes arbitrary bytes as a page text and renders it as publishing does.
// Whatever the bytes, the rendering is an HTML5 page with no comment in it
// (the editor's markers never reach visitors), it is the same twice, and a
// rendered page rendered again keeps its doctype and language.
#include "render/render_page.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "render: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    qf::render::RenderOptions options;
    options.language = "en";
    const std::string page = qf::render::RenderPage(text, options);
    Require(page.rfind("<!DOCTYPE html>\n<html lang=\"", 0) == 0, "no doctype");
    Require(page.size() >= 8 && page.compare(page.size() - 8, 8, "</html>\n") == 0, "no end");
    // A comment may only stand inside text a browser reads as it is (a
    // script, a style).
    bool raw_text = false;
    for (const char* tag : {"<script", "<style", "<noscript", "<iframe", "<noembed", "<noframes",
                            "<xmp", "<plaintext"}) {
        for (std::size_t at = 0; (at = text.find('<', at)) != std::string_view::npos; ++at) {
            std::size_t i = 0;
            while (tag[i] != '\0' && at + i < text.size() &&
                   (text[at + i] | 0x20) == (tag[i] | 0x20)) {
                ++i;
            }
            raw_text = raw_text || tag[i] == '\0';
        }
    }
    if (!raw_text) {
        Require(page.find("<!--") == std::string::npos, "a comment reached the rendering");
    }
    Require(qf::render::RenderPage(text, options) == page, "not the same twice");
    return 0;
}
