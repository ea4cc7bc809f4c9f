#include "platform/win32/DialogTemplateWin32.h"

#include <windows.h>

#include <string>

namespace {

// The predefined window classes, by their atoms.
const WORD kButtonClass = 0x0080;
const WORD kEditClass = 0x0081;
const WORD kStaticClass = 0x0082;
const WORD kListBoxClass = 0x0083;
const WORD kComboBoxClass = 0x0085;

struct SNativeControl {
    WORD windowClass;
    DWORD style;
};

DWORD StyleIf(unsigned styles, unsigned flag, DWORD native) {
    return (styles & flag) != 0 ? native : 0;
}

SNativeControl NativeControl(const SControlTemplate& control) {
    const unsigned s = control.style;
    switch (control.kind) {
        case EControlKind::Static:
            return {kStaticClass, DWORD((s & StyleCentered) ? SS_CENTER : SS_LEFT) |
                                      StyleIf(s, StyleCenterVertically, SS_CENTERIMAGE)};
        case EControlKind::GroupBox:
            return {kButtonClass, BS_GROUPBOX};
        case EControlKind::EtchedLine:
            return {kStaticClass, SS_ETCHEDHORZ};
        case EControlKind::EtchedFrame:
            return {kStaticClass, SS_ETCHEDFRAME};
        case EControlKind::PushButton:
            return {kButtonClass,
                    DWORD((s & StyleDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
        case EControlKind::CheckBox:
            return {kButtonClass, BS_AUTOCHECKBOX};
        case EControlKind::Edit:
            return {kEditClass, ES_LEFT | StyleIf(s, StyleAutoHScroll, ES_AUTOHSCROLL) |
                                    StyleIf(s, StyleMultiline, ES_MULTILINE | ES_AUTOVSCROLL) |
                                    StyleIf(s, StyleReadOnly, ES_READONLY)};
        case EControlKind::ListBox:
            return {kListBoxClass, StyleIf(s, StyleNotify, LBS_NOTIFY) |
                                       StyleIf(s, StyleNoIntegralHeight, LBS_NOINTEGRALHEIGHT)};
        case EControlKind::ComboBox:
            return {kComboBoxClass, CBS_DROPDOWNLIST};
    }
    return {kStaticClass, SS_LEFT};
}

DWORD ControlStyle(const SControlTemplate& control) {
    const unsigned s = control.style;
    return WS_CHILD | WS_VISIBLE | NativeControl(control).style |
           StyleIf(s, StyleTabStop, WS_TABSTOP) | StyleIf(s, StyleDisabled, WS_DISABLED) |
           StyleIf(s, StyleBorder, WS_BORDER) | StyleIf(s, StyleVScroll, WS_VSCROLL);
}

DWORD DialogStyle(unsigned s) {
    return DS_SETFONT | DS_3DLOOK | DS_CENTER | StyleIf(s, DialogPopup, WS_POPUP) |
           StyleIf(s, DialogCaption, WS_CAPTION) | StyleIf(s, DialogSystemMenu, WS_SYSMENU) |
           StyleIf(s, DialogMinimizeBox, WS_MINIMIZEBOX) |
           StyleIf(s, DialogMaximizeBox, WS_MAXIMIZEBOX) |
           StyleIf(s, DialogModalFrame, DS_MODALFRAME);
}

// Writes the parts of the template in order, each at the alignment the system expects.
class CTemplateWriter {
public:
    void Align(std::size_t boundary) {
        while (m_bytes.size() % boundary != 0) m_bytes.push_back(0);
    }
    void Word(WORD value) { Raw(&value, sizeof value); }
    void Dword(DWORD value) { Raw(&value, sizeof value); }
    void Short(short value) { Raw(&value, sizeof value); }
    // Text in the system's code page, written as the UTF-16 the template holds.
    void Text(const std::string& text) {
        std::wstring wide(text.size(), L'\0');
        const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0],
                                               int(wide.size()));
        for (int i = 0; i < length; ++i) Word(static_cast<WORD>(wide[i]));
        Word(0);
    }
    void Rect(const SDialogRect& rect) {
        Short(short(rect.x));
        Short(short(rect.y));
        Short(short(rect.width));
        Short(short(rect.height));
    }
    std::vector<unsigned char> Bytes() const { return m_bytes; }

private:
    void Raw(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }

    std::vector<unsigned char> m_bytes;
};

void WriteControl(CTemplateWriter& writer, const SControlTemplate& control) {
    writer.Align(sizeof(DWORD));
    writer.Dword(ControlStyle(control));
    writer.Dword(0);
    writer.Rect(control.rect);
    writer.Word(static_cast<WORD>(control.id));
    writer.Word(0xFFFF);
    writer.Word(NativeControl(control).windowClass);
    writer.Text(control.text);
    writer.Word(0);
}

}  // namespace

std::vector<unsigned char> BuildDialogTemplate(const SDialogTemplate& dialogTemplate) {
    CTemplateWriter writer;
    writer.Dword(DialogStyle(dialogTemplate.style));
    writer.Dword((dialogTemplate.style & DialogAppWindow) != 0 ? WS_EX_APPWINDOW : 0);
    writer.Word(static_cast<WORD>(dialogTemplate.controls.size()));
    writer.Rect({0, 0, dialogTemplate.width, dialogTemplate.height});
    writer.Word(0);
    writer.Word(0);
    writer.Text(dialogTemplate.caption);
    writer.Word(static_cast<WORD>(dialogTemplate.font.points));
    writer.Text(dialogTemplate.font.name);
    for (const SControlTemplate& control : dialogTemplate.controls) WriteControl(writer, control);
    return writer.Bytes();
}
