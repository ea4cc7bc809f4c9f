#pragma once

#include <gtest/gtest.h>
#include <wx/string.h>

#include <functional>

#include "platform/wx/DialogViewWx.h"
#include "ui/toolkit/Dialog.h"

class wxWindow;

// The wxWidgets host, registered and started once for the whole test program; tests that need
// a window are skipped when no display can be opened.
class WxTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// Runs the dialog modally in a window; the script runs inside the modal loop with the dialog's
// view, and a dialog still open afterwards is closed through its close box. Returns DoModal's
// result.
int RunInWindow(CDialog& dialog, const std::function<void(CWxDialogView& view)>& script);

// What the user does to a control, as the toolkit reports it.
void ClickButton(wxWindow& button);
void ToggleCheckBox(wxWindow& checkBox);
void TypeText(wxWindow& edit, const wxString& text);
void PickListItem(wxWindow& list, int index);
void DoubleClickListItem(wxWindow& list, int index);
// A key pressed while the window has the focus; true when the window consumed it.
bool PressKey(wxWindow& window, int keyCode);
