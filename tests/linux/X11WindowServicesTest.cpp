// The XCB window services against windows of a separate X client (x11_test_window) and of
// the test's own connection. Runs under with-display, with and without a window manager.
// The services keep their own connection: what they know comes from the server's events.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <cstring>
#include <thread>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <tuple>

#include "FakeEventLoop.h"
#include "FakeMessageBoxes.h"
#include "TestWindowClient.h"
#include "XProxy.h"
#include "monitor/ScanCycle.h"
#include "platform/PlatformError.h"
#include "platform/qt/QtTextCase.h"
#include "platform/x11/X11WindowServices.h"

namespace tamberlyn {
namespace {

using namespace std::chrono_literals;
using testing::TestWindowClient;
using testing::eventually;

std::string repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

class X11WindowServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(xcb_connection_has_error(connection), 0) << "no X display: run this under with-display";
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        services = std::make_unique<X11WindowServices>(std::string(), [this] { return now; });
    }
    void TearDown() override {
        services.reset();
        xcb_disconnect(connection);
    }

    HandleList enumerate(X11WindowServices& s) { return s.topLevelWindows(); }
    HandleList enumerate() { return enumerate(*services); }
    bool listed(WindowHandle window) { return std::ranges::count(enumerate(), window) == 1; }

    // Listed, and under a window manager also managed: framed, with WM_STATE set.
    bool settled(WindowHandle window) {
        if (!listed(window)) return false;
        if (!windowManager) return true;
        auto* state = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, static_cast<xcb_window_t>(window), atom("WM_STATE"),
                                         XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
            nullptr);
        const bool managed = state != nullptr && state->type != XCB_NONE;
        std::free(state);
        return managed && parentOf(static_cast<xcb_window_t>(window)) != root;
    }

    xcb_window_t parentOf(xcb_window_t window) {
        auto* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
        const xcb_window_t parent = tree ? tree->parent : XCB_NONE;
        std::free(tree);
        return parent;
    }
    xcb_atom_t atom(const std::string& name) {
        auto* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
        const xcb_atom_t result = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return result;
    }
    void sync(xcb_connection_t* c) { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

    // Polls c's event queue until a client message about window arrives.
    xcb_client_message_event_t clientMessage(xcb_connection_t* c, xcb_atom_t type, xcb_window_t window) {
        xcb_client_message_event_t found{};
        eventually([&] {
            while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
                const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
                if ((e->response_type & 0x7F) == XCB_CLIENT_MESSAGE && m->type == type && m->window == window) found = *m;
                std::free(e);
            }
            return found.type == type;
        });
        return found;
    }

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    xcb_window_t root = XCB_NONE;
    const bool windowManager = std::getenv("TAMBERLYN_TEST_WM") != nullptr;
    std::chrono::steady_clock::time_point now{};
    std::unique_ptr<X11WindowServices> services;
    TestWindowClient client;
};

TEST_F(X11WindowServicesTest, EnumeratesEveryClientWindowOnceMappedOrHidden) {
    const WindowHandle shown = client.open("shown", "net", "Shown");
    const WindowHandle hidden = client.open("hidden", "net,unmapped", "Hidden");
    const WindowHandle withdrawn = client.open("withdrawn", "net,withdrawn", "Withdrawn");
    client.waitFor("withdrawn withdrawn");
    const WindowHandle framed = client.open("framed", "net,framed", "Framed");
    const xcb_window_t frame = parentOf(parentOf(static_cast<xcb_window_t>(framed)));

    HandleList list;
    EXPECT_TRUE(eventually([&] {
        list = enumerate();
        return std::ranges::count(list, shown) == 1 && std::ranges::count(list, hidden) == 1 &&
               std::ranges::count(list, withdrawn) == 1 && std::ranges::count(list, framed) == 1;
    }));
    EXPECT_EQ(std::ranges::count(list, static_cast<WindowHandle>(frame)), 0) << "a frame stands for its client";
    EXPECT_EQ(std::set<WindowHandle>(list.begin(), list.end()).size(), list.size()) << "each window once";
    EXPECT_EQ(services->readTitle(withdrawn, 50), "Withdrawn");
}

