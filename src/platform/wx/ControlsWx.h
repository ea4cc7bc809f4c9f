#pragma once

#include "platform/wx/DialogUnitsWx.h"
#include "res/DialogTemplates.h"

class wxWindow;

// Whether the control is drawn as a frame behind other controls (a group box or an etched
// frame); frames are made first so they never cover the controls inside them.
bool IsFrameKind(EControlKind kind);

// Makes the toolkit's window for one control of a template, showing the template's text and
// items. It is placed later, once the dialog's units are known.
wxWindow* CreateControlWx(wxWindow* parent, const SControlTemplate& control);

// The width in pixels the control needs to show its current text unclipped, or 0 when its
// width does not depend on a text.
int NeededWidthWx(const wxWindow& window, const SControlTemplate& control);

// Places the control where the template puts it. Where the desktop draws a control larger than
// its template (a check box's box, a closed drop-down list), it keeps its template's middle
// line and left edge.
void PlaceControlWx(wxWindow& window, const SControlTemplate& control, const CWxDialogUnits& units);
