#pragma once

#include <string>
#include <vector>

class CCommandLine;

// The thirteen recording fields, in their fixed order. The same order governs the stored
// filter text, the command-line reading and the order of the tests in matching.
enum EDVAField {
    FieldMpeg,
    FieldTitle,
    FieldEpisode,
    FieldStartDate,
    FieldStartTime,
    FieldDur,
    FieldShowId,
    FieldDName,
    FieldDCat,
    FieldDChan,
    FieldRName,
    FieldRCat,
    FieldRChan,
    DVAFieldCount
};

// The field's name as the host and the placeholders spell it ("mpeg", "startdate", ...).
const char* DVAFieldName(EDVAField field);
// The host's option for the field ("--mpeg", ...).
std::string DVAFieldOption(EDVAField field);
// The field's placeholder in output-name templates ("%mpeg%", ...).
std::string DVAFieldPlaceholder(EDVAField field);

// A recording's fields (texts only) or an action's filter (flags and wildcard patterns).
class CDVAFlags {
public:
    CDVAFlags() = default;
    CDVAFlags(const CDVAFlags&) = default;
    CDVAFlags& operator=(const CDVAFlags&) = default;
    virtual ~CDVAFlags() = default;

    int GetFlag(EDVAField field) const { return m_flags[field]; }
    void SetFlag(EDVAField field, int flag) { m_flags[field] = flag; }
    // The stored text, as held (dcat may hold untrimmed text).
    const std::string& GetText(EDVAField field) const { return m_texts[field]; }
    // Trims, like every text setter but SetDCat.
    void SetText(EDVAField field, const std::string& text);

    int GetMpegFlag() const { return GetFlag(FieldMpeg); }
    void SetMpegFlag(int flag) { SetFlag(FieldMpeg, flag); }
    std::string GetMpeg() const { return GetText(FieldMpeg); }
    void SetMpeg(const std::string& text) { SetText(FieldMpeg, text); }
    int GetTitleFlag() const { return GetFlag(FieldTitle); }
    void SetTitleFlag(int flag) { SetFlag(FieldTitle, flag); }
    std::string GetTitle() const { return GetText(FieldTitle); }
    void SetTitle(const std::string& text) { SetText(FieldTitle, text); }
    int GetEpisodeFlag() const { return GetFlag(FieldEpisode); }
    void SetEpisodeFlag(int flag) { SetFlag(FieldEpisode, flag); }
    std::string GetEpisode() const { return GetText(FieldEpisode); }
    void SetEpisode(const std::string& text) { SetText(FieldEpisode, text); }
    int GetStartDateFlag() const { return GetFlag(FieldStartDate); }
    void SetStartDateFlag(int flag) { SetFlag(FieldStartDate, flag); }
    std::string GetStartDate() const { return GetText(FieldStartDate); }
    void SetStartDate(const std::string& text) { SetText(FieldStartDate, text); }
    int GetStartTimeFlag() const { return GetFlag(FieldStartTime); }
    void SetStartTimeFlag(int flag) { SetFlag(FieldStartTime, flag); }
    std::string GetStartTime() const { return GetText(FieldStartTime); }
    void SetStartTime(const std::string& text) { SetText(FieldStartTime, text); }
    int GetDurFlag() const { return GetFlag(FieldDur); }
    void SetDurFlag(int flag) { SetFlag(FieldDur, flag); }
    std::string GetDur() const { return GetText(FieldDur); }
    void SetDur(const std::string& text) { SetText(FieldDur, text); }
    int GetShowIdFlag() const { return GetFlag(FieldShowId); }
    void SetShowIdFlag(int flag) { SetFlag(FieldShowId, flag); }
    std::string GetShowId() const { return GetText(FieldShowId); }
    void SetShowId(const std::string& text) { SetText(FieldShowId, text); }
    int GetDNameFlag() const { return GetFlag(FieldDName); }
    void SetDNameFlag(int flag) { SetFlag(FieldDName, flag); }
    std::string GetDName() const { return GetText(FieldDName); }
    void SetDName(const std::string& text) { SetText(FieldDName, text); }
    int GetDCatFlag() const { return GetFlag(FieldDCat); }
    void SetDCatFlag(int flag) { SetFlag(FieldDCat, flag); }
    // dcat differs: the setter keeps the text as given and the getter trims what it returns.
    std::string GetDCat() const;
    void SetDCat(const std::string& text) { m_texts[FieldDCat] = text; }
    int GetDChanFlag() const { return GetFlag(FieldDChan); }
    void SetDChanFlag(int flag) { SetFlag(FieldDChan, flag); }
    std::string GetDChan() const { return GetText(FieldDChan); }
    void SetDChan(const std::string& text) { SetText(FieldDChan, text); }
    int GetRNameFlag() const { return GetFlag(FieldRName); }
    void SetRNameFlag(int flag) { SetFlag(FieldRName, flag); }
    std::string GetRName() const { return GetText(FieldRName); }
    void SetRName(const std::string& text) { SetText(FieldRName, text); }
    int GetRCatFlag() const { return GetFlag(FieldRCat); }
    void SetRCatFlag(int flag) { SetFlag(FieldRCat, flag); }
    std::string GetRCat() const { return GetText(FieldRCat); }
    void SetRCat(const std::string& text) { SetText(FieldRCat, text); }
    int GetRChanFlag() const { return GetFlag(FieldRChan); }
    void SetRChanFlag(int flag) { SetFlag(FieldRChan, flag); }
    std::string GetRChan() const { return GetText(FieldRChan); }
    void SetRChan(const std::string& text) { SetText(FieldRChan, text); }

    // The text as it goes into the stored filter text: trimmed, "<NULL>" when empty.
    static std::string EncodeField(const std::string& text);
    // A text from the stored filter text or the command line: exact "<NULL>" becomes empty,
    // then trimmed.
    static std::string DecodeField(const std::string& text);

    // Fills the thirteen texts from the host's options; the flags stay as they are.
    void ParseCommandLine(const CCommandLine& commandLine);

    std::string ToString() const;
    void FromString(const std::string& stored);
    // Usable as a filter: at least one entry on, and every entry that is on has a pattern.
    bool IsValid() const;

    // This filter against a recording's record: every entry that is on must match.
    bool Matches(const CDVAFlags& recording) const;
    // The entries that are on and whose pattern the recording's text does not match, in
    // entry order; what makes Matches false for a usable filter.
    std::vector<EDVAField> MismatchedFields(const CDVAFlags& recording) const;

    // The output-name template with the "%field%" placeholders replaced by this record's texts,
    // in one pass: a text that holds a placeholder is kept as it is.
    std::string ReplacePlaceholders(const std::string& pattern) const;

private:
    // The text as the getters give it (dcat trimmed), used by matching.
    std::string GetFieldText(EDVAField field) const;
    bool FieldMatches(EDVAField field, const CDVAFlags& recording) const;

    int m_flags[DVAFieldCount] = {};
    std::string m_texts[DVAFieldCount];
};
