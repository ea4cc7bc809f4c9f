#pragma once

#include <cstddef>
#include <string>

// A tool's collected output, kept within a bounded size however much the tool prints: the
// beginning and the end are kept, and what lies between them is only counted.
class COutputBuffer {
public:
    // Bytes kept from the beginning and from the end of the output.
    static const std::size_t kDefaultKeep = 1024 * 1024;

    explicit COutputBuffer(std::size_t headBytes = kDefaultKeep,
                           std::size_t tailBytes = kDefaultKeep);

    void Append(const std::string& text);
    void Clear();

    // The kept beginning, then, when bytes were left out, one line saying how many, then the
    // kept end. Everything, byte for byte, while nothing was left out.
    std::string Text() const;
    // The last `count` bytes appended: all of them for a count up to the bytes kept from the
    // end, else as many as are still held.
    std::string LastBytes(std::size_t count) const;
    // Every byte appended since the last Clear, kept or not.
    unsigned long long TotalBytes() const { return m_total; }
    bool IsCut() const { return LeftOut() > 0; }

private:
    unsigned long long LeftOut() const;

    std::size_t m_headBytes;
    std::size_t m_tailBytes;
    std::string m_head;
    // Holds up to twice the kept end, so that dropping its front costs little per byte.
    std::string m_tail;
    unsigned long long m_total = 0;
};
