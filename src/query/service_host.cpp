#include "query/service_host.h"

#include <cstdlib>

#ifndef ZARKEL_SERVICE_HOST
#define ZARKEL_SERVICE_HOST ""
#endif

Text ServiceHost() {
    const char* fromEnvironment = std::getenv("ZARKEL_SERVICE_HOST");
    if (fromEnvironment && *fromEnvironment) return fromEnvironment;
    return ZARKEL_SERVICE_HOST;
}
