#include <fcntl.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "platform/StatusNotifier.h"

namespace {

// How long a test waits for the notification service to hear from the notifier before it
// gives up; only reached when something is broken.
const std::chrono::seconds kPatience(10);

// A session bus of the test program's own. It must outlive every connection to it (losing
// the session bus ends a process), so a shell stops the daemon only when this process's end
// closes the pipe the shell reads. Empty when no bus daemon can be started.
std::string PrivateSessionBusAddress() {
    static const std::string address = [] {
        int watch[2], output[2];
        if (pipe2(watch, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) return std::string();
        if (fork() == 0) {
            dup2(watch[0], STDIN_FILENO);
            dup2(output[1], STDOUT_FILENO);
            execl("/bin/sh", "sh", "-c",
                  "dbus-daemon --session --nofork --print-address=1 <&- 2>/dev/null & daemon=$!\n"
                  "read ignored; kill $daemon",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(watch[0]);
        close(output[1]);
        std::string line;
        char c;
        while (read(output[0], &c, 1) == 1 && c != '\n') line += c;
        close(output[0]);
        return line;
    }();
    return address;
}

const char kInterfaceXml[] =
    "<node><interface name='org.freedesktop.Notifications'>"
    "<method name='GetServerInformation'><arg type='s' direction='out'/>"
    "<arg type='s' direction='out'/><arg type='s' direction='out'/>"
    "<arg type='s' direction='out'/></method>"
    "<method name='GetCapabilities'><arg type='as' direction='out'/></method>"
    "<method name='Notify'><arg type='s' direction='in'/><arg type='u' direction='in'/>"
    "<arg type='s' direction='in'/><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='as' direction='in'/><arg type='a{sv}' direction='in'/>"
    "<arg type='i' direction='in'/><arg type='u' direction='out'/></method>"
    "<method name='CloseNotification'><arg type='u' direction='in'/></method>"
    "</interface></node>";

struct ServiceCall {
    std::string method;
    std::string appName;
    guint32 id = 0;          // replaces id of Notify, id of CloseNotification
    guint32 assignedId = 0;  // the id the service gave the notification of a Notify
    std::string icon;
    std::string summary;
    std::string body;
    gint32 timeout = 0;
};

// The desktop's notification service, as far as the notifier uses it, on its own thread.
class FakeNotificationService {
public:
    FakeNotificationService(const std::string& address, std::vector<std::string> capabilities)
        : m_capabilities(std::move(capabilities)), m_thread([this, address] { Run(address); }) {
        std::unique_lock<std::mutex> guard(m_lock);
        m_changed.wait(guard, [&] { return m_state != State::Starting; });
    }

    // The loop is asked to quit from inside itself, so the request cannot come too early.
    ~FakeNotificationService() {
        if (m_loop) {
            GSource* quit = g_idle_source_new();
            g_source_set_callback(quit, &FakeNotificationService::QuitLoop, m_loop, nullptr);
            g_source_attach(quit, g_main_loop_get_context(m_loop));
            g_source_unref(quit);
        }
        m_thread.join();
    }

    bool IsServing() const { return m_state == State::Serving; }

    // The calls received so far, once at least count of them have come.
    std::vector<ServiceCall> WaitForCalls(size_t count) {
        std::unique_lock<std::mutex> guard(m_lock);
        m_changed.wait_for(guard, kPatience, [&] { return m_calls.size() >= count; });
        return m_calls;
    }

private:
    enum class State { Starting, Serving, Failed };

    void Run(const std::string& address) {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        GDBusConnection* connection = Connect(address);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kInterfaceXml, nullptr);
        static const GDBusInterfaceVTable vtable = {
            &FakeNotificationService::OnCall, nullptr, nullptr, {}};
        const bool serving = connection &&
                             g_dbus_connection_register_object(
                                 connection, "/org/freedesktop/Notifications", node->interfaces[0],
                                 &vtable, this, nullptr, nullptr) != 0 &&
                             OwnName(connection);
        m_loop = serving ? g_main_loop_new(context, FALSE) : nullptr;
        SetState(serving ? State::Serving : State::Failed);
        if (m_loop) {
            g_main_loop_run(m_loop);
            g_main_loop_unref(m_loop);
        }
        if (connection) {
            g_dbus_connection_close_sync(connection, nullptr, nullptr);
            g_object_unref(connection);
        }
        g_dbus_node_info_unref(node);
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }

    static GDBusConnection* Connect(const std::string& address) {
        return g_dbus_connection_new_for_address_sync(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
    }

    static bool OwnName(GDBusConnection* connection) {
        GVariant* reply = g_dbus_connection_call_sync(
            connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", "org.freedesktop.Notifications", 4u),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        if (!reply) return false;
        guint32 result = 0;
        g_variant_get(reply, "(u)", &result);
        g_variant_unref(reply);
        return result == 1;
    }

    static gboolean QuitLoop(gpointer loop) {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
    }

    void SetState(State state) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_state = state;
        m_changed.notify_all();
    }

    void Record(const ServiceCall& call) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_calls.push_back(call);
        m_changed.notify_all();
    }

    static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                       const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                       gpointer self) {
        static_cast<FakeNotificationService*>(self)->Answer(method, parameters, invocation);
    }

    void Answer(const std::string& method, GVariant* parameters,
                GDBusMethodInvocation* invocation) {
        if (method == "GetServerInformation") {
            g_dbus_method_invocation_return_value(
                invocation, g_variant_new("(ssss)", "fake", "PELKAR tests", "1", "1.2"));
        } else if (method == "GetCapabilities") {
            GVariantBuilder list;
            g_variant_builder_init(&list, G_VARIANT_TYPE("as"));
            for (const std::string& capability : m_capabilities)
                g_variant_builder_add(&list, "s", capability.c_str());
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(as)", &list));
        } else if (method == "Notify") {
            const gchar *appName, *icon, *summary, *body;
            ServiceCall call;
            call.method = method;
            g_variant_get(parameters, "(&su&s&s&s@as@a{sv}i)", &appName, &call.id, &icon, &summary,
                          &body, nullptr, nullptr, &call.timeout);
            call.appName = appName;
            call.icon = icon;
            call.summary = summary;
            call.body = body;
            call.assignedId = m_nextId++;
            Record(call);
            g_dbus_method_invocation_return_value(invocation,
                                                  g_variant_new("(u)", call.assignedId));
        } else {
            ServiceCall call;
            call.method = method;
            g_variant_get(parameters, "(u)", &call.id);
            Record(call);
            g_dbus_method_invocation_return_value(invocation, nullptr);
        }
    }

    std::vector<std::string> m_capabilities;
    std::mutex m_lock;
    std::condition_variable m_changed;
    State m_state = State::Starting;
    std::vector<ServiceCall> m_calls;
    guint32 m_nextId = 41;
    GMainLoop* m_loop = nullptr;
    std::thread m_thread;
};

// Points the session bus at the given address while a test runs.
class SessionBusTest : public ::testing::Test {
protected:
    void UseSessionBus(const std::string& address) {
        if (const char* saved = std::getenv("DBUS_SESSION_BUS_ADDRESS")) m_saved = saved;
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    }

    void TearDown() override {
        if (m_saved) {
            setenv("DBUS_SESSION_BUS_ADDRESS", m_saved->c_str(), 1);
        } else {
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
        }
    }

private:
    std::optional<std::string> m_saved;
};

class StatusNotifierTest : public SessionBusTest {
protected:
    // A notification service with these capabilities on the private bus; false when none can
    // be had on this machine.
    bool StartService(std::vector<std::string> capabilities = {"body", "body-markup"}) {
        const std::string address = PrivateSessionBusAddress();
        if (address.empty()) return false;
        UseSessionBus(address);
        service = std::make_unique<FakeNotificationService>(address, std::move(capabilities));
        return service->IsServing();
    }

    std::unique_ptr<FakeNotificationService> service;
};

const std::string kText = "Action: News\nSource: /rec/show.mpg\n\nStatus: Stripping commercials";

TEST_F(StatusNotifierTest, FirstTextIsShownTitledPelkarWithTheInformationIcon) {
    if (!StartService()) GTEST_SKIP() << "no session bus daemon";
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();

    notifier->Show(kText);

    const std::vector<ServiceCall> calls = service->WaitForCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].method, "Notify");
    EXPECT_EQ(calls[0].appName, "PELKAR");
    EXPECT_EQ(calls[0].summary, "PELKAR");
    EXPECT_EQ(calls[0].body, kText);
    EXPECT_EQ(calls[0].icon, "dialog-information");
    // It goes by itself a few seconds after the last renewal, should the program be killed.
    EXPECT_EQ(calls[0].timeout, 5000);
    EXPECT_EQ(calls[0].id, 0u);
}