TEST_F(X11WindowServicesTest, AddsTheWindowsOfTheClientList) {
    if (windowManager) GTEST_SKIP() << "the window manager owns _NET_CLIENT_LIST";
    const WindowHandle shown = client.open("shown", "net", "Shown");
    // A client only the list names: nested, without WM_STATE, never a child of the root.
    const xcb_window_t holder = xcb_generate_id(connection), nested = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, holder, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, nested, holder, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_window_t clientList[] = {nested, static_cast<xcb_window_t>(shown)};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 32, 2,
                        clientList);
    sync(connection);

    HandleList list;
    EXPECT_TRUE(eventually([&] {
        list = enumerate();
        return std::ranges::count(list, static_cast<WindowHandle>(nested)) == 1;
    }));
    xcb_delete_property(connection, root, atom("_NET_CLIENT_LIST"));
    sync(connection);
    EXPECT_EQ(std::ranges::count(list, static_cast<WindowHandle>(nested)), 1);
    EXPECT_EQ(std::ranges::count(list, static_cast<WindowHandle>(holder)), 0) << "a frame stands for its client";
    EXPECT_EQ(std::ranges::count(list, shown), 1);
}

TEST_F(X11WindowServicesTest, ReadsTitlesAsUtf8CutToWholeCharacters) {
    const WindowHandle utf8 = client.open("utf8", "net", "Ma belle école — привет");
    const WindowHandle latin1 = client.open("latin1", "name,unmapped", "Ma belle \\xe9cole");
    // Latin-1 bytes in _NET_WM_NAME are invalid UTF-8; the UTF-8 property still comes first.
    const WindowHandle both = client.open("both", "net,name,unmapped", "\\xe9t\\xe9");
    const WindowHandle untitled = client.open("untitled", "unmapped", "");
    const WindowHandle accents = client.open("accents", "net,unmapped", repeat("é", 60));
    const WindowHandle mixed = client.open("mixed", "net,unmapped", repeat("привет мир — ", 5));
    ASSERT_TRUE(eventually([&] { return listed(utf8); }));

    X11WindowServices fresh;  // one full scan, where services followed the events
    for (X11WindowServices* s : {services.get(), &fresh}) {
        EXPECT_EQ(s->readTitle(utf8, 50), "Ma belle école — привет");
        EXPECT_EQ(s->readTitle(utf8, 10), "Ma belle é");
        EXPECT_EQ(s->readTitle(latin1, 50), "Ma belle école");
        EXPECT_EQ(s->readTitle(both, 50), "\uFFFDt\uFFFD");
        EXPECT_EQ(s->readTitle(untitled, 50), "");
        EXPECT_EQ(s->readTitle(accents, 50), repeat("é", 50));
        EXPECT_EQ(s->readTitle(mixed, 50), repeat("привет мир — ", 3) + "привет мир ");
        EXPECT_EQ(s->readTitle(utf8, 0), "");
    }
}

TEST_F(X11WindowServicesTest, AVanishedWindowIsForgottenAndAskingItIsHarmless) {
    const WindowHandle early = client.open("early", "net,delete", "Gone before the services heard");
    const WindowHandle late = client.open("late", "net,delete", "Gone after its close request");
    ASSERT_TRUE(eventually([&] { return listed(early) && listed(late); }));
    client.destroy("early");
    EXPECT_NO_THROW(services->requestClose(early)) << "the server's BadWindow is dropped";
    EXPECT_FALSE(listed(early));
    EXPECT_EQ(services->readTitle(early, 50), "");
    EXPECT_EQ(services->ownerOf(early), 0);
    EXPECT_FALSE(services->isDesktopShell(early));
    EXPECT_FALSE(services->closePending(early));

    services->requestClose(late);
    EXPECT_TRUE(services->closePending(late));
    client.destroy("late");
    EXPECT_TRUE(eventually([&] { return !listed(late); }));
    EXPECT_FALSE(services->closePending(late)) << "gone within the grace period";
}

