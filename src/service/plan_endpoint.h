#pragma once

namespace httplib {
struct Request;
struct Response;
class ContentReader;
}  // namespace httplib

class LookupDesk;

// "POST /plan": a program's run plan for the desk to work ahead on. 204 when taken, 400 when
// malformed, 413 beyond the size bound, 404 when the service does not work ahead. The body
// is read into one buffer that becomes the plan's.
void ServeRunPlan(LookupDesk& desk, const httplib::Request& request, httplib::Response& response,
                  const httplib::ContentReader& content);
