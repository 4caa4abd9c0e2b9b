#include "service/plan_endpoint.h"

#include "service/lookup_desk.h"

int ServeRunPlan(LookupDesk& desk, std::string body) {
    switch (desk.TakePlan(std::move(body))) {
        case LookupDesk::PlanOutcome::kTaken:
            return 204;
        case LookupDesk::PlanOutcome::kMalformed:
            return 400;
        case LookupDesk::PlanOutcome::kNotWorkingAhead:
            return 404;
    }
    return 400;
}