TEST_F(X11WindowServicesTest, CloseRequestReachesAWindowThatTakesPartInDeleteWindow) {
    const WindowHandle window = client.open("closing", "net,closes", "Closing");
    ASSERT_TRUE(eventually([&] { return listed(window); }));
    services->requestClose(window);
    EXPECT_EQ(TestWindowClient::idIn(client.waitFor("delete closing ")), window);
    client.waitFor("destroyed closing");
    EXPECT_TRUE(eventually([&] { return !listed(window); }));
}

TEST_F(X11WindowServicesTest, OtherWindowsAreLeftToTheWindowManagerOnceItManagesThem) {
    TestWindowClient alone;  // the window manager may end this whole client
    // Managed by openbox, or, in the run without one, as if by a reparenting manager.
    const WindowHandle managed = alone.open("plain", windowManager ? "net" : "net,framed", "No WM_DELETE_WINDOW");
    // Perhaps about to say it takes WM_DELETE_WINDOW: no manager would act on it yet.
    const WindowHandle fresh = alone.open("fresh", "net,unmapped", "Not managed yet");
    ASSERT_TRUE(eventually([&] { return settled(managed) && listed(fresh); }));
    xcb_connection_t* observer = xcb_connect(nullptr, nullptr);
    const std::uint32_t mask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_change_window_attributes(observer, root, XCB_CW_EVENT_MASK, mask);
    sync(observer);

    services->requestClose(managed);
    EXPECT_FALSE(services->closePending(managed)) << "its program may yet say it takes WM_DELETE_WINDOW";
    now += X11ClosePolicy::kProtocolsGrace - 1ms;
    services->requestClose(managed);
    EXPECT_FALSE(services->closePending(managed));
    now += 1ms;
    services->requestClose(fresh);
    EXPECT_FALSE(services->closePending(fresh)) << "nothing asked: a later cycle asks again";
    services->requestClose(managed);
    EXPECT_TRUE(services->closePending(managed));
    // Requests arrive in order: one sent too early, or one for the fresh window, would come first.
    std::vector<xcb_client_message_event_t> messages;
    EXPECT_TRUE(eventually([&] {
        while (xcb_generic_event_t* e = xcb_poll_for_event(observer)) {
            const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
            if ((e->response_type & 0x7F) == XCB_CLIENT_MESSAGE && m->type == atom("_NET_CLOSE_WINDOW")) messages.push_back(*m);
            std::free(e);
        }
        return !messages.empty();
    }));
    xcb_disconnect(observer);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].window, static_cast<xcb_window_t>(managed));
    EXPECT_EQ(messages[0].format, 32);
    EXPECT_EQ(messages[0].data.data32[1], 2u) << "source indication: a pager";
    EXPECT_EQ(alone.count("delete"), 0);
    if (windowManager) {
        EXPECT_TRUE(eventually([&] { return !listed(managed); }));
    }
}

TEST_F(X11WindowServicesTest, AProgramThatSaysLateItTakesDeleteWindowIsAskedItself) {
    TestWindowClient late;  // as xcalc: shown first, WM_PROTOCOLS a round trip later
    const WindowHandle window = late.open("late", windowManager ? "net" : "net,framed", "Calculator");
    ASSERT_TRUE(eventually([&] { return settled(window); }));
    services->requestClose(window);
    late.takeDeleteWindow("late");
    now += X11ClosePolicy::kProtocolsGrace;
    enumerate();  // takes in the new WM_PROTOCOLS
    services->requestClose(window);
    EXPECT_EQ(TestWindowClient::idIn(late.waitFor("delete late ")), window);
    EXPECT_TRUE(listed(window)) << "its program was asked, not ended by the window manager";
}

