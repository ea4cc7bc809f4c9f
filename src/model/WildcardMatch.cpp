#include "model/WildcardMatch.h"

namespace {

// Positions past the end hold no byte, so they never match, not even a NUL in the text.
class CWildcardWalk {
public:
    CWildcardWalk(const std::string& text, const std::string& pattern)
        : m_text(text), m_pattern(pattern) {}

    bool Run() {
        if (!MatchLiteralPrefix()) {
            return false;
        }
        if (MatchStarPhase()) {
            return true;
        }
        while (IsStarAt(m_p)) {
            ++m_p;
        }
        return m_p == m_pattern.size();
    }

private:
    bool TextLeft() const { return m_t < m_text.size(); }
    bool IsStarAt(std::size_t p) const { return p < m_pattern.size() && m_pattern[p] == '*'; }
    bool ByteMatches() const {
        return m_p < m_pattern.size() && (m_pattern[m_p] == '?' || m_pattern[m_p] == m_text[m_t]);
    }

    bool MatchLiteralPrefix() {
        while (TextLeft() && !IsStarAt(m_p)) {
            if (!ByteMatches()) {
                return false;
            }
            ++m_t;
            ++m_p;
        }
        return true;
    }

    // True as soon as a trailing star settles the match. Only the most recent star is retried,
    // one text byte further each time: the work stays within text length times pattern length
    // however many stars there are, where trying every star again would grow exponentially.
    bool MatchStarPhase() {
        std::size_t patternRestart = 0;
        std::size_t textRestart = 0;
        while (TextLeft()) {
            if (IsStarAt(m_p)) {
                ++m_p;
                if (m_p == m_pattern.size()) {
                    return true;
                }
                patternRestart = m_p;
                textRestart = m_t + 1;
            } else if (ByteMatches()) {
                ++m_t;
                ++m_p;
            } else {
                m_p = patternRestart;
                m_t = textRestart;
                ++textRestart;
            }
        }
        return false;
    }

    const std::string& m_text;
    const std::string& m_pattern;
    std::size_t m_t = 0;
    std::size_t m_p = 0;
};

}  // namespace

bool WildcardMatch(const std::string& text, const std::string& pattern) {
    return CWildcardWalk(text, pattern).Run();
}
