#include "platform/SystemText.h"

// The program's strings are UTF-8 here already.

bool SystemTextFromUtf8(const std::string& utf8, std::string* text) {
    *text = utf8;
    return true;
}

bool Utf8FromSystemText(const std::string& text, std::string* utf8) {
    *utf8 = text;
    return true;
}