TEST_F(X11WindowServicesTest, AQuestionKeepsTheRequestPendingUntilTheUserAnswersIt) {
    const WindowHandle document = client.open("doc", "net,asks", "Notes");
    ASSERT_TRUE(eventually([&] { return settled(document); }));
    services->requestClose(document);
    EXPECT_TRUE(services->closePending(document));
    const WindowHandle question = TestWindowClient::idIn(client.waitFor("window doc.question "));
    ASSERT_TRUE(eventually([&] { return settled(question); }));
    EXPECT_EQ(services->ownerOf(question), document);
    EXPECT_EQ(services->readTitle(question, 50), "Save changes to Notes?");

    now += 10s;
    EXPECT_TRUE(services->closePending(document)) << "the question is still open";
    EXPECT_TRUE(CloseRequestPending(*services, question)) << "so the question is never asked to close";

    client.destroy("doc.question");  // the user cancels
    ASSERT_TRUE(eventually([&] { return !listed(question); }));
    EXPECT_FALSE(services->closePending(document));
    services->requestClose(document);
    EXPECT_TRUE(eventually([&] { return client.count("delete doc ") == 2; })) << "asked again";
}

TEST_F(X11WindowServicesTest, PendingLastsTheGracePeriodOrUntilTheWindowGoes) {
    const WindowHandle stubborn = client.open("stubborn", "net,delete", "Stubborn");
    const WindowHandle obliging = client.open("obliging", "net,closes", "Obliging");
    ASSERT_TRUE(eventually([&] { return listed(stubborn) && listed(obliging); }));
    services->requestClose(stubborn);
    services->requestClose(obliging);
    client.waitFor("destroyed obliging");
    ASSERT_TRUE(eventually([&] { return !listed(obliging); }));
    EXPECT_FALSE(services->closePending(obliging)) << "gone within the grace period";

    now += X11WindowServices::kCloseGrace - 1ms;
    EXPECT_TRUE(services->closePending(stubborn));
    now += 1ms;
    EXPECT_FALSE(services->closePending(stubborn));
    EXPECT_EQ(client.count("delete stubborn "), 1);
}

TEST_F(X11WindowServicesTest, ARequestOutlivesAnEnumerationThatMissedItsWindow) {
    // As while a window manager frames a client: the frame is there, WM_STATE not yet.
    const WindowHandle window = client.open("framed", "net,delete,framed", "Framed");
    ASSERT_TRUE(eventually([&] { return listed(window); }));
    services->requestClose(window);
    xcb_delete_property(connection, static_cast<xcb_window_t>(window), atom("WM_STATE"));
    sync(connection);
    ASSERT_TRUE(eventually([&] { return !listed(window); }));
    EXPECT_TRUE(services->closePending(window));

    client.destroy("framed");
    EXPECT_TRUE(eventually([&] {
        enumerate();  // takes in the window's end
        return !services->closePending(window);
    })) << "gone within the grace period";
}

