#include "platform/Console.h"
#include "platform/WindowHost.h"
#include "platform/win32/DialogViewWin32.h"

namespace {

// Native Win32 dialogs, made from the same templates as every other host's windows.
class CWin32WindowHost : public CWindowHost {
public:
    std::unique_ptr<CDialogView> CreateView(CDialog& dialog) override {
        auto view = std::make_unique<CWin32DialogView>(dialog);
        if (!view->IsCreated()) return nullptr;
        return view;
    }
};

}  // namespace

std::unique_ptr<CWindowHost> CreateWindowHost() {
    if (!IsDisplayAvailable()) return nullptr;
    return std::make_unique<CWin32WindowHost>();
}
