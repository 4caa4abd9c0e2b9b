#include "service/plan_endpoint.h"

#include <httplib.h>

#include <algorithm>

#include "service/lookup_desk.h"
#include "service/run_plan.h"

void ServeRunPlan(LookupDesk& desk, const httplib::Request& request, httplib::Response& response,
                  const httplib::ContentReader& content) {
    const std::size_t announced =
        request.get_header_value<std::uint64_t>("Content-Length");  // sizes the buffer only
    if (announced > kMaxRunPlanBytes) {
        response.status = 413;
        return;
    }
    std::string body;
    body.reserve(announced);
    bool tooLarge = false;
    const bool read = content([&](const char* data, std::size_t length) {
        if (length > kMaxRunPlanBytes - body.size()) {
            tooLarge = true;
            return false;
        }
        body.append(data, length);
        return true;
    });
    if (tooLarge) {
        response.status = 413;
        return;
    }
    if (!read) {
        response.status = 400;
        return;
    }
    switch (desk.TakePlan(std::move(body))) {
        case LookupDesk::PlanOutcome::kTaken:
            response.status = 204;
            break;
        case LookupDesk::PlanOutcome::kMalformed:
            response.status = 400;
            break;
        case LookupDesk::PlanOutcome::kNotWorkingAhead:
            response.status = 404;
            break;
    }
}