TEST_F(X11WindowServicesTest, ScanCyclesAskOnceAndLeaveTheQuestionOpen) {
    const WindowHandle document = client.open("doc", "net,asks", "Meeting notes");
    client.open("bystander", "net,delete", "Calculator");
    ASSERT_TRUE(eventually([&] { return settled(document); }));
    WatchList list;
    list.add("NOTES");  // matches the question's title too
    QtTextCase textCase;
    fakes::FakeEventLoop events;
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
    ScanMemory memory;
    const ScanServices scan{*services, textCase, events, reports, memory, "Form1", "Timer1_Timer"};
    const auto cycle = [&] { RunScanCycle(list, scan); };

    cycle();
    const WindowHandle question = TestWindowClient::idIn(client.waitFor("window doc.question "));
    ASSERT_TRUE(eventually([&] { return settled(question); }));
    for (int i = 0; i < 50; ++i, now += 100ms) cycle();

    EXPECT_EQ(client.count("delete doc "), 1);
    EXPECT_EQ(client.count("delete doc.question"), 0);
    EXPECT_EQ(client.count("delete bystander"), 0);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(X11WindowServicesTest, DesktopAndDockWindowsAreTheDesktopShell) {
    const WindowHandle desktop = client.open("desktop", "net,desktop,unmapped", "Desktop");
    const WindowHandle dock = client.open("dock", "net,dock", "Panel");
    const WindowHandle normal = client.open("normal", "net", "Editor");
    ASSERT_TRUE(eventually([&] { return listed(desktop) && listed(dock) && listed(normal); }));
    EXPECT_TRUE(services->isDesktopShell(desktop));
    EXPECT_TRUE(services->isDesktopShell(dock));
    EXPECT_FALSE(services->isDesktopShell(normal));
    EXPECT_EQ(services->ownerOf(normal), 0);
}

// The program holding the notification area (trayer types none of its windows DOCK) is the
// desktop shell while it holds it, from the moment it announces itself.
TEST_F(X11WindowServicesTest, TheNotificationAreasHostIsTheDesktopShellWhileItHoldsIt) {
    const WindowHandle normal = client.open("normal", "net", "Editor");
    const auto newWindow = [&](const std::string& title) {
        const xcb_window_t w = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, w, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
        return w;
    };
    const xcb_window_t owner = newWindow("trayer");
    const xcb_window_t panel = newWindow("panel");
    xcb_map_window(connection, panel);
    sync(connection);
    ASSERT_TRUE(eventually([&] { return listed(normal) && listed(owner) && listed(panel); }));
    EXPECT_FALSE(services->isDesktopShell(owner)) << "not a tray yet";

    const xcb_atom_t selection = atom("_NET_SYSTEM_TRAY_S0");
    xcb_set_selection_owner(connection, owner, selection, XCB_CURRENT_TIME);
    xcb_client_message_event_t manager{};
    manager.response_type = XCB_CLIENT_MESSAGE;
    manager.format = 32;
    manager.window = root;
    manager.type = atom("MANAGER");
    manager.data.data32[0] = XCB_CURRENT_TIME;
    manager.data.data32[1] = selection;
    manager.data.data32[2] = owner;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&manager));
    sync(connection);
    EXPECT_TRUE(eventually([&] {
        services->changeCount();
        return services->isDesktopShell(owner) && services->isDesktopShell(panel);
    })) << "the announcement counts as a change";
    EXPECT_FALSE(services->isDesktopShell(normal));
    EXPECT_TRUE(X11WindowServices().isDesktopShell(panel)) << "a fresh scan finds the host too";

    xcb_destroy_window(connection, owner);  // the tray ends: its selection goes with the window
    sync(connection);
    EXPECT_TRUE(eventually([&] {
        services->changeCount();
        return !services->isDesktopShell(panel);
    }));
}

TEST_F(X11WindowServicesTest, TheProgramsOwnWindowsAreTreatedLikeAnyOther) {
    const xcb_window_t own = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, own, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::string title = "Tamberlyn — réglages";
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, own, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    const xcb_atom_t protocols[] = {atom("WM_DELETE_WINDOW")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, own, atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1, protocols);
    sync(connection);

    EXPECT_TRUE(listed(static_cast<WindowHandle>(own)));
    EXPECT_EQ(services->readTitle(static_cast<WindowHandle>(own), 50), title);
    services->requestClose(static_cast<WindowHandle>(own));
    const auto message = clientMessage(connection, atom("WM_PROTOCOLS"), own);
    EXPECT_EQ(message.data.data32[0], atom("WM_DELETE_WINDOW"));
}

TEST_F(X11WindowServicesTest, ADisplayThatCannotBeReachedIsAPlatformError) {
    try {
        X11WindowServices failing{":4095"};
        ADD_FAILURE() << "no error for a display that does not exist";
    } catch (const PlatformError& e) {
        EXPECT_NE(std::string(e.what()).find("X server"), std::string::npos) << e.what();
    }
}

