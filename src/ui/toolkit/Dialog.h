#pragma once

#include <string>

#include "ui/toolkit/Object.h"

// Results of a modal run and of a message box.
enum { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Message-box styles: buttons and icon.
enum : unsigned {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40
};

// A modal dialog built from a dialog template, with its controls addressed by id.
class CDialog : public CObject {
public:
    explicit CDialog(int templateId, CDialog* parent = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs OnInitDialog and, unless the dialog already ended there, shows
    // it until it ends. Returns the result passed to EndDialog.
    virtual int DoModal();

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    // A message box owned by this dialog. Without a caption the application's title is used.
    // Before the window exists, or without a display, it becomes one line "CAPTION: TEXT" on
    // standard error and answers OK, or No to a question.
    int MessageBox(const std::string& text, const std::string& caption = std::string(),
                   unsigned style = MB_OK);

protected:
    int GetTemplateId() const { return m_templateId; }
    bool HasEnded() const { return m_ended; }

private:
    int m_templateId;
    CDialog* m_parent;
    bool m_ended = false;
    int m_result = IDCANCEL;
};
