#include <gio/gio.h>
#include <libnotify/notify.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "platform/StatusNotifier.h"

namespace {

const char kTitle[] = "PELKAR";
const char kIcon[] = "dialog-information";
// A notification service takes a time-out as the time to show a notification, counted again
// from each update. The worker renews a notification that has had no update for a while, so it
// stays steady while the program works, however long a stage takes; the time-out is a few
// seconds longer, so that it goes by itself soon after a program that was ended by force and
// could not take it away.
const std::chrono::milliseconds kRenewInterval(2000);
const int kTimeoutMilliseconds = 5000;
// How long the end of the program waits for the notification service to take the notification
// away. A call on the session bus can otherwise take as long as 25 seconds.
const std::chrono::milliseconds kRemoveWait(500);

// Whether a session bus can be reached without starting one: through its address, or through
// the per-user socket that the bus library also looks for.
bool HasSessionBus() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return true;
    const char* runtimeDirectory = std::getenv("XDG_RUNTIME_DIR");
    if (!runtimeDirectory || !*runtimeDirectory) return false;
    return access((std::string(runtimeDirectory) + "/bus").c_str(), F_OK) == 0;
}

// The notification service's side, used by the worker thread alone.
class DesktopNotification {
public:
    DesktopNotification() = default;
    DesktopNotification(const DesktopNotification&) = delete;
    DesktopNotification& operator=(const DesktopNotification&) = delete;

    void Show(const std::string& title, const std::string& text) {
        if (!m_notification && !Connect()) return;
        const std::string body = BodyText(text);
        const std::string summary = ValidText(title);
        notify_notification_update(m_notification, summary.c_str(), body.c_str(), kIcon);
        GError* error = nullptr;
        notify_notification_show(m_notification, &error);
        g_clear_error(&error);
    }

    void Close() {
        if (m_notification) {
            notify_notification_close(m_notification, nullptr);
            g_object_unref(m_notification);
            m_notification = nullptr;
        }
        if (m_initialised) notify_uninit();
        m_initialised = false;
        if (m_bus) g_object_unref(m_bus);
        m_bus = nullptr;
    }

private:
    // The session bus connection is shared by the whole process and by default ends the
    // process when the bus goes away (at the end of the desktop session); a conversion must
    // not end with it. Then asks for the server's information: unlike the other queries, it
    // fails quietly when no service answers.
    bool Connect() {
        if (m_unavailable) return false;
        m_bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (m_bus) g_dbus_connection_set_exit_on_close(m_bus, FALSE);
        m_initialised = m_bus && !g_dbus_connection_is_closed(m_bus) && notify_init(kTitle);
        if (!m_initialised || !notify_get_server_info(nullptr, nullptr, nullptr, nullptr)) {
            m_unavailable = true;
            return false;
        }
        m_bodyMarkup = ServerHasCapability("body-markup");
        m_notification = notify_notification_new(kTitle, nullptr, kIcon);
        notify_notification_set_timeout(m_notification, kTimeoutMilliseconds);
        return true;
    }

    static bool ServerHasCapability(const std::string& capability) {
        GList* capabilities = notify_get_server_caps();
        bool found = false;
        for (GList* item = capabilities; item; item = item->next)
            found = found || capability == static_cast<const char*>(item->data);
        g_list_free_full(capabilities, g_free);
        return found;
    }

    // The bus carries UTF-8 only, and a server that reads markup would take an "&" or "<" in
    // a title or path for the start of one.
    static std::string ValidText(const std::string& text) {
        gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
        std::string checked = valid;
        g_free(valid);
        return checked;
    }

    std::string BodyText(const std::string& text) const {
        std::string body = ValidText(text);
        if (!m_bodyMarkup) return body;
        gchar* escaped = g_markup_escape_text(body.c_str(), static_cast<gssize>(body.size()));
        body = escaped;
        g_free(escaped);
        return body;
    }

    GDBusConnection* m_bus = nullptr;
    NotifyNotification* m_notification = nullptr;
    bool m_initialised = false;
    bool m_unavailable = false;
    bool m_bodyMarkup = false;
};

// What the notifier hands to its worker. Shared, so that a worker stuck in a call on the bus
// can outlive the notifier.
struct WorkerQueue {
    std::mutex lock;
    std::condition_variable changed;
    std::optional<std::string> pendingText;  // only the newest text is worth showing
    std::string title = kTitle;
    bool removeRequested = false;
    bool finished = false;
};

// Shows each new text; a text shown long enough ago is shown again, before it expires.
void RunWorker(std::shared_ptr<WorkerQueue> queue) {
    DesktopNotification notification;
    std::optional<std::string> shown;
    std::unique_lock<std::mutex> guard(queue->lock);
    for (;;) {
        const auto hasWork = [&] { return queue->pendingText || queue->removeRequested; };
        if (!shown) {
            queue->changed.wait(guard, hasWork);
        } else if (!queue->changed.wait_for(guard, kRenewInterval, hasWork)) {
            queue->pendingText = shown;
        }
        if (queue->removeRequested) break;
        shown = std::move(queue->pendingText);
        queue->pendingText.reset();
        const std::string title = queue->title;
        guard.unlock();
        notification.Show(title, *shown);
        guard.lock();
    }
    guard.unlock();
    notification.Close();
    guard.lock();
    queue->finished = true;
    queue->changed.notify_all();
}

// Hands every text to a worker thread that talks to the notification service, so the caller
// never waits for the service; texts that arrive while the worker is busy replace each other.
class LibnotifyStatusNotifier : public CStatusNotifier {
public:
    ~LibnotifyStatusNotifier() override { Remove(); }

    void Show(const std::string& text) override {
        std::lock_guard<std::mutex> guard(m_queue->lock);
        if (m_queue->removeRequested || !StartWorker()) return;
        m_queue->pendingText = text;
        m_queue->changed.notify_all();
    }

    void SetTitle(const std::string& title) override {
        std::lock_guard<std::mutex> guard(m_queue->lock);
        m_queue->title = title;
    }

    // Waits only a short while for the service; a worker that is still stuck is left behind.
    void Remove() override {
        if (!m_worker.joinable()) return;
        bool finished;
        {
            std::unique_lock<std::mutex> guard(m_queue->lock);
            m_queue->removeRequested = true;
            m_queue->changed.notify_all();
            finished =
                m_queue->changed.wait_for(guard, kRemoveWait, [&] { return m_queue->finished; });
        }
        if (finished) {
            m_worker.join();
        } else {
            m_worker.detach();
        }
    }

private:
    // A notification is not worth ending the program for when no thread can be had.
    bool StartWorker() {
        if (m_worker.joinable()) return true;
        try {
            m_worker = std::thread(RunWorker, m_queue);
        } catch (const std::system_error&) {
            m_queue->removeRequested = true;
        }
        return m_worker.joinable();
    }

    std::shared_ptr<WorkerQueue> m_queue = std::make_shared<WorkerQueue>();
    std::thread m_worker;
};

class SilentStatusNotifier : public CStatusNotifier {
public:
    void Show(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void Remove() override {}
};

}  // namespace

std::unique_ptr<CStatusNotifier> CreatePlatformStatusNotifier() {
    if (!HasSessionBus()) return std::make_unique<SilentStatusNotifier>();
    return std::make_unique<LibnotifyStatusNotifier>();
}
