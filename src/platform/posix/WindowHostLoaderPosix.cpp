#include <dlfcn.h>

#include <string>
#include <vector>

#include "platform/Console.h"
#include "platform/Process.h"
#include "platform/WindowHost.h"

namespace {

const char kWindowModule[] = "pelkar-window.so";

// Beside the executable in a build folder; in lib/pelkar/ beside its bin/ once installed.
std::vector<std::string> WindowModuleCandidates() {
    const std::string executable = GetExecutablePath();
    const std::string directory = executable.substr(0, executable.rfind('/') + 1);
    if (directory.empty()) return {};
    return {directory + kWindowModule, directory + "../lib/pelkar/" + kWindowModule};
}

void* OpenWindowModule() {
    for (const std::string& candidate : WindowModuleCandidates()) {
        if (void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
    }
    return nullptr;
}

// The module stays loaded until the process ends, since its host lives until then.
CWindowHost* LoadWindowModule() {
    void* module = OpenWindowModule();
    if (!module) return nullptr;
    using CreateHost = CWindowHost* (*)();
    auto create = reinterpret_cast<CreateHost>(dlsym(module, "PelkarCreateWindowHost"));
    return create ? create() : nullptr;
}

// Loads the window toolkit only when a window is first to be shown, so a post-download run
// never pays for it.
class CModuleWindowHost : public CWindowHost {
public:
    std::unique_ptr<CDialogView> CreateView(CDialog& dialog) override {
        if (!m_loaded) {
            m_loaded = true;
            m_host.reset(LoadWindowModule());
        }
        return m_host ? m_host->CreateView(dialog) : nullptr;
    }

private:
    bool m_loaded = false;
    std::unique_ptr<CWindowHost> m_host;
};

}  // namespace

std::unique_ptr<CWindowHost> CreateWindowHost() {
    if (!IsDisplayAvailable()) return nullptr;
    return std::make_unique<CModuleWindowHost>();
}
