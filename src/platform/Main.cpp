#include <string>
#include <vector>

#include "app/PELKARApp.h"
#include "model/ProcessArguments.h"

int main(int argc, char** argv) {
    SetProcessArguments(std::vector<std::string>(argv, argv + argc));
    return theApp.Run();
}
