#include "site/site_style.h"

#include "error.h"
#include "site/site_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qf {

namespace {

const std::vector<SiteStyle>& BuiltIns() {
    static const std::vector<SiteStyle> styles = {
        {std::string(kClassicStyle), "", "", "", "", "", "", "", "", "", "", "", "", ""},
        {"Clean", "system-ui, -apple-system, 'Segoe UI', Roboto, 'DejaVu Sans', Arial, sans-serif",
         "system-ui, -apple-system, 'Segoe UI', Roboto, 'DejaVu Sans', Arial, sans-serif", "1.25",
         "1.6", "1100px", "#1f2328", "#ffffff", "#0b57d0", "#57606a", "#f6f8fa", "#8c959f", "6px",
         "16px"},
        {"Warm", "Georgia, 'DejaVu Serif', 'Times New Roman', serif",
         "'Trebuchet MS', 'DejaVu Sans', Arial, sans-serif", "1.2", "1.7", "1000px", "#3b2f2a",
         "#fffaf3", "#9a3b0c", "#6b5a4f", "#f6ecdf", "#a08670", "10px", "18px"},
        {"Calm", "'Liberation Sans', 'DejaVu Sans', Arial, sans-serif",
         "'DejaVu Serif', Georgia, serif", "1.2", "1.65", "1040px", "#1d2b36", "#f7fafc", "#17635c",
         "#4f6272", "#ffffff", "#758896", "4px", "16px"},
    };
    return styles;
}

// Each field: its name and where it lives in a style.
struct Field {
    const char* name;
    std::string SiteStyle::*member;
    enum Kind { Font, Number, Length, Colour } kind;
};

const Field kFields[] = {
    {"body-font", &SiteStyle::body_font, Field::Font},
    {"heading-font", &SiteStyle::heading_font, Field::Font},
    {"scale", &SiteStyle::scale, Field::Number},
    {"line-height", &SiteStyle::line_height, Field::Number},
    {"content-width", &SiteStyle::content_width, Field::Length},
    {"text", &SiteStyle::text, Field::Colour},
    {"background", &SiteStyle::background, Field::Colour},
    {"accent", &SiteStyle::accent, Field::Colour},
    {"muted", &SiteStyle::muted, Field::Colour},
    {"surface", &SiteStyle::surface, Field::Colour},
    {"border", &SiteStyle::border, Field::Colour},
    {"radius", &SiteStyle::radius, Field::Length},
    {"spacing", &SiteStyle::spacing, Field::Length},
};

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void CheckValue(const Field& field, const std::string& value) {
    const std::string what = "The style's " + std::string(field.name) + " \"" + value + "\" ";
    switch (field.kind) {
    case Field::Colour:
        if (value.size() != 7 || value[0] != '#' ||
            !std::all_of(value.begin() + 1, value.end(), IsHex)) {
            throw CommandError(what + "is no colour: give it as #1f2328");
        }
        return;
    case Field::Number: {
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        if (value.empty() || end != value.c_str() + value.size() || !(number >= 1.0) ||
            number > 3.0 || value.find_first_not_of("0123456789.") != std::string::npos) {
            throw CommandError(what + "is no number from 1 to 3: give it as 1.25");
        }
        return;
    }
    case Field::Length: {
        const std::string digits = value.size() > 2 && value.substr(value.size() - 2) == "px"
                                       ? value.substr(0, value.size() - 2)
                                       : std::string();
        if (digits.empty() || digits.size() > 4 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            throw CommandError(what + "is no length: give it in pixels, as 16px");
        }
        return;
    }
    case Field::Font:
        if (value.empty() || value.size() > 300 ||
            value.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                    "0123456789 ,'-.") != std::string::npos) {
            throw CommandError(what + "is no list of fonts: give names, commas between them, "
                                      "as Georgia, serif");
        }
        return;
    }
}

double Channel(int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(std::string_view colour) {
    if (colour.size() != 7 || colour[0] != '#') {
        return 0;
    }
    const auto part = [&](std::size_t at) {
        return int(std::strtol(std::string(colour.substr(at, 2)).c_str(), nullptr, 16));
    };
    return 0.2126 * Channel(part(1)) + 0.7152 * Channel(part(3)) + 0.0722 * Channel(part(5));
}

} // namespace

std::vector<std::string> BuiltInStyleNames() {
    std::vector<std::string> names;
    for (const SiteStyle& style : BuiltIns()) {
        names.push_back(style.name);
    }
    return names;
}

std::vector<std::string> StyleFieldNames() {
    std::vector<std::string> names;
    for (const Field& field : kFields) {
        names.emplace_back(field.name);
    }
    return names;
}

std::string StyleValue(const SiteStyle& style, std::string_view field) {
    const auto found = std::find_if(std::begin(kFields), std::end(kFields),
                                    [&](const Field& f) { return field == f.name; });
    return found == std::end(kFields) ? std::string() : style.*(found->member);
}

