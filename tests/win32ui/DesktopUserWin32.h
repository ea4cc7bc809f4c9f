#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "res/DialogTemplates.h"

// The person at the screen, for the tests of the native dialogs: it finds the program's
// windows and acts on them with the messages the system sends for a click or a key, from a
// thread other than the one that runs the dialogs. Neutral types only, so the tests that use
// it can include the dialog toolkit.

using WindowRef = std::uintptr_t;

// A visible top-level window of this process with exactly this caption; 0 after ten seconds.
WindowRef WaitForWindow(const std::string& caption);
// The same for a window of another process.
WindowRef WaitForWindow(const std::string& caption, unsigned long processId);
// A visible balloon of the notification area, which the shell shows in a process of its own;
// 0 after ten seconds.
WindowRef WaitForBalloon();
// False when the window is still there after ten seconds.
bool WaitUntilGone(WindowRef window);
bool IsOpen(WindowRef window);
// Whether the window itself takes input (an owner is disabled while its dialog runs).
bool IsEnabled(WindowRef window);
// The window's owner; 0 for none.
WindowRef OwnerOf(WindowRef window);
// Whether the window's centre lies on the other window.
bool IsCentredOver(WindowRef window, WindowRef below);

// A click on a button or check box (posted: it may open a modal dialog).
void ClickControl(WindowRef window, int controlId);
// A key pressed and released on the control that has the keyboard focus.
void PressKey(WindowRef window, unsigned key);
// A key pressed and released on the keyboard itself, which reaches the active window through
// the system's input queue (only such a press of the help key becomes WM_HELP).
void PressKeyboardKey(WindowRef window, unsigned key);
// Text typed into an edit, replacing what it held.
void TypeInto(WindowRef window, int controlId, const std::string& text);
// A system-menu command chosen (posted).
void ChooseSystemCommand(WindowRef window, unsigned commandId);

std::string ControlText(WindowRef window, int controlId);
bool IsControlEnabled(WindowRef window, int controlId);
bool IsControlChecked(WindowRef window, int controlId);
std::vector<std::string> ListItems(WindowRef window, int controlId);
int ListSelection(WindowRef window, int controlId);
// The id of the control with the keyboard focus, 0 for none.
int FocusedControl(WindowRef window);
// The system menu's entries, top to bottom: command id (0 for a separator) and text.
std::vector<std::pair<unsigned, std::string>> SystemMenu(WindowRef window);
// Whether the window lies wholly inside the screen's work area.
bool FitsWorkArea(WindowRef window);
// The first line that a multi-line edit shows; 0 at its top.
int FirstVisibleLine(WindowRef window, int controlId);

// While it exists the process has no standard output, as a program started from the desktop.
class CWithoutStandardOutput {
public:
    CWithoutStandardOutput();
    ~CWithoutStandardOutput();
    CWithoutStandardOutput(const CWithoutStandardOutput&) = delete;
    CWithoutStandardOutput& operator=(const CWithoutStandardOutput&) = delete;

private:
    void* m_output;
};

// A program started as from the desktop: without a console and without standard handles.
// It is ended at the latest when the object goes.
class CDesktopProgram {
public:
    explicit CDesktopProgram(const std::string& commandLine);
    ~CDesktopProgram();
    CDesktopProgram(const CDesktopProgram&) = delete;
    CDesktopProgram& operator=(const CDesktopProgram&) = delete;

    // 0 when it could not be started.
    unsigned long Id() const { return m_id; }
    // Its exit status once it has ended; -1 when it still runs after ten seconds.
    int WaitForExit();

private:
    void* m_process = nullptr;
    unsigned long m_id = 0;
};

// Whether the window answers WM_QUERYDRAGICON with an icon.
bool HasDragIcon(WindowRef window);

// The controls whose place on screen differs from where the template puts them, in the
// template's dialog units converted by the window itself and widened evenly as far as the
// window is wider than its template; empty when all match (to a pixel of rounding).
std::vector<int> MisplacedControls(WindowRef window, const SDialogTemplate& dialogTemplate);
// The controls whose text the window clips (wider than the control can show).
std::vector<int> ClippedControls(WindowRef window, const SDialogTemplate& dialogTemplate);

// Saves the window as it is drawn on screen, as a 24-bit BMP file.
bool SaveWindowImage(WindowRef window, const std::string& path);

// The text on the clipboard, or empty.
std::string ClipboardText();
// The answer to a message box: its OK, Yes or No button.
void AnswerMessageBox(WindowRef box, int answer);
// The text of a message box.
std::string MessageBoxText(WindowRef box);
