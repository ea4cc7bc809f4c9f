#include "platform/wx/ControlsWx.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/statbox.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "platform/wx/TextWx.h"

namespace {

bool HasStyle(const SControlTemplate& control, unsigned style) {
    return (control.style & style) != 0;
}

wxWindow* CreateLabel(wxWindow* parent, const SControlTemplate& control) {
    const long align = HasStyle(control, StyleCentered) ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT;
    return new wxStaticText(parent, wxID_ANY, ToWx(control.text), wxDefaultPosition, wxDefaultSize,
                            wxST_NO_AUTORESIZE | align);
}

wxWindow* CreateEdit(wxWindow* parent, const SControlTemplate& control) {
    const long border = HasStyle(control, StyleBorder) ? 0 : wxBORDER_NONE;
    return new wxTextCtrl(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, border);
}

wxWindow* CreateDropDownList(wxWindow* parent, const SControlTemplate& control) {
    auto* choice = new wxChoice(parent, wxID_ANY);
    for (const std::string& item : control.items) choice->Append(ToWx(item));
    return choice;
}

// Buttons fit their text exactly, so their best width tells the room the text needs.
wxWindow* CreateButton(wxWindow* parent, const SControlTemplate& control) {
    auto* button = new wxButton(parent, wxID_ANY, ToWx(control.text), wxDefaultPosition,
                                wxDefaultSize, wxBU_EXACTFIT);
    if (HasStyle(control, StyleDefaultButton)) button->SetDefault();
    return button;
}

// A control the desktop draws higher than its template stays centred on the template's middle.
wxRect CentredVertically(const wxRect& rect, int height) {
    return wxRect(rect.x, rect.y + (rect.height - height) / 2, rect.width, height);
}

}  // namespace

bool IsFrameKind(EControlKind kind) {
    return kind == EControlKind::GroupBox || kind == EControlKind::EtchedFrame;
}

wxWindow* CreateControlWx(wxWindow* parent, const SControlTemplate& control) {
    switch (control.kind) {
        case EControlKind::Static:
            return CreateLabel(parent, control);
        case EControlKind::GroupBox:
        case EControlKind::EtchedFrame:
            return new wxStaticBox(parent, wxID_ANY, ToWx(control.text));
        case EControlKind::EtchedLine:
            return new wxStaticLine(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                    wxLI_HORIZONTAL);
        case EControlKind::PushButton:
            return CreateButton(parent, control);
        case EControlKind::CheckBox:
            return new wxCheckBox(parent, wxID_ANY, ToWx(control.text));
        case EControlKind::Edit:
            return CreateEdit(parent, control);
        case EControlKind::ListBox:
            return new wxListBox(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                                 wxLB_SINGLE);
        case EControlKind::ComboBox:
            return CreateDropDownList(parent, control);
    }
    return nullptr;
}

int NeededWidthWx(const wxWindow& window, const SControlTemplate& control) {
    const wxString label = window.GetLabel();
    if (label.empty()) return 0;
    switch (control.kind) {
        case EControlKind::Static:
            return window.GetTextExtent(label).x;
        case EControlKind::PushButton:
        case EControlKind::CheckBox:
            return window.GetBestSize().x;
        default:
            return 0;
    }
}

void PlaceControlWx(wxWindow& window, const SControlTemplate& control,
                    const CWxDialogUnits& units) {
    wxRect rect = units.ToPixels(control.rect);
    const wxSize best = window.GetBestSize();
    switch (control.kind) {
        case EControlKind::Static:
            if (HasStyle(control, StyleCenterVertically)) {
                rect = CentredVertically(rect, std::min(best.y, rect.height));
            }
            break;
        case EControlKind::EtchedLine:
            rect.height = best.y;
            break;
        // A check box keeps its template's height, which its neighbours leave it; without
        // text it is only its box, which may need more width than the template gives it.
        case EControlKind::CheckBox:
            rect.width = std::max(rect.width, best.x);
            break;
        // The template's height of a drop-down list is its opened height; closed, it is as
        // high as the desktop draws it.
        case EControlKind::ComboBox:
            rect.width = std::max(rect.width, best.x);
            rect.height = best.y;
            break;
        default:
            break;
    }
    window.SetSize(rect);
}