SiteStyle StyleWith(std::string_view name,
                    const std::vector<std::pair<std::string, std::string>>& values) {
    const std::string wanted = name.empty() ? std::string(kClassicStyle) : std::string(name);
    const auto& styles = BuiltIns();
    const auto found = std::find_if(styles.begin(), styles.end(),
                                    [&](const SiteStyle& style) { return style.name == wanted; });
    if (found == styles.end()) {
        std::string names;
        for (const std::string& known : BuiltInStyleNames()) {
            names += (names.empty() ? "" : ", ") + known;
        }
        throw CommandError("\"" + wanted + "\" is no style: choose " + names);
    }
    SiteStyle style = *found;
    for (const auto& value : values) {
        const auto field = std::find_if(std::begin(kFields), std::end(kFields),
                                        [&](const Field& f) { return value.first == f.name; });
        if (field == std::end(kFields)) {
            std::string names;
            for (const std::string& known : StyleFieldNames()) {
                names += (names.empty() ? "" : ", ") + known;
            }
            throw CommandError("'style." + value.first + "' is no value of a style (" + names +
                               ")");
        }
        CheckValue(*field, value.second);
        if (style.name != kClassicStyle) {
            style.*(field->member) = value.second;
        }
    }
    return style;
}

SiteStyle StyleOf(const SiteSettings& settings) {
    return StyleWith(settings.style, settings.style_values);
}

std::string StyleSheet(const SiteStyle& style) {
    if (style.name == kClassicStyle || style.text.empty()) {
        return {};
    }
    std::string css = ":root{";
    for (const Field& field : kFields) {
        css += std::string("--q-") + field.name + ":" + style.*(field.member) + ";";
    }
    css += "}";
    // Rules of no weight: whatever a page sets for itself wins.
    css += ":where(body){font-family:var(--q-body-font);line-height:var(--q-line-height);"
           "color:var(--q-text);background-color:var(--q-background)}"
           ":where(main){display:block;max-width:max(var(--q-content-width),"
           "calc(var(--q-page-width,0px) + 2*var(--q-spacing)));margin-inline:auto;"
           "padding-inline:var(--q-spacing);box-sizing:border-box}"
           ":where(h1,h2,h3,h4,h5,h6){font-family:var(--q-heading-font);line-height:1.2;"
           "margin:0 0 calc(var(--q-spacing)*.5)}"
           ":where(h1){font-size:calc(1em*var(--q-scale)*var(--q-scale)*var(--q-scale))}"
           ":where(h2){font-size:calc(1em*var(--q-scale)*var(--q-scale))}"
           ":where(h3){font-size:calc(1em*var(--q-scale))}"
           ":where(a){color:var(--q-accent);text-underline-offset:.15em}"
           ":where(a:hover){text-decoration-thickness:2px}"
           ":where(a,button,input,select,textarea,summary):focus-visible{outline:2px solid "
           "var(--q-accent);outline-offset:2px}"
           ":where(input,select,textarea){font:inherit;color:var(--q-text);"
           "background-color:var(--q-surface);border:1px solid var(--q-border);"
           "border-radius:var(--q-radius);padding:.4em .6em}"
           ":where(button,input[type=submit],input[type=reset],input[type=button]){font:inherit;"
           "color:var(--q-background);background-color:var(--q-accent);border:1px solid "
           "var(--q-accent);border-radius:var(--q-radius);padding:.5em 1.1em;cursor:pointer}"
           ":where(button,input,select,textarea):disabled{opacity:.55;cursor:not-allowed}"
           ":where(hr){border:0;border-top:1px solid var(--q-border)}"
           ":where(li){margin-block:.2em}"
           ":where(.q-site-menu){background-color:var(--q-surface);border-bottom:1px solid "
           "var(--q-border);padding:calc(var(--q-spacing)*.5) var(--q-spacing);"
           "border-radius:var(--q-radius)}"
           ":where(.q-site-menu a){text-decoration:none}"
           ":where(.q-menu-button){border-radius:var(--q-radius)}";
    return css;
}

double ContrastRatio(std::string_view one, std::string_view other) {
    double a = Luminance(one) + 0.05;
    double b = Luminance(other) + 0.05;
    if (a < b) {
        std::swap(a, b);
    }
    return a / b;
}

std::vector<std::string> StyleContrastWarnings(const SiteStyle& style) {
    std::vector<std::string> warnings;
    if (style.name == kClassicStyle) {
        return warnings;
    }
    const auto check = [&](const char* what, const std::string& colour, const char* on,
                           const std::string& ground, double least) {
        const double ratio = ContrastRatio(colour, ground);
        if (ratio < least) {
            char shown[16];
            std::snprintf(shown, sizeof shown, "%.1f", ratio);
            warnings.push_back("The " + std::string(what) + " colour " + colour + " on the " + on +
                               " " + ground + " has a contrast of " + shown + ":1, less than " +
                               (least >= 4.5 ? "4.5:1" : "3:1") +
                               ", so some visitors cannot read it");
        }
    };
    const struct {
        const char* name;
        const std::string* colour;
    } grounds[] = {{"background", &style.background}, {"surface", &style.surface}};
    for (const auto& ground : grounds) {
        check("text", style.text, ground.name, *ground.colour, 4.5);
        check("accent", style.accent, ground.name, *ground.colour, 4.5);
        check("muted", style.muted, ground.name, *ground.colour, 4.5);
    }
    check("button text", style.background, "accent", style.accent, 4.5);
    check("border", style.border, "background", style.background, 3.0);
    return warnings;
}

} // namespace qf