// A stage may run for a long time without a new text; the shown one is renewed well before
// it expires, in place.
TEST_F(StatusNotifierTest, QuietNotificationIsRenewedBeforeItExpires) {
    if (!StartService()) GTEST_SKIP() << "no session bus daemon";
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();
    const auto shown = std::chrono::steady_clock::now();
    notifier->Show(kText);

    const std::vector<ServiceCall> calls = service->WaitForCalls(2);

    ASSERT_EQ(calls.size(), 2u);
    EXPECT_LT(std::chrono::steady_clock::now() - shown, std::chrono::milliseconds(calls[0].timeout));
    EXPECT_EQ(calls[1].id, calls[0].assignedId);
    EXPECT_EQ(calls[1].body, kText);
}

TEST_F(StatusNotifierTest, TitleHoldsForEveryLaterText) {
    if (!StartService()) GTEST_SKIP() << "no session bus daemon";
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();
    notifier->SetTitle("PELKAR: the log cannot be opened");
    notifier->Show(kText);

    const std::vector<ServiceCall> calls = service->WaitForCalls(1);

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].summary, "PELKAR: the log cannot be opened");
    EXPECT_EQ(calls[0].body, kText);
}

TEST_F(StatusNotifierTest, LaterTextReplacesTheShownOne) {
    if (!StartService()) GTEST_SKIP() << "no session bus daemon";
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();
    notifier->Show(kText);
    const guint32 shownId = service->WaitForCalls(1).at(0).assignedId;

    notifier->Show("Action: News\nSource: /rec/show.mpg\n\nStatus: Commercials stripped");

    const std::vector<ServiceCall> calls = service->WaitForCalls(2);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].id, shownId);
    EXPECT_EQ(calls[1].body, "Action: News\nSource: /rec/show.mpg\n\nStatus: Commercials stripped");
}

