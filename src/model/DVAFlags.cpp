#include "model/DVAFlags.h"

#include <vector>

#include "model/CommandLine.h"
#include "model/StoredFields.h"
#include "model/Text.h"
#include "model/WildcardMatch.h"

namespace {

const char* const kFieldNames[DVAFieldCount] = {
    "mpeg",  "title", "episode", "startdate", "starttime", "dur",  "showid",
    "dname", "dcat",  "dchan",   "rname",     "rcat",      "rchan"};

const char* const kNullMarker = "<NULL>";

EDVAField FieldAt(int index) {
    return static_cast<EDVAField>(index);
}

// The field whose placeholder begins at the position; DVAFieldCount for none.
EDVAField PlaceholderAt(const std::string& text, std::string::size_type position) {
    if (text[position] != '%') return DVAFieldCount;
    for (int i = 0; i < DVAFieldCount; ++i) {
        const std::string placeholder = DVAFieldPlaceholder(FieldAt(i));
        if (text.compare(position, placeholder.size(), placeholder) == 0) return FieldAt(i);
    }
    return DVAFieldCount;
}

}  // namespace

const char* DVAFieldName(EDVAField field) {
    return kFieldNames[field];
}

std::string DVAFieldOption(EDVAField field) {
    return std::string("--") + kFieldNames[field];
}

std::string DVAFieldPlaceholder(EDVAField field) {
    return std::string("%") + kFieldNames[field] + "%";
}

void CDVAFlags::SetText(EDVAField field, const std::string& text) {
    m_texts[field] = Trim(text);
}

std::string CDVAFlags::GetDCat() const {
    return Trim(m_texts[FieldDCat]);
}

std::string CDVAFlags::EncodeField(const std::string& text) {
    const std::string trimmed = Trim(text);
    return trimmed.empty() ? kNullMarker : trimmed;
}

std::string CDVAFlags::DecodeField(const std::string& text) {
    // The marker counts only when exact, before any trimming.
    return text == kNullMarker ? std::string() : Trim(text);
}

void CDVAFlags::ParseCommandLine(const CCommandLine& commandLine) {
    for (int i = 0; i < DVAFieldCount; ++i) {
        m_texts[i] = DecodeField(commandLine.GetOption(DVAFieldOption(FieldAt(i))));
    }
}

std::string CDVAFlags::ToString() const {
    const std::string separator = kStoredFieldSeparator;
    std::string stored;
    for (int i = 0; i < DVAFieldCount; ++i) {
        stored += std::to_string(m_flags[i]) + separator + EncodeField(m_texts[i]) + separator;
    }
    return stored;
}

void CDVAFlags::FromString(const std::string& stored) {
    const std::vector<std::string> fields = SplitStoredFields(stored, 2 * DVAFieldCount);
    for (int i = 0; i < DVAFieldCount; ++i) {
        m_flags[i] = DecimalValue(fields[2 * i]);
        m_texts[i] = DecodeField(fields[2 * i + 1]);
    }
}

bool CDVAFlags::IsValid() const {
    bool anyOn = false;
    for (int i = 0; i < DVAFieldCount; ++i) {
        if (m_flags[i] != 0) {
            if (m_texts[i].empty()) {
                return false;
            }
            anyOn = true;
        }
    }
    return anyOn;
}

bool CDVAFlags::FieldMatches(EDVAField field, const CDVAFlags& recording) const {
    return WildcardMatch(recording.GetFieldText(field), m_texts[field]);
}

bool CDVAFlags::Matches(const CDVAFlags& recording) const {
    if (!IsValid()) {
        return false;
    }
    for (int i = 0; i < DVAFieldCount; ++i) {
        if (m_flags[i] != 0 && !FieldMatches(FieldAt(i), recording)) {
            return false;
        }
    }
    return true;
}

std::vector<EDVAField> CDVAFlags::MismatchedFields(const CDVAFlags& recording) const {
    std::vector<EDVAField> mismatched;
    for (int i = 0; i < DVAFieldCount; ++i) {
        if (m_flags[i] != 0 && !FieldMatches(FieldAt(i), recording)) {
            mismatched.push_back(FieldAt(i));
        }
    }
    return mismatched;
}

// One pass over the template: an inserted text is never read again, so a value's own "%...%"
// stays as broadcast.
std::string CDVAFlags::ReplacePlaceholders(const std::string& pattern) const {
    std::string result;
    std::string::size_type position = 0;
    while (position < pattern.size()) {
        const EDVAField field = PlaceholderAt(pattern, position);
        if (field == DVAFieldCount) {
            result += pattern[position++];
        } else {
            result += m_texts[field];
            position += DVAFieldPlaceholder(field).size();
        }
    }
    return result;
}

std::string CDVAFlags::GetFieldText(EDVAField field) const {
    return field == FieldDCat ? GetDCat() : GetText(field);
}
