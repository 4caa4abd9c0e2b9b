// Reading a run plan's body: hostile bytes give no plan, never a wrong one.
#include "service/run_plan.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Addresses(const RunPlan& plan) {
    std::vector<std::string> addresses;
    for (std::size_t i = 0; i < plan.Size(); ++i) addresses.emplace_back(plan.Address(i));
    return addresses;
}

TEST(RunPlan, ReadsClientKindsAndDecodedAddressesInOrder) {
    struct Case {
        std::string body;
        std::vector<std::string> kinds;
        std::vector<std::string> addresses;
    };
    const std::string head = "zarkel-plan 1\nclient Ab-1_x.9\n";
    const std::vector<Case> cases = {
        {head + "kinds ip title\n\na.com\nb.com:8080\n", {"ip", "title"}, {"a.com", "b.com:8080"}},
        // Percent escapes decode; broken ones stay as they are, like the lookup's own.
        {head + "kinds ip\n\n%CD%F8.cn\n100%\n%4\n%zz1\n%41%42\n",
         {"ip"},
         {"\xCD\xF8.cn", "100%", "%4", "%zz1", "AB"}},
        // CR LF lines, an empty line as an address, no LF at the end.
        {head + "kinds ip\r\n\r\na.com\r\n\r\nc.com", {"ip"}, {"a.com", "", "c.com"}},
        // Unknown and repeated kinds are left out; no addresses at all is a plan too.
        {head + "kinds  ip nope ip  baidu\n\n", {"ip", "baidu"}, {}},
        {head + "kinds\n\nx\n", {}, {"x"}},
    };
    for (const Case& c : cases) {
        const auto plan = RunPlan::Read(c.body);
        ASSERT_TRUE(plan) << c.body;
        EXPECT_EQ(plan->Client(), "Ab-1_x.9");
        EXPECT_EQ(plan->Kinds(), c.kinds) << c.body;
        EXPECT_EQ(Addresses(*plan), c.addresses) << c.body;
    }
}

TEST(RunPlan, RefusesMalformedBodies) {
    const std::vector<std::string> bodies = {
        "",
        "zarkel-plan 2\nclient a\nkinds ip\n\nx\n",
        "zarkel-plan 1\nkinds ip\n\nx\n",
        "zarkel-plan 1\nclient \nkinds ip\n\nx\n",
        "zarkel-plan 1\nclient a b\nkinds ip\n\nx\n",
        "zarkel-plan 1\nclient " + std::string(65, 'a') + "\nkinds ip\n\nx\n",
        "zarkel-plan 1\nclient a\nkinds ip\nx\n",
        "zarkel-plan 1\nclient a\nkinds " + std::string(2000, 'i') + "\n\nx\n",
        "zarkel-plan 1\nclient a\n",
    };
    for (const std::string& body : bodies) EXPECT_FALSE(RunPlan::Read(body)) << body.substr(0, 80);

    std::string huge = "zarkel-plan 1\nclient a\nkinds ip\n\n";
    huge.resize(kMaxRunPlanBytes + 1, 'a');
    EXPECT_FALSE(RunPlan::Read(std::move(huge)));
}

// A million hosts: read where they lie, nothing held twice.
TEST(RunPlan, AMillionHostsKeepTheBodysBuffer) {
    std::string body = "zarkel-plan 1\nclient a\nkinds ip\n\n";
    for (int i = 0; i < 1000000; ++i) body += "host" + std::to_string(i) + ".com\n";
    const std::size_t capacity = body.capacity();
    const char* buffer = body.data();
    const auto plan = RunPlan::Read(std::move(body));
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->Size(), 1000000u);
    EXPECT_EQ(plan->Address(0).data(), buffer);
    EXPECT_EQ(plan->Address(999999), "host999999.com");
    EXPECT_LE(plan->Footprint(), capacity + 4 * 1000001);
}

}  // namespace
