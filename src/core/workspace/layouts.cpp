#include "workspace/layouts.h"

#include "document/file_io.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "error.h"
#include "workspace/numbered_files.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <limits>

namespace qf {

std::string LaysFolder(const std::string& app_folder) {
    return app_folder + "lays/";
}

std::string LayoutPath(const std::string& app_folder, int number) {
    return LaysFolder(app_folder) + std::to_string(number) + ".html";
}

std::vector<int> LayoutNumbers(const std::string& app_folder) {
    return NumberedFiles(LaysFolder(app_folder));
}

std::string ReadLayout(const std::string& app_folder, int number) {
    const std::string path = LayoutPath(app_folder, number);
    if (number <= 0 || !QFile::exists(QString::fromStdString(path))) {
        throw CommandError("There is no layout " + std::to_string(number) + " (\"" + path +
                           "\" does not exist).");
    }
    return ReadPageFile(path);
}

int SaveLayout(const std::string& app_folder, std::string_view layout_text) {
    const std::vector<int> numbers = LayoutNumbers(app_folder);
    int number = numbers.empty() ? 0 : numbers.back();
    // Only a number without a file is used, so no existing file is ever written over.
    while (true) {
        if (number == std::numeric_limits<int>::max()) {
            throw CommandError("No layout number is left in \"" + LaysFolder(app_folder) +
                               "\": rename or remove the layout " + std::to_string(number) + ".");
        }
        ++number;
        const std::string path = LayoutPath(app_folder, number);
        // Written whole under a free number, or not at all: a number taken
        // meanwhile is passed over, and a failed write leaves no file.
        const FileState nothing_there;
        try {
            WritePageFile(path, layout_text, nullptr, &nothing_there);
        } catch (const OutsideChangeError&) {
            continue;
        }
        return number;
    }
}

std::string LayoutPreviewText(std::string_view layout_text) {
    constexpr std::string_view kStyle =
        "<style>td{outline:1px dashed #7f8c9a;outline-offset:-1px;background:#eef3f8}"
        ".quenfort-area{display:inline-block;margin:3px 5px;font:12px sans-serif;"
        "color:#3d4b5a}</style>";
    std::string text(layout_text);
    // Labels from the back, so that the earlier insertion points stay valid.
    std::vector<std::pair<std::size_t, std::string>> labels;
    for (const std::string& name : DeclarationNames(text)) {
        if (name.size() <= 5 || name.compare(0, 5, "Table") != 0) {
            continue;
        }
        const std::string number = name.substr(5);
        try {
            labels.emplace_back(AreaInsertPoint(text, std::stoi(number)),
                                "<span class=\"quenfort-area\">Area" + number + "</span>");
        } catch (const std::exception&) {
            // An area without a cell of its own has no label.
        }
    }
    std::sort(labels.begin(), labels.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [position, label] : labels) {
        text.insert(position, label);
    }
    const std::size_t head_end = text.find("</head>");
    text.insert(head_end == std::string::npos ? 0 : head_end, kStyle);
    return text;
}

std::string WriteLayoutPreview(const std::string& app_folder, std::string_view layout_text,
                               std::string_view file_name) {
    const std::string path = app_folder + "temp/" + std::string(file_name);
    WritePageFile(path, LayoutPreviewText(layout_text));
    return path;
}

std::string LayoutThumbnailFile(int number) {
    return "chooser-" + std::to_string(number) + ".html";
}

int LayoutThumbnailNumber(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    constexpr std::string_view kPrefix = "chooser-";
    if (name.substr(0, kPrefix.size()) != kPrefix) {
        return 0;
    }
    return NumberedFileNumber(name.substr(kPrefix.size()));
}

std::string LayoutGalleryText(const std::vector<int>& numbers, int chosen) {
    // Each preview is a layout page drawn at a tenth of its size (as a screen
    // 1,280 pixels wide shows it) in a frame
    // that takes no pointer, under a link that covers the whole tile.
    std::string text =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Layouts</title><style>"
        "body{margin:6px;font:13px sans-serif;background:#eceff3;color:#1f2a36}"
        ".grid{display:flex;flex-wrap:wrap;gap:8px}"
        ".thumb{position:relative;width:128px;padding:3px;border:3px solid transparent;"
        "border-radius:5px;background:#fff}"
        ".thumb:hover{border-color:#9bb7dd}"
        ".thumb.chosen{border-color:#1a5fb4;background:#d6e4f7}"
        ".frame{display:block;width:128px;height:90px;overflow:hidden;"
        "border:1px solid #b8c2cc;background:#fff}"
        ".frame iframe{width:1280px;height:900px;border:0;transform:scale(0.1);"
        "transform-origin:0 0;pointer-events:none}"
        ".name{display:block;text-align:center;padding-top:3px}"
        ".thumb.chosen .name{font-weight:bold}"
        ".cover{position:absolute;inset:0;z-index:1}"
        "</style><script>function choose(number){"
        "for(const tile of document.querySelectorAll('.thumb')){"
        "tile.classList.toggle('chosen',tile.dataset.number==String(number));}"
        "const chosen=document.querySelector('.thumb.chosen');"
        "if(chosen){chosen.scrollIntoView({block:'nearest'});}}"
        "</script></head><body><div class=\"grid\">";
    for (const int number : numbers) {
        const std::string file = LayoutThumbnailFile(number);
        const std::string name = "Layout " + std::to_string(number);
        text += "<div class=\"thumb\" data-number=\"" + std::to_string(number) +
                "\"><a class=\"cover\" href=\"" + file + "\" title=\"" + name +
                "\"></a><span class=\"frame\"><iframe src=\"" + file +
                "\" scrolling=\"no\" tabindex=\"-1\"></iframe></span><span class=\"name\">" + name +
                "</span></div>";
    }
    text += "</div><script>choose(" + std::to_string(chosen) + ")</script></body></html>";
    return text;
}

std::string WriteLayoutGallery(const std::string& app_folder, const std::vector<int>& numbers,
                               int chosen, std::string_view file_name) {
    for (const int number : numbers) {
        WriteLayoutPreview(app_folder, ReadLayout(app_folder, number), LayoutThumbnailFile(number));
    }
    const std::string path = app_folder + "temp/" + std::string(file_name);
    WriteFileAtomically(path, LayoutGalleryText(numbers, chosen));
    return path;
}

void LayoutChooser::Scan(const std::string& app_folder) {
    SetNumbers(LayoutNumbers(app_folder));
}

} // namespace qf