TEST_F(StatusNotifierTest, RemoveClosesTheShownNotification) {
    if (!StartService()) GTEST_SKIP() << "no session bus daemon";
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();
    notifier->Show(kText);
    const guint32 shownId = service->WaitForCalls(1).at(0).assignedId;

    notifier->Remove();

    const std::vector<ServiceCall> calls = service->WaitForCalls(2);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].method, "CloseNotification");
    EXPECT_EQ(calls[1].id, shownId);
}

TEST_F(StatusNotifierTest, MarkupCharactersAreEscapedForAServiceThatReadsMarkup) {
    if (!StartService({"body", "body-markup"})) GTEST_SKIP() << "no session bus daemon";
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();

    notifier->Show("Action: Tom & Jerry <Live>");

    const std::vector<ServiceCall> calls = service->WaitForCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].body, "Action: Tom &amp; Jerry &lt;Live&gt;");
}

TEST_F(StatusNotifierTest, TextGoesUnchangedToAServiceWithoutMarkup) {
    if (!StartService({"body"})) GTEST_SKIP() << "no session bus daemon";
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();

    notifier->Show("Action: Tom & Jerry <Live>");

    const std::vector<ServiceCall> calls = service->WaitForCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].body, "Action: Tom & Jerry <Live>");
}

TEST_F(StatusNotifierTest, BytesThatAreNotUtf8AreReplaced) {
    if (!StartService({"body"})) GTEST_SKIP() << "no session bus daemon";
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();

    notifier->Show("Source: Caf\xe9.mpg");

    const std::vector<ServiceCall> calls = service->WaitForCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].body, "Source: Caf\xef\xbf\xbd.mpg");
}

using MissingNotificationServiceTest = SessionBusTest;

// Lets the notifier's worker take up the first text before the test goes on.
void GiveTheWorkerTime() {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

TEST_F(MissingNotificationServiceTest, BusWithoutTheServiceReportsNothing) {
    const std::string address = PrivateSessionBusAddress();
    if (address.empty()) GTEST_SKIP() << "no session bus daemon";
    UseSessionBus(address);
    testing::internal::CaptureStderr();

    {
        std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();
        notifier->Show(kText);
        GiveTheWorkerTime();
        notifier->Show(kText);
        notifier->Remove();
    }

    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// A service that takes the connection and never answers. The notifier must let the program
// end all the same; were it to wait for the bus, this test would hang.
TEST_F(MissingNotificationServiceTest, StuckServiceDoesNotHoldUpTheEnd) {
    TempDir folder;
    const std::string socketPath = folder.File("bus");
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof where.sun_path);
    socketPath.copy(where.sun_path, socketPath.size());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    UseSessionBus("unix:path=" + socketPath);
    testing::internal::CaptureStderr();

    {
        std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();
        notifier->Show(kText);
        GiveTheWorkerTime();
        notifier->Show(kText);
        notifier->Remove();
    }

    // Closing the socket lets the worker that was left behind finish.
    close(listener);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// The end of the desktop session takes the session bus away. The conversion must go on
// (were the loss to end the process, this test program would end here). Last of its kind:
// the process keeps the lost bus connection for good.
TEST_F(MissingNotificationServiceTest, SessionBusThatGoesAwayDoesNotEndTheProgram) {
    FILE* daemon =
        popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
    if (!daemon) GTEST_SKIP() << "no session bus daemon";
    char address[512] = "";
    int pid = 0;
    const bool started = fscanf(daemon, "%511s %d", address, &pid) == 2;
    pclose(daemon);
    if (!started) GTEST_SKIP() << "no session bus daemon";
    UseSessionBus(address);
    std::unique_ptr<CStatusNotifier> notifier = CreatePlatformStatusNotifier();
    notifier->Show(kText);
    GiveTheWorkerTime();

    kill(pid, SIGTERM);
    GiveTheWorkerTime();
    // The loss is announced on the main loop, which a window toolkit runs.
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    testing::internal::CaptureStderr();
    notifier->Show(kText);
    GiveTheWorkerTime();
    notifier->Remove();

    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
