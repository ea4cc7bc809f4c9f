#include "EventFile.h"

namespace {

const char kMagic[] = "weas";
const std::size_t kHeaderSize = 8;
const std::size_t kRecordSize = 24;
const std::uint32_t kVersion = 1;
const std::uint32_t kMarker = 0xFFFFFFFFu;
// Longer than any recording the recorder makes, so a time beyond it is a misread.
const double kLongestRecordingSeconds = 24 * 3600.0;

std::uint64_t ReadNumber(const std::string& bytes, std::size_t offset, int size, bool bigEndian) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        const int index = bigEndian ? i : size - 1 - i;
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + index]);
    }
    return value;
}

void WriteNumber(std::string* bytes, std::uint64_t value, int size, bool bigEndian) {
    std::string field(static_cast<std::size_t>(size), '\0');
    for (int i = 0; i < size; ++i) {
        const int index = bigEndian ? size - 1 - i : i;
        field[static_cast<std::size_t>(index)] = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    *bytes += field;
}

// Audio records carry their power, video records their black level.
std::size_t LevelOffset(EEventKind kind) {
    return kind == EEventKind::Audio ? 16 : 20;
}

// The records in one byte order, or the reason they do not read that way.
bool ReadRecords(const std::string& bytes, bool bigEndian, std::vector<SEventRecord>* records,
                 std::string* reason) {
    records->clear();
    double previous = 0;
    for (std::size_t offset = kHeaderSize; offset + kRecordSize <= bytes.size();
         offset += kRecordSize) {
        const std::size_t number = (offset - kHeaderSize) / kRecordSize + 1;
        const std::uint64_t nanoseconds = ReadNumber(bytes, offset, 8, bigEndian);
        const std::uint64_t marker = ReadNumber(bytes, offset + 8, 4, bigEndian);
        const std::uint64_t kind = ReadNumber(bytes, offset + 12, 4, bigEndian);
        const double seconds = static_cast<double>(nanoseconds) / 1e9;
        if (marker != kMarker || (kind != 1 && kind != 2)) {
            *reason = "record " + std::to_string(number) + " is not an event";
            return false;
        }
        if (seconds > kLongestRecordingSeconds) {
            *reason = "record " + std::to_string(number) + " lies beyond any recording";
            return false;
        }
        if (seconds < previous) {
            *reason = "record " + std::to_string(number) + " goes back in time";
            return false;
        }
        previous = seconds;
        SEventRecord record;
        record.seconds = seconds;
        record.kind = static_cast<EEventKind>(kind);
        record.level = static_cast<std::uint32_t>(
            ReadNumber(bytes, offset + LevelOffset(record.kind), 4, bigEndian));
        records->push_back(record);
    }
    return true;
}

SEventFile Unusable(const std::string& reason) {
    SEventFile file;
    file.note = reason;
    return file;
}

}  // namespace

SEventFile ReadEventFile(const std::string& bytes) {
    if (bytes.size() < kHeaderSize || bytes.compare(0, 4, kMagic) != 0)
        return Unusable("it does not begin with \"weas\"");
    const bool littleVersion = ReadNumber(bytes, 4, 4, false) == kVersion;
    const bool bigVersion = ReadNumber(bytes, 4, 4, true) == kVersion;
    if (!littleVersion && !bigVersion) return Unusable("its version is not 1");
    SEventFile file;
    // The version tells the byte order; records that read only the other way still count.
    file.bigEndian = bigVersion;
    if (!ReadRecords(bytes, file.bigEndian, &file.records, &file.note)) {
        std::string otherReason;
        if (!ReadRecords(bytes, !file.bigEndian, &file.records, &otherReason)) return file;
        file.bigEndian = !file.bigEndian;
    }
    if (file.records.empty()) return Unusable("it holds no events");
    file.usable = true;
    const std::size_t leftOver = (bytes.size() - kHeaderSize) % kRecordSize;
    file.note = std::to_string(file.records.size()) + " events, " +
                (file.bigEndian ? "big-endian" : "little-endian");
    if (leftOver != 0) file.note += ", the last record cut short and left out";
    return file;
}

std::string EncodeEventFile(const std::vector<SEventRecord>& records, bool bigEndian) {
    std::string bytes(kMagic, 4);
    WriteNumber(&bytes, kVersion, 4, bigEndian);
    for (const SEventRecord& record : records) {
        WriteNumber(&bytes, static_cast<std::uint64_t>(record.seconds * 1e9 + 0.5), 8, bigEndian);
        WriteNumber(&bytes, kMarker, 4, bigEndian);
        WriteNumber(&bytes, static_cast<std::uint64_t>(record.kind), 4, bigEndian);
        const bool audio = record.kind == EEventKind::Audio;
        WriteNumber(&bytes, audio ? record.level : 0, 4, bigEndian);
        WriteNumber(&bytes, audio ? 0 : record.level, 4, bigEndian);
    }
    return bytes;
}