// Every connection of the services through a relay that counts what they send.
class RelayedServices {
public:
    explicit RelayedServices(X11WindowServices::TimeSource now = std::chrono::steady_clock::now)
        : services([this] { return connectThroughRelay(); }, std::move(now)) {}

    std::uint64_t bytesSent() const {
        std::uint64_t sum = 0;
        for (const auto& relay : relays) sum += relay->bytesToServer();
        return sum;
    }

    bool refuseNextConnection = false;
    std::vector<std::unique_ptr<testing::XProxy>> relays;  // outlive the services' connections
    X11WindowServices services;

private:
    std::pair<xcb_connection_t*, int> connectThroughRelay() {
        if (refuseNextConnection) return {xcb_connect(":4095", nullptr), 0};
        relays.push_back(std::make_unique<testing::XProxy>());
        return {relays.back()->connect(), 0};
    }
};

TEST_F(X11WindowServicesTest, WhileNothingChangesScansSendNothingToTheServer) {
    for (int i = 0; i < 20; ++i) client.open("w" + std::to_string(i), i % 2 ? "net,delete" : "name,unmapped", "Idle " + std::to_string(i));
    const WindowHandle changing = client.open("changing", "net,delete", "Before");
    RelayedServices relayed;
    X11WindowServices& s = relayed.services;
    ASSERT_TRUE(eventually([&] { return settled(changing) && enumerate(s).size() >= 21; }));
    std::this_thread::sleep_for(200ms);  // the window manager's last touches
    const auto tick = [&] {
        for (const WindowHandle w : enumerate(s)) {
            s.readTitle(w, 50);
            s.ownerOf(w);
            s.isDesktopShell(w);
            s.closePending(w);
        }
    };
    tick();  // the one that follows the last change may ask

    const std::uint64_t before = relayed.bytesSent();
    const std::uint64_t changes = s.changeCount();
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(s.changeCount(), changes);
        tick();
    }
    EXPECT_EQ(relayed.bytesSent(), before);

    // The counter does count: a new title is fetched, once.
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(changing), atom("_NET_WM_NAME"),
                        atom("UTF8_STRING"), 8, 5, "After");
    sync(connection);
    EXPECT_TRUE(eventually([&] {
        s.changeCount();
        return s.readTitle(changing, 50) == "After";
    }));
    EXPECT_NE(s.changeCount(), changes);
    EXPECT_GT(relayed.bytesSent(), before);
}

TEST_F(X11WindowServicesTest, ALostConnectionIsReplacedAndTheWindowsScannedAfresh) {
    const WindowHandle first = client.open("first", "net", "Before the break");
    RelayedServices relayed;
    X11WindowServices& s = relayed.services;
    int reconnects = 0;
    s.onReconnect = [&] { ++reconnects; };
    ASSERT_TRUE(eventually([&] { return listed(first) && std::ranges::count(enumerate(s), first) == 1; }));

    relayed.relays.back()->cut();
    const WindowHandle second = client.open("second", "net", "During the break");
    EXPECT_TRUE(eventually([&] {
        const HandleList list = enumerate(s);
        return std::ranges::count(list, first) == 1 && std::ranges::count(list, second) == 1;
    }));
    EXPECT_EQ(reconnects, 1);
    EXPECT_EQ(s.readTitle(second, 50), "During the break");

    // A server that is gone for good is reported, at every try.
    relayed.refuseNextConnection = true;
    relayed.relays.back()->cut();
    EXPECT_THROW(enumerate(s), PlatformError);
    EXPECT_THROW(s.changeCount(), PlatformError);
}

// What a scan sees of every window, for comparing two services.
using Snapshot = std::map<WindowHandle, std::tuple<std::string, WindowHandle, bool>>;

Snapshot snapshot(X11WindowServices& s) {
    Snapshot result;
    for (const WindowHandle w : s.topLevelWindows()) result[w] = {s.readTitle(w, 1000), s.ownerOf(w), s.isDesktopShell(w)};
    return result;
}

