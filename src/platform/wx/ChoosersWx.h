#pragma once

#include <string>

#include "ui/toolkit/DialogView.h"

class wxWindow;

// The file chooser's list of file types: "desc|pattern|desc|pattern||" becomes the toolkit's
// "desc|pattern|desc|pattern" (the list ends at the first empty part). An empty list offers
// every file.
std::string FileChooserWildcard(const std::string& filter);

// The folder and the file name the chooser starts in; a bare name starts in the current folder.
struct SChooserStart {
    std::string folder;
    std::string name;
};
SChooserStart ChooserStartOf(const std::string& initialName);

// An open-type file chooser, owned by the window; the chosen file need not exist. False when
// the user cancelled.
bool ChooseFileWx(wxWindow* owner, const SFileChooserRequest& request, std::string* path);
// A folder chooser that opens on the request's folder. False when the user cancelled.
bool ChooseFolderWx(wxWindow* owner, const SFolderChooserRequest& request, std::string* path);
