#include "platform/wx/MessageBoxWx.h"

#include <wx/msgdlg.h>
// Only after the desktop's own box, whose declarations it builds on.
#include <wx/generic/msgdlgg.h>

#include "platform/wx/DialogUnitsWx.h"
#include "platform/wx/TextWx.h"
#include "ui/toolkit/Dialog.h"

namespace {

constexpr unsigned kButtonMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;

long ButtonStyle(unsigned style) {
    switch (style & kButtonMask) {
        case MB_YESNO:
            return wxYES_NO | wxYES_DEFAULT;
        case MB_OKCANCEL:
            return wxOK | wxCANCEL | wxOK_DEFAULT;
        default:
            return wxOK;
    }
}

long IconStyle(unsigned style) {
    switch (style & kIconMask) {
        case MB_ICONSTOP:
            return wxICON_ERROR;
        case MB_ICONQUESTION:
            return wxICON_QUESTION;
        case MB_ICONEXCLAMATION:
            return wxICON_WARNING;
        case MB_ICONINFORMATION:
            return wxICON_INFORMATION;
        default:
            return 0;
    }
}

// The desktop's own message box shows no icon, while the icon is part of the message; a box
// with an icon is drawn by wxWidgets itself.
int ShowBox(wxWindow* owner, const wxString& text, const wxString& caption, long style) {
    if ((style & wxICON_MASK) == 0) {
        wxMessageDialog box(owner, text, caption, style | wxICON_NONE);
        return box.ShowModal();
    }
    wxGenericMessageDialog box(owner, text, caption, style);
    box.SetFont(DialogFont());
    // Without a Cancel button, Esc and the close box would press the affirmative Yes.
    if ((style & wxYES_NO) == wxYES_NO) box.SetEscapeId(wxID_NO);
    return box.ShowModal();
}

// Only a button that says so confirms; a box left another way answers what changes nothing.
int Answer(unsigned style, int pressed) {
    const unsigned buttons = style & kButtonMask;
    if (buttons == MB_YESNO && pressed == wxID_YES) return IDYES;
    if (buttons == MB_OKCANCEL && pressed == wxID_OK) return IDOK;
    return AnswerThatChangesNothing(style);
}

}  // namespace

int ShowMessageBoxWx(wxWindow* owner, const std::string& text, const std::string& caption,
                     unsigned style) {
    const long boxStyle = ButtonStyle(style) | IconStyle(style) | wxCENTRE;
    return Answer(style, ShowBox(owner, ToWx(text), ToWx(caption), boxStyle));
}