// Windows of the test's own connection, changed at random as programs and users do.
class Churn {
public:
    Churn(xcb_connection_t* c, xcb_window_t root, unsigned seed) : c_(c), root_(root), random_(seed) {}

    void step() {
        const int op = pick(10);
        if (windows_.size() < 4 || op == 0) return create();
        const xcb_window_t w = any();
        switch (op) {
            case 1: destroy(w); break;
            case 2: xcb_map_window(c_, w); break;
            case 3: xcb_unmap_window(c_, w); break;
            case 4: withdraw(w); break;
            case 5: case 6: retitle(w); break;
            case 7: transientFor(w, pick(3) == 0 ? XCB_NONE : any()); break;
            case 8: frame(w); break;
            default: unframe(w); break;
        }
    }
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    // A plain mapped window that any window manager frames, whatever the random steps left.
    void mapPlainWindow() {
        const xcb_window_t w = newWindow(root_, false);
        windows_.insert(w);
        retitle(w);
        xcb_map_window(c_, w);
        sync();
    }
    // Whether a window manager holds the screen's selection.
    bool windowManagerRuns() {
        auto* owner = xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, atom("WM_S0")), nullptr);
        const bool runs = owner != nullptr && owner->owner != XCB_NONE;
        std::free(owner);
        return runs;
    }

    // How many of the windows a window manager holds in frames of its own.
    int managed() {
        int count = 0;
        for (const xcb_window_t w : windows_) {
            if (frames_.contains(w)) continue;
            auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr);
            count += tree != nullptr && tree->parent != root_ ? 1 : 0;
            std::free(tree);
        }
        return count;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    xcb_window_t any() { return *std::next(windows_.begin(), pick(static_cast<int>(windows_.size()))); }
    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return a;
    }
    xcb_window_t newWindow(xcb_window_t parent, bool overrideRedirect) {
        const xcb_window_t w = xcb_generate_id(c_);
        const std::uint32_t values[] = {overrideRedirect ? 1u : 0u};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, parent, static_cast<std::int16_t>(pick(500)), static_cast<std::int16_t>(pick(500)), 50, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, values);
        return w;
    }
    void create() {
        const xcb_window_t w = newWindow(root_, pick(8) == 0);
        windows_.insert(w);
        retitle(w);
        if (pick(4) == 0) {
            const xcb_atom_t dock[] = {atom("_NET_WM_WINDOW_TYPE_DOCK")};
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, dock);
        }
        if (pick(3) != 0) xcb_map_window(c_, w);
    }
    void destroy(xcb_window_t w) {
        xcb_destroy_window(c_, w);
        windows_.erase(w);
        if (const auto f = frames_.find(w); f != frames_.end()) {
            xcb_destroy_window(c_, f->second);
            frames_.erase(f);
        }
    }
    void withdraw(xcb_window_t w) {
        xcb_unmap_window(c_, w);
        xcb_unmap_notify_event_t notify{};
        notify.response_type = XCB_UNMAP_NOTIFY;
        notify.event = root_;
        notify.window = w;
        xcb_send_event(c_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&notify));
    }
    void retitle(xcb_window_t w) {
        const std::string title = "Window " + std::to_string(pick(1000)) + (pick(2) ? " — été" : "");
        switch (pick(4)) {
            case 0: xcb_delete_property(c_, w, atom("_NET_WM_NAME")); break;
            case 1:
                xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, atom("UTF8_STRING"), 8,
                                    static_cast<std::uint32_t>(title.size()), title.data());
                break;
            default:
                xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                                    static_cast<std::uint32_t>(title.size()), title.data());
        }
    }
    void transientFor(xcb_window_t w, xcb_window_t owner) {
        if (owner == XCB_NONE) {
            xcb_delete_property(c_, w, XCB_ATOM_WM_TRANSIENT_FOR);
        } else {
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &owner);
        }
    }
    // As a reparenting window manager does, whether or not one runs.
    void frame(xcb_window_t w) {
        if (frames_.contains(w)) return;
        const xcb_window_t outer = newWindow(root_, true);
        const xcb_window_t inner = newWindow(outer, false);
        xcb_map_window(c_, inner);
        xcb_reparent_window(c_, w, inner, 0, 0);
        const std::uint32_t normalState[] = {1, XCB_NONE};
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("WM_STATE"), atom("WM_STATE"), 32, 2, normalState);
        if (pick(2) == 0) xcb_map_window(c_, outer);
        frames_[w] = outer;
    }
    void unframe(xcb_window_t w) {
        const auto f = frames_.find(w);
        if (f == frames_.end()) return;
        xcb_reparent_window(c_, w, root_, 0, 0);
        xcb_delete_property(c_, w, atom("WM_STATE"));
        xcb_destroy_window(c_, f->second);
        frames_.erase(f);
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    std::mt19937 random_;
    std::set<xcb_window_t> windows_;
    std::map<xcb_window_t, xcb_window_t> frames_;  // client -> frame
};

