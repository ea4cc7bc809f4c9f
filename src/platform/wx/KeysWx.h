#pragma once

// The dialog's key code (a VK_ value) of a key the toolkit reports, or 0 for a key the dialog
// has no code for (those go straight to the control with the focus).
unsigned VirtualKeyOf(int wxKeyCode);
