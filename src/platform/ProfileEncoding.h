#pragma once

#include <string>

#include "platform/ProfileFile.h"

// A profile is read in the encodings the system's profile functions read: 8-bit text as it is,
// UTF-8 with a byte-order mark, and UTF-16LE with a byte-order mark, whose text is converted
// into the program's code page and written back in the file's own encoding, mark included.

enum class EProfileEncoding {
    Plain,
    Utf8WithMark,
    Utf16LeWithMark,
    // UTF-16 big-endian or without a mark, UTF-32: such a file is read as empty and never
    // rewritten.
    Unknown,
};

// The file's text in the program's code page, without the mark, and its encoding, told by the
// bytes at its start. False, with an empty text, when the encoding is Unknown, the bytes are not
// valid in their encoding, or they hold a character the code page lacks.
bool ProfileTextOf(const std::string& bytes, EProfileEncoding* encoding, std::string* text);

// The text written in the encoding, mark first. False when a character cannot be written in it.
bool ProfileBytesOf(const std::string& text, EProfileEncoding encoding, std::string* bytes);

// The text of a profile whose bytes were read with the outcome given: Read becomes
// UnknownEncoding where the bytes cannot be decoded. Any other outcome leaves an empty, Plain text.
EProfileRead DecodeProfile(EProfileRead read, const std::string& bytes,
                           EProfileEncoding* encoding, std::string* text);

// Whether a save may write the profile after reading it with that outcome: a file that could not
// be read stays as it is, and so does one that was expected and is gone.
bool IsUpdatable(EProfileRead read, EMissingProfile ifMissing);
// Why a file read so may not be saved over; unreadable is the system's reason for a failed read.
std::string UnsavableReason(EProfileRead read, const std::string& unreadable);
