#pragma once

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/ProfileFile.h"

// The application's private profile. Reads come from the text loaded at construction, parsed
// once per section however many keys are read; writes are gathered and go to the file
// together in one atomic replacement (Commit), so a save by another instance is never torn
// and the last save decides.
class CProfile {
public:
    explicit CProfile(const std::string& path);
    // A profile read from a text instead of its file, for looking at a file's current text.
    static CProfile OfText(std::string text);

    // False when the file exists but could not be read; ReadError then says why.
    bool IsReadable() const { return m_read != EProfileRead::Failed; }
    const std::string& ReadError() const { return m_readError; }
    // Whether there was a file at all, readable or not.
    bool WasFound() const { return m_read != EProfileRead::Missing; }
    // A file in an encoding the program cannot read reads as empty, and is never saved over.
    bool HasUnknownEncoding() const { return m_read == EProfileRead::UnknownEncoding; }

    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const;
    // A value that is not a number reads as 0; a missing key gives the default.
    int GetProfileInt(const std::string& section, const std::string& key, int defaultValue) const;

    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value);
    void WriteProfileInt(const std::string& section, const std::string& key, int value);

    // Applies every write made so far onto the file's current text.
    // When the save fails or is busy, error (when given) says why.
    EProfileSave Commit(EMissingProfile ifMissing = EMissingProfile::Create,
                        std::string* error = nullptr);
    // Applies the writes that writesFor makes from the file's text as it is at the moment of
    // the save, read under the save's lock, so nothing another instance saved meanwhile is
    // undone by a copy read earlier.
    static EProfileSave Rewrite(const std::string& path,
                                const std::function<void(const CProfile& current,
                                                         CProfile& writes)>& writesFor,
                                EMissingProfile ifMissing = EMissingProfile::Create,
                                std::string* error = nullptr);

private:
    struct PendingWrite {
        std::string section;
        std::string key;
        std::string value;
    };
    using SectionValues = std::unordered_map<std::string, std::string>;

    CProfile() = default;
    const SectionValues& Section(const std::string& section) const;
    std::string ApplyWrites(std::string text) const;

    std::string m_path;
    std::string m_text;
    EProfileRead m_read = EProfileRead::Read;
    std::string m_readError;
    // Sections parsed so far, by lower-cased name.
    mutable std::map<std::string, SectionValues> m_sections;
    std::vector<PendingWrite> m_writes;
};
