#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "processing/ConsoleRunner.h"

// A runner that keeps every piece its reader delivers, in order.
class PieceRecorder : public CConsoleRunner {
public:
    ~PieceRecorder() override { Stop(); }

    void OnChildOutput(const std::string& text) override {
        {
            std::lock_guard<std::mutex> hold(m_piecesLock);
            m_pieces.push_back(text);
        }
        CConsoleRunner::OnChildOutput(text);
    }

    std::vector<std::string> Pieces() const {
        std::lock_guard<std::mutex> hold(m_piecesLock);
        return m_pieces;
    }

private:
    mutable std::mutex m_piecesLock;
    std::vector<std::string> m_pieces;
};
