#include "query/service_host.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(ServiceHost, EnvironmentReplacesTheBuiltInHostUnlessEmpty) {
    unsetenv("ZARKEL_SERVICE_HOST");
    EXPECT_EQ(ServiceHost(), BUILT_IN_SERVICE_HOST);
    setenv("ZARKEL_SERVICE_HOST", "", 1);
    EXPECT_EQ(ServiceHost(), BUILT_IN_SERVICE_HOST);
    setenv("ZARKEL_SERVICE_HOST", "lookup.example:8080", 1);
    EXPECT_EQ(ServiceHost(), "lookup.example:8080");
    unsetenv("ZARKEL_SERVICE_HOST");
}

}  // namespace
