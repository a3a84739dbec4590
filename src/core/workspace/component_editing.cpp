#include "workspace/component_editing.h"

#include "components/user_text.h"
#include "document/markers.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/shared_markers.h"
#include "error.h"
#include "workspace/source_text.h"
#include "workspace/workspace.h"

namespace qf {

namespace {

constexpr std::string_view kSourceField = "The component source";

// The component's block; throws when either marker is missing.
BlockPosition ExistingBlock(std::string_view page, std::string_view component_text,
                            const ComponentSelection& selection) {
    const BlockPosition block = FindBlock(page, selection.MarkerName());
    if (!block.found() && !MarkerNameInUse(page, selection.MarkerName())) {
        throw CommandError(std::string(component_text) + " is not on this page");
    }
    if (!block.found()) {
        throw CommandError(std::string(component_text) +
                           " is not on this page any more (the area that held it was deleted), "
                           "so it cannot be modified; it can only be deleted.");
    }
    return block;
}

} // namespace

std::string ShownLineBreaks(std::string_view bytes) {
    std::string shown(bytes);
    for (char& c : shown) {
        if (c == kKeptLineBreak) {
            c = '\n';
        }
    }
    return shown;
}

std::string_view WithoutFinalLineBreak(std::string_view text) {
    if (text.ends_with('\n')) {
        text.remove_suffix(1);
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
    } else if (text.ends_with('\r')) {
        text.remove_suffix(1);
    }
    return text;
}

ComponentSelection ComponentToEdit(std::string_view component_text) {
    const std::optional<ComponentSelection> selection = SelectedComponentName(component_text);
    if (!selection) {
        throw CommandError(std::string(kNeedComponentMessage));
    }
    if (selection->kind_tag.empty()) {
        throw CommandError(std::string(component_text) + " is not a component of this page");
    }
    return *selection;
}

std::string ComponentSource(std::string_view page, std::string_view component_text) {
    const BlockPosition block =
        ExistingBlock(page, component_text, ComponentToEdit(component_text));
    return std::string(page.substr(block.content_begin, block.end - block.content_begin));
}

std::string SourceBytes(std::string_view typed, std::string_view old_bytes) {
    std::string kept = KeptLineBreaks(typed);
    PageText(kSourceField, kept); // refuses a text that is not UTF-8
    if (EncodingOfSource(old_bytes) == SourceEncoding::Utf8) {
        return kept;
    }
    return EncodeSource(QString::fromUtf8(kept.data(), qsizetype(kept.size())),
                        SourceEncoding::Windows1252);
}

std::string ModifiedComponentText(std::string_view page, std::string_view component_text,
                                  std::string_view typed) {
    const ComponentSelection selection = ComponentToEdit(component_text);
    const BlockPosition block = ExistingBlock(page, component_text, selection);
    const std::string_view old_source =
        page.substr(block.content_begin, block.end - block.content_begin);
    const std::string source = SourceBytes(typed, old_source);
    CheckNoMarkerDelimiters(kSourceField, source);
    const std::string name = selection.MarkerName();
    const std::string begin = BeginMarker(name);
    const std::string end = EndMarker(name);
    // Made at its size: grown piece by piece it could take twice the page.
    std::string text;
    text.reserve(page.size() - (block.block_end - block.begin) + begin.size() + source.size() +
                 end.size());
    text.append(page.substr(0, block.begin)).append(begin).append(source).append(end);
    text.append(page.substr(block.block_end));
    return text;
}

void SaveComponentSource(Workspace& workspace, std::string_view typed) {
    RequireOpenPage(workspace);
    const std::string& selected = workspace.component_list.text;
    CommitPageText(workspace, ModifiedComponentText(workspace.page_text, selected, typed),
                   "Modify " + selected);
}

std::string DeletedComponentText(std::string_view page, std::string_view component_text) {
    const ComponentSelection selection = ComponentToEdit(component_text);
    const std::string name = selection.MarkerName();
    // A copy of a shared part goes with the comments that name the part.
    std::string text = WithoutSharedComments(page, name);
    const BlockPosition block = FindBlock(text, name);
    if (block.found()) {
        text.erase(block.begin, block.block_end - block.begin);
    }
    if (!RemoveDeclaration(text, name) && !block.found()) {
        throw CommandError(std::string(component_text) + " is not on this page");
    }
    return text;
}

std::string DeleteComponent(Workspace& workspace) {
    RequireOpenPage(workspace);
    const std::string& selected = workspace.component_list.text;
    const ComponentSelection selection = ComponentToEdit(selected);
    std::string entry = ComponentEntry(selection.kind_tag, selection.number);
    CommitPageText(workspace, DeletedComponentText(workspace.page_text, selected),
                   "Delete " + entry);
    workspace.component_list.Remove(entry);
    workspace.component_list.text = kSelectComponentText;
    return entry;
}

std::string WriteComponentPreview(const Workspace& workspace, std::string_view bytes) {
    const std::string path = workspace.app_folder + "temp/Comp.html";
    WritePageFile(path, bytes);
    return path;
}

} // namespace qf
