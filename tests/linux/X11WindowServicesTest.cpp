// The XCB window services against windows of a separate X client (x11_test_window) and of
// the test's own connection. Runs under with-display, with and without a window manager.

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>

#include "FakeEventLoop.h"
#include "FakeMessageBoxes.h"
#include "TestWindowClient.h"
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
        services = std::make_unique<X11WindowServices>(connection, root, [this] { return now; });
    }
    void TearDown() override {
        services.reset();
        xcb_disconnect(connection);
    }

    HandleList enumerate(X11WindowServices& s) {
        HandleList list;
        s.enumerateTopLevelWindows([](WindowHandle w, HandleList& l) { l.push_back(w); return 1; }, list);
        return list;
    }
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

    HandleList first;
    services->enumerateTopLevelWindows([](WindowHandle w, HandleList& l) { l.push_back(w); return 0; }, first);
    EXPECT_EQ(first.size(), 1u) << "a zero from the callback ends the enumeration";
}

TEST_F(X11WindowServicesTest, AddsTheWindowsOfTheClientList) {
    if (windowManager) GTEST_SKIP() << "the window manager owns _NET_CLIENT_LIST";
    const WindowHandle shown = client.open("shown", "net", "Shown");
    // A client the tree walk cannot find: nested, without WM_STATE, named only by the list.
    const xcb_window_t holder = xcb_generate_id(connection), nested = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, holder, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, nested, holder, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_window_t clientList[] = {nested, static_cast<xcb_window_t>(shown)};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 32, 2,
                        clientList);
    sync(connection);

    const HandleList list = enumerate();
    xcb_delete_property(connection, root, atom("_NET_CLIENT_LIST"));
    sync(connection);
    EXPECT_EQ(std::ranges::count(list, static_cast<WindowHandle>(nested)), 1);
    EXPECT_EQ(std::ranges::count(list, static_cast<WindowHandle>(holder)), 1);
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

    X11WindowServices uncached{connection, root};
    for (X11WindowServices* s : {services.get(), &uncached}) {
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

TEST_F(X11WindowServicesTest, AVanishedWindowIsUntitledAndLeavesNoErrorInTheQueue) {
    const WindowHandle early = client.open("early", "net,delete", "Gone before its title was read");
    const WindowHandle late = client.open("late", "net,delete", "Gone after its title was read");
    ASSERT_TRUE(eventually([&] { return listed(early) && listed(late); }));
    client.destroy("early");
    EXPECT_EQ(services->readTitle(early, 50), "") << "properties are read at the first question after enumeration";
    EXPECT_EQ(services->readTitle(late, 50), "Gone after its title was read");
    EXPECT_EQ(services->ownerOf(early), 0);
    EXPECT_FALSE(services->isDesktopShell(early));
    EXPECT_NO_THROW(services->requestClose(early));
    client.destroy("late");
    EXPECT_NO_THROW(services->requestClose(late));  // from the cache: reaches a window that is gone
    enumerate();
    EXPECT_FALSE(services->closePending(late));
    X11WindowServices uncached{connection, root};
    EXPECT_EQ(uncached.readTitle(early, 50), "");

    sync(connection);  // every reply and error of the requests above has arrived
    int errors = 0;
    while (xcb_generic_event_t* e = xcb_poll_for_event(connection)) {
        errors += e->response_type == 0 ? 1 : 0;
        std::free(e);
    }
    EXPECT_EQ(errors, 0) << "errors in the queue would reach the toolkit that shares the connection";
}

TEST_F(X11WindowServicesTest, CloseRequestReachesAWindowThatTakesPartInDeleteWindow) {
    const WindowHandle window = client.open("closing", "net,closes", "Closing");
    ASSERT_TRUE(eventually([&] { return listed(window); }));
    services->requestClose(window);
    EXPECT_EQ(TestWindowClient::idIn(client.waitFor("delete closing ")), window);
    client.waitFor("destroyed closing");
    EXPECT_TRUE(eventually([&] { return !listed(window); }));
}

TEST_F(X11WindowServicesTest, OtherWindowsAreLeftToTheWindowManager) {
    TestWindowClient alone;  // the window manager may end this whole client
    const WindowHandle window = alone.open("plain", "net", "No WM_DELETE_WINDOW");
    ASSERT_TRUE(eventually([&] { return settled(window); }));
    xcb_connection_t* observer = xcb_connect(nullptr, nullptr);
    const std::uint32_t mask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_change_window_attributes(observer, root, XCB_CW_EVENT_MASK, mask);
    sync(observer);

    services->requestClose(window);
    const auto message = clientMessage(observer, atom("_NET_CLOSE_WINDOW"), static_cast<xcb_window_t>(window));
    xcb_disconnect(observer);
    EXPECT_EQ(message.format, 32);
    EXPECT_EQ(message.data.data32[1], 2u) << "source indication: a pager";
    EXPECT_EQ(alone.count("delete"), 0);
    if (windowManager) {
        EXPECT_TRUE(eventually([&] { return !listed(window); }));
    }
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
    ASSERT_FALSE(listed(window));
    EXPECT_TRUE(services->closePending(window));

    client.destroy("framed");
    enumerate();
    EXPECT_FALSE(services->closePending(window)) << "gone within the grace period";
}

TEST_F(X11WindowServicesTest, ScanCyclesAskOnceAndLeaveTheQuestionOpen) {
    const WindowHandle document = client.open("doc", "net,asks", "Meeting notes");
    client.open("bystander", "net,delete", "Calculator");
    ASSERT_TRUE(eventually([&] { return settled(document); }));
    ListView list{"ListView1", {}, 0, ""};
    list.add("NOTES");  // matches the question's title too
    QtTextCase textCase;
    fakes::FakeEventLoop events;
    fakes::FakeMessageBoxes boxes;
    const auto cycle = [&] { RunScanCycle(list, {*services, textCase, events, boxes}); };

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

TEST_F(X11WindowServicesTest, ABrokenConnectionIsAPlatformError) {
    xcb_connection_t* nowhere = xcb_connect(":4095", nullptr);
    try {
        X11WindowServices failing{nowhere, root};
        ADD_FAILURE() << "no error for a connection that never opened";
    } catch (const PlatformError& e) {
        EXPECT_NE(std::string(e.what()).find("X server"), std::string::npos) << e.what();
    }
    xcb_disconnect(nowhere);

    shutdown(xcb_get_file_descriptor(connection), SHUT_RD);  // the server's side goes quiet
    EXPECT_THROW(enumerate(), PlatformError);
    EXPECT_THROW(services->readTitle(static_cast<WindowHandle>(root), 50), PlatformError);
}

}  // namespace
}  // namespace tamberlyn
