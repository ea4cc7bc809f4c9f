#pragma once

#include <string>
#include <vector>

// Dialog templates as data: every window host builds its windows from these, so all hosts show
// the same controls with the same ids, texts, places and tab order. Positions and sizes are in
// dialog units (horizontal: a quarter of the font's average character width, vertical: an
// eighth of its height).

enum class EControlKind {
    Static,       // a text label
    GroupBox,     // a frame with a title
    EtchedLine,   // a horizontal etched line, no text
    EtchedFrame,  // an etched rectangle, no text
    PushButton,
    CheckBox,  // automatic: a click toggles it
    Edit,      // single line
    ListBox,   // single selection, items kept in the order they are added
    ComboBox   // drop-down list: a choice among its items (unsorted), no typing
};

// Control styles, combined bitwise.
enum EControlStyle : unsigned {
    StyleTabStop = 1u << 0,
    StyleDisabled = 1u << 1,       // created disabled
    StyleDefaultButton = 1u << 2,  // Enter presses it
    StyleBorder = 1u << 3,
    StyleAutoHScroll = 1u << 4,       // an edit scrolls its text sideways as the user types
    StyleVScroll = 1u << 5,           // vertical scroll bar
    StyleNotify = 1u << 6,            // a list box that reports selection changes and clicks
    StyleNoIntegralHeight = 1u << 7,  // a list box keeps its exact height
    StyleCentered = 1u << 8,          // text centred horizontally
    StyleCenterVertically = 1u << 9,  // text centred vertically
    StyleMultiline = 1u << 10,        // an edit of many lines, wrapped at its width
    StyleReadOnly = 1u << 11          // an edit the user can scroll and copy from, not change
};

// Window styles of a dialog, combined bitwise.
enum EDialogStyle : unsigned {
    DialogVisible = 1u << 0,
    DialogPopup = 1u << 1,
    DialogCaption = 1u << 2,
    DialogSystemMenu = 1u << 3,
    DialogMinimizeBox = 1u << 4,
    DialogMaximizeBox = 1u << 5,
    DialogModalFrame = 1u << 6,
    DialogAppWindow = 1u << 7  // shown in the task bar as an application window
};

// The id of controls that are never addressed (labels, frames, lines).
constexpr int IDC_STATIC = -1;

struct SDialogRect {
    int x;
    int y;
    int width;
    // For a combo box: the height with its list opened.
    int height;
};

struct SControlTemplate {
    int id;
    EControlKind kind;
    std::string text;
    SDialogRect rect;
    unsigned style;
    // The items a combo box is filled with when the dialog is created.
    std::vector<std::string> items;
};

struct SDialogFont {
    std::string name;
    int points;
};

struct SDialogTemplate {
    int id;
    std::string caption;
    int width;
    int height;
    SDialogFont font;
    unsigned style;
    // In template order, which is also the tab order.
    std::vector<SControlTemplate> controls;
    // The window's icon resource (IDR_MAINFRAME), or 0 for none.
    int iconId = 0;
};

// The template with that resource id, or null when there is none.
const SDialogTemplate* FindDialogTemplate(int templateId);
