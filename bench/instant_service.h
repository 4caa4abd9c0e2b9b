#pragma once

#include <memory>
#include <string>

#include "app/child_service.h"

// The benchmarks' instant lookup service, run as a child of the benchmark program itself the
// way the program runs zarkel-lookupd, so the lookups cross to another process as they do in
// the program.

// In the child (the arguments ChildService passes), serves every /get.php with `reply` until
// the parent ends and never returns; in the parent, returns at once.
void ServeInstantlyIfChild(int argc, char** argv, const std::string& reply);

// Starts this program as that child; exits the program when it cannot.
std::unique_ptr<ChildService> StartInstantService();
