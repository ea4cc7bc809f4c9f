#pragma once

#include <string>
#include <vector>

#include "model/Action.h"
#include "res/Resource.h"
#include "ui/toolkit/Dialog.h"

// The action editor: edits its own copy of one action, keeps that copy up to date on every
// keystroke and click, and enables OK only while the action is complete.
class CActionDialog : public CDialog {
public:
    enum { IDD = IDD_ACTION };

    explicit CActionDialog(CDialog* parent = nullptr);
    ~CActionDialog() override;

    void SetCaption(const std::string& caption);
    // Takes the action the way the store would hold it (through its stored text).
    void SetAction(const CAction& action);
    CAction GetAction() const;

    bool OnInitDialog() override;
    bool PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override;

    // Enables "Use two pass", the filter edits and OK from the action.
    void UpdateControls();

protected:
    const std::vector<SMessageEntry>& GetMessageTable() const override;

    void OnCheckClicked();
    void OnEditChange();
    void OnBrowse();
    void OnSelectPlaceholder();

private:
    void FillControls();
    int EditRefusedByTheStore(std::string* message) const;
    int EditBreakingStoredText(std::string* label) const;
    int EditLoadedOtherwise(std::string* message) const;

    std::string m_caption;
    CAction m_action;
    // Set by an arrow key in the placeholder box: the selection change it causes inserts
    // nothing.
    bool bArrowKey = false;
};
