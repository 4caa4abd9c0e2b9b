#pragma once

// libcurl's process-wide set-up, done once whichever thread asks first. Every user of curl
// calls it before its first transfer.
void EnsureCurlInitialised();
