#include "processing/OutputBuffer.h"

#include <algorithm>

COutputBuffer::COutputBuffer(std::size_t headBytes, std::size_t tailBytes)
    : m_headBytes(headBytes), m_tailBytes(tailBytes) {}

void COutputBuffer::Append(const std::string& text) {
    m_total += text.size();
    const std::size_t toHead = std::min(text.size(), m_headBytes - m_head.size());
    m_head.append(text, 0, toHead);
    if (toHead == text.size()) return;
    m_tail.append(text, toHead, std::string::npos);
    if (m_tail.size() > 2 * m_tailBytes) m_tail.erase(0, m_tail.size() - m_tailBytes);
}

void COutputBuffer::Clear() {
    m_head.clear();
    m_tail.clear();
    m_total = 0;
}

std::string COutputBuffer::LastBytes(std::size_t count) const {
    const std::size_t fromTail = std::min(count, m_tail.size());
    std::string last;
    if (fromTail < count && !IsCut()) {
        const std::size_t fromHead = std::min(count - fromTail, m_head.size());
        last.assign(m_head, m_head.size() - fromHead, fromHead);
    }
    last.append(m_tail, m_tail.size() - fromTail, fromTail);
    return last;
}

unsigned long long COutputBuffer::LeftOut() const {
    return m_total - m_head.size() - std::min(m_tail.size(), m_tailBytes);
}

std::string COutputBuffer::Text() const {
    const std::size_t tailKept = std::min(m_tail.size(), m_tailBytes);
    std::string text = m_head;
    if (IsCut()) {
        text += "\n[... " + std::to_string(LeftOut()) + " bytes of output left out ...]\n";
    }
    text.append(m_tail, m_tail.size() - tailKept, tailKept);
    return text;
}
