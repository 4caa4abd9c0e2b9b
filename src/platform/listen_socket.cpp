#include "platform/listen_socket.h"

#include <sys/socket.h>

void SetListenSocketOptions(int socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}
