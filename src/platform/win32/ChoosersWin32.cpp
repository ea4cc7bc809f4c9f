#include "platform/win32/ChoosersWin32.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

namespace {

// The classic path buffer of the system's calls.
const DWORD kPathBufferSize = MAX_PATH;

// "description|pattern||" becomes "description\0pattern\0\0".
std::string SystemFilter(const std::string& filter) {
    std::string converted = filter;
    for (char& c : converted) {
        if (c == '|') c = '\0';
    }
    return converted + '\0';
}

// Opens the browser on the folder it is given through lParam.
int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, folder);
    return 0;
}

// The item list belongs to the shell's allocator.
void FreeItemList(LPITEMIDLIST items) {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(items);
        allocator->Release();
    }
}

}  // namespace

bool ChooseFileWin32(HWND owner, const std::string& title, const std::string& filter,
                     const std::string& initialName, std::string* path) {
    char name[kPathBufferSize] = "";
    // A name longer than the buffer cannot be offered; the chooser then starts empty.
    if (initialName.size() < sizeof name) std::strcpy(name, initialName.c_str());
    const std::string systemFilter = SystemFilter(filter);
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = systemFilter.c_str();
    request.lpstrFile = name;
    request.nMaxFile = sizeof name;
    request.lpstrTitle = title.c_str();
    request.Flags = OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&request)) return false;
    *path = name;
    return true;
}

// The new dialog style needs OLE on the calling thread.
bool ChooseFolderWin32(HWND owner, const std::string& title, const std::string& initialFolder,
                       std::string* path) {
    const HRESULT ole = OleInitialize(nullptr);
    BROWSEINFOA request{};
    request.hwndOwner = owner;
    request.pidlRoot = nullptr;
    request.pszDisplayName = nullptr;
    request.lpszTitle = title.c_str();
    request.ulFlags = BIF_NEWDIALOGSTYLE;
    request.lpfn = SelectInitialFolder;
    request.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());
    LPITEMIDLIST items = SHBrowseForFolderA(&request);
    bool chosen = false;
    if (items) {
        char folder[kPathBufferSize];
        chosen = SHGetPathFromIDListA(items, folder) != FALSE;
        if (chosen) *path = folder;
        FreeItemList(items);
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return chosen;
}
