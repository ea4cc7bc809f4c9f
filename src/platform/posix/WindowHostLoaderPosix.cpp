#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/WindowHost.h"

namespace {

// The window module, beside the executable.
const char kWindowModule[] = "pelkar-window.so";

std::string ExecutableDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    const std::string executable(path, static_cast<size_t>(length));
    return executable.substr(0, executable.rfind('/') + 1);
}

// The module stays loaded until the process ends, since its host lives until then.
CWindowHost* LoadWindowModule() {
    void* module = dlopen((ExecutableDirectory() + kWindowModule).c_str(), RTLD_NOW | RTLD_LOCAL);
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
