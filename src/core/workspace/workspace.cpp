#include "workspace/workspace.h"

#include "document/page_file.h"
#include "error.h"

#include <QFileInfo>

namespace qf {

void RequireProject(const Workspace& workspace) {
    if (!workspace.HasProject()) {
        throw CommandError(std::string(kNeedProjectMessage));
    }
}

void RequireOpenPage(const Workspace& workspace) {
    if (!workspace.HasOpenPage()) {
        throw CommandError(std::string(kNeedPageMessage));
    }
}

std::string SizeText(std::int64_t bytes) {
    if (bytes < 0) {
        bytes = 0;
    }
    const std::int64_t rounded = bytes / 128 * 128;
    std::string text = std::to_string(rounded / 1000);
    std::string fraction = std::to_string(1000 + rounded % 1000).substr(1);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += "." + fraction;
    }
    return text + "Kb";
}

std::string PageHeader(std::string_view page) {
    const std::size_t open = page.find("<title>");
    const std::size_t close = page.find("</title>");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open + 7) {
        return {};
    }
    return std::string(page.substr(open + 7, close - open - 7));
}

namespace {

std::int64_t FileSize(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).size();
}

} // namespace

void PageRefresh(Workspace& workspace) {
    RequireOpenPage(workspace);
    WritePageFile(workspace.page_path, workspace.page_text);
    workspace.page_file_size = FileSize(workspace.page_path);
}

void CommitPageText(Workspace& workspace, std::string new_text) {
    RequireOpenPage(workspace);
    WritePageFile(workspace.page_path, new_text);
    workspace.page_text = std::move(new_text);
    workspace.page_file_size = FileSize(workspace.page_path);
}

void OpenPage(Workspace& workspace, const std::string& path) {
    std::string text = ReadPageFile(path);
    workspace.page_text = std::move(text);
    workspace.page_path = path;
    workspace.page_name = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
    workspace.page_header = PageHeader(workspace.page_text);
    workspace.page_file_size = FileSize(path);
    RebuildComponentList(workspace.component_list, workspace.page_text);
    RebuildAreaList(workspace.area_list, workspace.page_text);
    workspace.palette_enabled = true;
}

} // namespace qf
