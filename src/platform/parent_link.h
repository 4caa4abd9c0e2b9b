#pragma once

#include <string_view>

// The child's side of the link that ChildProcess makes (its descriptor `link`).

// Writes `line` and a line feed on the link; false when it cannot.
bool SendLineToParent(int link, std::string_view line);

// On a thread of its own: answers each byte the parent sends (its check that this process
// still serves) with the same byte, and ends this process at once, exit code 0, when the
// parent closes the link or is gone. False when `link` is no open descriptor.
bool ServeParentLink(int link);
