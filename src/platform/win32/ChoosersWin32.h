#pragma once

#include <windows.h>

#include <string>

// The system's file and folder choosers. False when the user cancelled (or a chosen folder
// has no file-system path).

// The common open-file dialog: the filter is "description|pattern||", the name buffer holds
// 260 characters.
bool ChooseFileWin32(HWND owner, const std::string& title, const std::string& filter,
                     const std::string& initialName, std::string* path);

// The shell's folder browser, opened on the initial folder. The owner is disabled while it
// runs, and it opens over the owner.
bool ChooseFolderWin32(HWND owner, const std::string& title, const std::string& initialFolder,
                       std::string* path);
