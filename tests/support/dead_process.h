#pragma once

// The id of a process that has just ended (a child forked and reaped here): what a writer
// killed mid-save leaves in its file names.
long DeadProcessId();
