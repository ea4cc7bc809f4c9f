#include <memory>
#include <string>
#include <vector>

#include "app/PELKARApp.h"
#include "model/ProcessArguments.h"
#include "platform/Process.h"
#include "platform/WindowHost.h"

int main(int argc, char** argv) {
    PrepareProcess();
    SetProcessArguments(std::vector<std::string>(argv, argv + argc));
    const std::unique_ptr<CWindowHost> windowHost = CreateWindowHost();
    SetWindowHost(windowHost.get());
    const int status = theApp.Run();
    SetWindowHost(nullptr);
    return status;
}
