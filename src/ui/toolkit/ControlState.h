#pragma once

#include <string>
#include <vector>

#include "res/DialogTemplates.h"
#include "ui/toolkit/Dialog.h"

// The state of one control of a running dialog, built from its template.
struct CDialog::SControlState {
    explicit SControlState(const SControlTemplate& control)
        : source(&control),
          text(control.text),
          enabled((control.style & StyleDisabled) == 0),
          items(control.items) {}

    int Id() const { return source->id; }
    EControlKind Kind() const { return source->kind; }
    bool IsListOrCombo() const {
        return Kind() == EControlKind::ListBox || Kind() == EControlKind::ComboBox;
    }
    bool IsButtonOrCheck() const {
        return Kind() == EControlKind::PushButton || Kind() == EControlKind::CheckBox;
    }
    bool CanTakeFocus() const { return IsListOrCombo() || IsButtonOrCheck() || IsEdit(); }
    bool IsEdit() const { return Kind() == EControlKind::Edit; }
    bool IsTabStop() const { return (source->style & StyleTabStop) != 0; }
    int Count() const { return static_cast<int>(items.size()); }

    const SControlTemplate* source;
    std::string text;
    int check = 0;
    bool enabled;
    std::vector<std::string> items;
    int selection = -1;
    // An edit's selection, in characters; equal ends are a plain caret.
    int selectionStart = 0;
    int selectionEnd = 0;
};
