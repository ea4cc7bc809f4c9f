#include "platform/wx/KeysWx.h"

#include <wx/defs.h>

#include <map>

namespace {

// Key codes of the keys the toolkit names; letters and digits are their own codes.
const std::map<int, unsigned>& NamedKeys() {
    static const std::map<int, unsigned> keys = {
        {WXK_BACK, 0x08},
        {WXK_TAB, 0x09},
        {WXK_RETURN, 0x0D},
        {WXK_NUMPAD_ENTER, 0x0D},
        {WXK_SHIFT, 0x10},
        {WXK_CONTROL, 0x11},
        {WXK_ALT, 0x12},
        {WXK_ESCAPE, 0x1B},
        {WXK_SPACE, 0x20},
        {WXK_PAGEUP, 0x21},
        {WXK_PAGEDOWN, 0x22},
        {WXK_END, 0x23},
        {WXK_HOME, 0x24},
        {WXK_LEFT, 0x25},
        {WXK_UP, 0x26},
        {WXK_RIGHT, 0x27},
        {WXK_DOWN, 0x28},
        {WXK_INSERT, 0x2D},
        {WXK_DELETE, 0x2E},
        {WXK_NUMPAD_LEFT, 0x25},
        {WXK_NUMPAD_UP, 0x26},
        {WXK_NUMPAD_RIGHT, 0x27},
        {WXK_NUMPAD_DOWN, 0x28},
        {WXK_NUMPAD_PAGEUP, 0x21},
        {WXK_NUMPAD_PAGEDOWN, 0x22},
        {WXK_NUMPAD_END, 0x23},
        {WXK_NUMPAD_HOME, 0x24},
        {';', 0xBA},
        {'=', 0xBB},
        {',', 0xBC},
        {'-', 0xBD},
        {'.', 0xBE},
        {'/', 0xBF},
        {'`', 0xC0},
        {'[', 0xDB},
        {'\\', 0xDC},
        {']', 0xDD},
        {'\'', 0xDE},
    };
    return keys;
}

}  // namespace

unsigned VirtualKeyOf(int wxKeyCode) {
    if (wxKeyCode >= 'A' && wxKeyCode <= 'Z') return static_cast<unsigned>(wxKeyCode);
    if (wxKeyCode >= 'a' && wxKeyCode <= 'z') return static_cast<unsigned>(wxKeyCode - 'a' + 'A');
    if (wxKeyCode >= '0' && wxKeyCode <= '9') return static_cast<unsigned>(wxKeyCode);
    if (wxKeyCode >= WXK_F1 && wxKeyCode <= WXK_F12) {
        return 0x70 + static_cast<unsigned>(wxKeyCode - WXK_F1);
    }
    const auto found = NamedKeys().find(wxKeyCode);
    return found == NamedKeys().end() ? 0 : found->second;
}
