#pragma once

#include <memory>
#include <string>

// The desktop notification that shows a post-download run's progress: titled "PELKAR", with
// the information icon, shown while the work goes on. The first Show adds it, later ones replace its
// text in place; Remove takes it away. Without a notification service it does nothing, and
// it never holds up its caller for more than a short, bounded time.
class CStatusNotifier {
public:
    virtual ~CStatusNotifier() = default;
    virtual void Show(const std::string& text) = 0;
    // Replaces the title ("PELKAR") from the next text shown on, for a problem that holds for
    // the whole run.
    virtual void SetTitle(const std::string& title) = 0;
    virtual void Remove() = 0;
};

// The platform's notifier.
std::unique_ptr<CStatusNotifier> CreatePlatformStatusNotifier();
