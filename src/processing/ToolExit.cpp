#include "processing/ToolExit.h"

std::string SToolExit::Describe() const {
    switch (kind) {
    case EKind::Exited:
        return "exited with status " + std::to_string(code);
    case EKind::Signalled:
        return "was ended by signal " + std::to_string(code);
    case EKind::NotSeen:
        break;
    }
    return "was not seen to end";
}
