#include "platform/wx/ChoosersWx.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

#include <vector>

#include "platform/wx/TextWx.h"

namespace {

std::vector<std::string> FilterParts(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t bar = filter.find('|', start);
        const std::string part = filter.substr(start, bar - start);
        if (part.empty()) break;
        parts.push_back(part);
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    // A description without its pattern names no file type.
    if (parts.size() % 2 != 0) parts.pop_back();
    return parts;
}

}  // namespace

std::string FileChooserWildcard(const std::string& filter) {
    std::string wildcard;
    for (const std::string& part : FilterParts(filter)) {
        if (!wildcard.empty()) wildcard += '|';
        wildcard += part;
    }
    return wildcard.empty() ? std::string("*") : wildcard;
}

SChooserStart ChooserStartOf(const std::string& initialName) {
    const std::size_t slash = initialName.rfind('/');
    if (slash == std::string::npos) return {std::string(), initialName};
    return {initialName.substr(0, slash == 0 ? 1 : slash), initialName.substr(slash + 1)};
}

bool ChooseFileWx(wxWindow* owner, const SFileChooserRequest& request, std::string* path) {
    const SChooserStart start = ChooserStartOf(request.initialName);
    wxFileDialog chooser(owner, ToWx(request.title), ToWx(start.folder), ToWx(start.name),
                         ToWx(FileChooserWildcard(request.filter)), wxFD_OPEN);
    if (chooser.ShowModal() != wxID_OK) return false;
    *path = FromWx(chooser.GetPath());
    return true;
}

bool ChooseFolderWx(wxWindow* owner, const SFolderChooserRequest& request, std::string* path) {
    wxDirDialog chooser(owner, ToWx(request.title), ToWx(request.initialFolder),
                        wxDD_DEFAULT_STYLE);
    if (chooser.ShowModal() != wxID_OK) return false;
    *path = FromWx(chooser.GetPath());
    return true;
}
