#pragma once

#include <string>

class LookupDesk;

// "POST /plan": a program's run plan for the desk to work ahead on; the HTTP status to answer:
// 204 when taken, 400 when malformed, 404 when the service does not work ahead. A body past
// kMaxRunPlanBytes is refused (413) by the server before it is read.
int ServeRunPlan(LookupDesk& desk, std::string body);
