#include "random_edits.h"

#include "components/component_fields.h"
#include "components/insertion.h"
#include "components/page_properties.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "workspace/new_page.h"

#include <vector>

namespace qf::test {

namespace {

std::string RandomSource(std::mt19937& random) {
    // Markup with quotes, ampersands, a lone CR and bytes outside ASCII; never
    // a marker delimiter.
    static constexpr std::string_view kAlphabet = "ab <>/=\"&;\r\xe9\xc3\xa9";
    std::string text;
    const std::size_t size = random() % 60;
    for (std::size_t i = 0; i < size; ++i) {
        text += kAlphabet[random() % kAlphabet.size()];
    }
    return text;
}

// A random area of the page; now and then one it lacks.
int RandomArea(std::mt19937& random, const std::string& page) {
    const std::vector<std::string> areas = AreaEntries(page);
    if (areas.empty() || random() % 20 == 0) {
        return 900 + int(random() % 50);
    }
    return TrailingNumber(areas[random() % areas.size()]);
}

std::vector<std::string> Declared(const std::string& page, bool areas) {
    std::vector<std::string> names;
    for (const std::string& name : DeclarationNames(page)) {
        const bool area = name.starts_with(kAreaKind) && name.size() > kAreaKind.size() &&
                          name[kAreaKind.size()] >= '0' && name[kAreaKind.size()] <= '9';
        if (area == areas) {
            names.push_back(name);
        }
    }
    return names;
}

void DeleteBlock(std::string& page, const std::string& name) {
    const BlockPosition block = FindBlock(page, name);
    if (block.found()) {
        page.erase(block.begin, block.block_end - block.begin);
    }
    RemoveDeclaration(page, name);
}

} // namespace

std::string PageFromLayout(const std::string& layout_text) {
    NewPageProperties properties;
    properties.name = "index";
    properties.header = "Caf\xc3\xa9 \"home\"";
    properties.background = "#336699";
    properties.border = 4;
    return PageTextFromLayout(layout_text, properties);
}

void RandomEdit(std::mt19937& random, std::string& page) {
    std::string text = page;
    switch (random() % 9) {
    case 0:
    case 1: { // a component of a random kind (the rollover needs a page folder)
        const auto specs = ComponentSpecs();
        const ComponentSpec& spec = specs[random() % specs.size()];
        if (spec.kind_tag == "Roll_Img") {
            return;
        }
        AddComponent(text, spec.kind_tag, BuildComponentBody(spec.kind_tag, {}),
                     RandomArea(random, text));
        break;
    }
    case 2: { // a component deleted
        const std::vector<std::string> names = Declared(text, false);
        if (names.empty()) {
            return;
        }
        DeleteBlock(text, names[random() % names.size()]);
        break;
    }
    case 3: { // a component's source saved
        const std::vector<std::string> names = Declared(text, false);
        if (names.empty()) {
            return;
        }
        const BlockPosition block = FindBlock(text, names[random() % names.size()]);
        if (!block.found()) {
            return;
        }
        text.replace(block.content_begin, block.end - block.content_begin, RandomSource(random));
        break;
    }
    case 4: { // an area deleted, rarely, so that areas remain
        const std::vector<std::string> names = Declared(text, true);
        if (names.size() < 3 || random() % 3 != 0) {
            return;
        }
        DeleteBlock(text, names[random() % names.size()]);
        break;
    }
    case 5: // a line break
        text.insert(AreaInsertPoint(text, RandomArea(random, text)), "<br>");
        break;
    case 6: // raw HTML
        text.insert(AreaInsertPoint(text, RandomArea(random, text)), RandomSource(random));
        break;
    case 7: { // a platform of two or three areas
        const int area = RandomArea(random, text);
        std::string platform = "<Table width=\"300\" cellpadding=\"0\" cellspacing=\"0\" "
                               "border=\"0\"><tr>";
        for (const int number : NextPlatformAreaNumbers(text, 2 + int(random() % 2))) {
            AddDeclaration(text, AreaName(number));
            platform += BeginMarker(AreaName(number)) +
                        "<Table align=\"left\" valign=\"top\" border=\"1\" bordercolor=\"#ffffff\" "
                        "width=150 cellpadding=\"0\" cellspacing=\"0\"><td border=\"1\" "
                        "bordercolor=\"#000000\" bgcolor=\"#ffffff\" width=150><img src=\"\" "
                        "height=\"40\" width=\"0\" align=\"left\"></td></table>" +
                        EndMarker(AreaName(number));
        }
        text.insert(AreaInsertPoint(text, area), platform + "</tr></table>");
        break;
    }
    default: { // page properties
        PageProperties properties;
        properties.heading = "Title " + std::to_string(random() % 1000);
        properties.background = random() % 2 ? "#00ff00" : "pictures/back.gif";
        properties.disable_scrollers = random() % 2 == 0;
        text = ApplyPageProperties(text, properties);
        break;
    }
    }
    page = std::move(text);
}

} // namespace qf::test