// Eventually, once the window manager is done: what the events built equals a fresh scan.
::testing::AssertionResult agreesWithAFreshScan(X11WindowServices& kept) {
    Snapshot keptView, freshView;
    const bool agreed = eventually([&] {
        keptView = snapshot(kept);
        X11WindowServices fresh;
        freshView = snapshot(fresh);
        return keptView == freshView;
    });
    if (agreed) return ::testing::AssertionSuccess();
    auto result = ::testing::AssertionFailure();
    for (const auto& [w, seen] : keptView) {
        if (!freshView.contains(w)) result << "only kept: " << w << " '" << std::get<0>(seen) << "'\n";
        else if (freshView.at(w) != seen) result << "differs: " << w << " '" << std::get<0>(seen) << "' vs '" << std::get<0>(freshView.at(w)) << "'\n";
    }
    for (const auto& [w, seen] : freshView) {
        if (!keptView.contains(w)) result << "only fresh: " << w << " '" << std::get<0>(seen) << "'\n";
    }
    return result;
}

TEST_F(X11WindowServicesTest, AfterRandomChurnTheKeptViewEqualsAFreshScan) {
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Churn churn(connection, root, seed);
        for (int round = 0; round < 4; ++round) {
            for (int i = 0; i < 60; ++i) churn.step();
            churn.sync();
            ASSERT_TRUE(agreesWithAFreshScan(*services));
        }
    }
}

// A window manager that starts, is killed, starts again and quits while the services run.
TEST_F(X11WindowServicesTest, AWindowManagerComingAndGoingKeepsTheViewRight) {
    if (windowManager) GTEST_SKIP() << "this run's display has its own window manager";
    Churn churn(connection, root, 7);
    for (int i = 0; i < 40; ++i) churn.step();
    churn.sync();
    ASSERT_TRUE(agreesWithAFreshScan(*services));

    for (const int signal : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signal == SIGKILL ? "killed" : "quit");
        // The server may not yet have dropped a killed manager's connection; openbox would refuse to start.
        ASSERT_TRUE(eventually([&] { return !churn.windowManagerRuns(); })) << "no window manager left";
        churn.mapPlainWindow();
        const pid_t openbox = fork();
        if (openbox == 0) {
            execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_TRUE(eventually([&] { return churn.managed() > 0; })) << "openbox frames the mapped windows";
        EXPECT_TRUE(agreesWithAFreshScan(*services)) << "managed";
        for (int i = 0; i < 30; ++i) churn.step();
        churn.sync();
        EXPECT_TRUE(agreesWithAFreshScan(*services)) << "changed while managed";
        kill(openbox, signal);
        waitpid(openbox, nullptr, 0);
        ASSERT_TRUE(eventually([&] { return churn.managed() == 0; })) << "the frames are gone";
        EXPECT_TRUE(agreesWithAFreshScan(*services)) << "no longer managed";
    }
}

}  // namespace
}  // namespace tamberlyn
