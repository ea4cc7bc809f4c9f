#pragma once

#include <windows.h>

#include <string>

// The system's file and folder choosers. False when the user cancelled (or a chosen folder
// has no file-system path).

// The common open-file dialog: the filter is "description|pattern||", the name buffer holds
// 260 characters.
bool ChooseFileWin32(HWND owner, const std::string& title, const std::string& filter,
                     const std::string& initialName, std::string* path);

// The shell's folder browser, opened on the initial folder, with no owner window.
bool ChooseFolderWin32(const std::string& title, const std::string& initialFolder,
                       std::string* path);
