#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/authorization.h"
#include "net/caster_registry.h"
#include "tests/support/scripted_caster.h"

namespace corvane {
namespace {

using namespace std::chrono;

CasterEntry BuiltinSlotAt(std::uint16_t port) {
    CasterRegistry r;
    r.SetBuiltinCaster("127.0.0.1", port);
    r.ResolveCaster(kBuiltinSlot);
    r.BuildCredentials(kBuiltinSlot);
    return r.casters[kBuiltinSlot];
}

NetTimeouts Short() {
    NetTimeouts t;
    t.connectWaits = 2;
    t.connectWaitMs = 200;
    t.authorizationReceiveMs = 300;
    return t;
}

int AskCasterAnswering(const std::string& answer, std::string* request = nullptr) {
    test::ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        c.Send(answer);
    });
    const int result = RequestAuthorization(BuiltinSlotAt(caster.Port()), Short());
    caster.Stop();
    if (request && !caster.Requests().empty()) *request = caster.Requests().front();
    return result;
}

TEST(Authorization, StatusDecidesTheResult) {
    std::string request;
    EXPECT_EQ(AskCasterAnswering("HTTP/1.1 401 Unauthorized\r\n\r\n", &request), kAuthRefused);
    EXPECT_EQ(request,
              "GET /ISAUTHORIZED? HTTP/1.1\r\nAuthorization: Basic cWFkbHU6cWFkbHU=\r\n\r\n");
    EXPECT_EQ(AskCasterAnswering("HTTP/1.1 200 OK\r\n\r\n"), kAuthAccepted);
    EXPECT_EQ(AskCasterAnswering("HTTP/1.0 200 ok\r\n\r\n"), kAuthAccepted);
    EXPECT_EQ(AskCasterAnswering("HTTP/1.1 403 Forbidden\r\n\r\n"), kAuthAccepted);
    EXPECT_EQ(AskCasterAnswering("ICY 200 OK\r\n"), kAuthAccepted);
}

TEST(Authorization, SilentCasterIsAcceptedAfterTheReceiveTimeOut) {
    test::ScriptedCaster silent([](test::CasterConnection& c) {
        c.ReadRequest();
        c.WaitForClose(seconds(3));
    });
    const auto start = steady_clock::now();
    EXPECT_EQ(RequestAuthorization(BuiltinSlotAt(silent.Port()), Short()), kAuthAccepted);
    const auto elapsed = steady_clock::now() - start;
    EXPECT_GE(elapsed, milliseconds(250));
    EXPECT_LT(elapsed, milliseconds(2500));
}

TEST(Authorization, NoListenerIsUnreachable) {
    EXPECT_EQ(RequestAuthorization(BuiltinSlotAt(test::UnusedPort()), Short()), kAuthUnreachable);
    test::UnansweredListener unanswered;
    EXPECT_EQ(RequestAuthorization(BuiltinSlotAt(unanswered.Port()), Short()), kAuthUnreachable);
}

}  // namespace
}  // namespace corvane
