#include "platform/ProfileEncoding.h"

#include "model/Utf16Text.h"
#include "platform/SystemText.h"

namespace {

const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kUtf16LeMark = "\xFF\xFE";
const std::string kUtf16BeMark = "\xFE\xFF";
const std::string kUtf32LeMark = std::string("\xFF\xFE\0\0", 4);

bool StartsWith(const std::string& bytes, const std::string& start) {
    return bytes.compare(0, start.size(), start) == 0;
}

bool IsAsciiText(char c) {
    return (c >= ' ' && c <= '~') || c == '\t' || c == '\r' || c == '\n';
}

// A text character beside a NUL at the start is UTF-16 (or UTF-32) without a mark: an 8-bit
// profile never starts so. Other bytes are left to be read as 8-bit text, junk or not.
bool IsWideWithoutMark(const std::string& bytes) {
    return bytes.size() >= 2 && ((bytes[0] == '\0' && IsAsciiText(bytes[1])) ||
                                 (bytes[1] == '\0' && IsAsciiText(bytes[0])));
}

// Told by the bytes at the start of the file.
EProfileEncoding ProfileEncodingOf(const std::string& bytes) {
    if (StartsWith(bytes, kUtf8Mark)) return EProfileEncoding::Utf8WithMark;
    if (StartsWith(bytes, kUtf32LeMark) || StartsWith(bytes, kUtf16BeMark))
        return EProfileEncoding::Unknown;
    if (StartsWith(bytes, kUtf16LeMark)) return EProfileEncoding::Utf16LeWithMark;
    if (IsWideWithoutMark(bytes)) return EProfileEncoding::Unknown;
    return EProfileEncoding::Plain;
}

bool DecodedText(const std::string& bytes, EProfileEncoding encoding, std::string* text) {
    std::string utf8;
    switch (encoding) {
    case EProfileEncoding::Plain:
        *text = bytes;
        return true;
    case EProfileEncoding::Utf8WithMark:
        return SystemTextFromUtf8(bytes.substr(kUtf8Mark.size()), text);
    case EProfileEncoding::Utf16LeWithMark:
        return Utf8FromUtf16Le(bytes.substr(kUtf16LeMark.size()), &utf8) &&
               SystemTextFromUtf8(utf8, text);
    case EProfileEncoding::Unknown:
        break;
    }
    return false;
}

}  // namespace

bool ProfileTextOf(const std::string& bytes, EProfileEncoding* encoding, std::string* text) {
    *encoding = ProfileEncodingOf(bytes);
    if (DecodedText(bytes, *encoding, text)) return true;
    text->clear();
    return false;
}

bool ProfileBytesOf(const std::string& text, EProfileEncoding encoding, std::string* bytes) {
    std::string utf8, wide;
    switch (encoding) {
    case EProfileEncoding::Plain:
        *bytes = text;
        return true;
    case EProfileEncoding::Utf8WithMark:
        if (!Utf8FromSystemText(text, &utf8)) return false;
        *bytes = kUtf8Mark + utf8;
        return true;
    case EProfileEncoding::Utf16LeWithMark:
        if (!Utf8FromSystemText(text, &utf8) || !Utf16LeFromUtf8(utf8, &wide)) return false;
        *bytes = kUtf16LeMark + wide;
        return true;
    case EProfileEncoding::Unknown:
        break;
    }
    return false;
}

EProfileRead DecodeProfile(EProfileRead read, const std::string& bytes,
                           EProfileEncoding* encoding, std::string* text) {
    *encoding = EProfileEncoding::Plain;
    text->clear();
    if (read != EProfileRead::Read) return read;
    return ProfileTextOf(bytes, encoding, text) ? read : EProfileRead::UnknownEncoding;
}

std::string UnsavableReason(EProfileRead read, const std::string& unreadable) {
    switch (read) {
    case EProfileRead::UnknownEncoding:
        return "it is in an encoding PELKAR cannot read";
    case EProfileRead::Failed:
        return unreadable;
    default:
        return "another program removed it";
    }
}

bool IsUpdatable(EProfileRead read, EMissingProfile ifMissing) {
    return read == EProfileRead::Read ||
           (read == EProfileRead::Missing && ifMissing == EMissingProfile::Create);
}
