#pragma once

// Options for a server's listening socket: an address in TIME_WAIT can be bound again, but
// a port that another server listens on cannot (no SO_REUSEPORT sharing).
void SetListenSocketOptions(int socket);
