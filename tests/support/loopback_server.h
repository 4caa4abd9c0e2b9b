#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A TCP server on 127.0.0.1 with an ephemeral port for tests that must see or spoil the wire.
// It takes one connection at a time, records the request head exactly as it arrived (up to
// and including the blank line) and hands the connection to the script.
class LoopbackServer final {
  public:
    class Connection final {
      public:
        const std::string& request() const { return m_request; }
        int index() const { return m_index; }  // 0 for the first connection

        // Writes all of `bytes`; false when the peer is gone or the server stops.
        bool Send(std::string_view bytes);
        // Ends the reply: no more bytes, then waits until the peer has closed its side.
        void Finish();
        // Waits until what was sent has been acknowledged, then aborts with a TCP reset.
        void Reset();
        // Says nothing until the peer gives up (or the server stops).
        void HoldUntilClosed();

      private:
        friend class LoopbackServer;
        Connection(int fd, int wakeFd, int index) : m_fd(fd), m_wakeFd(wakeFd), m_index(index) {}
        bool ReadHead();
        bool WaitReadable();
        bool WaitWritable();

        int m_fd;
        int m_wakeFd;
        int m_index;
        std::string m_request;
        bool m_closed = false;
    };

    using Script = std::function<void(Connection&)>;

    explicit LoopbackServer(Script script);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return m_port; }
    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }

    std::vector<std::string> Requests() const;
    // The exact head the program's fetch sends for `target` to this server.
    std::string ExpectedRequestHead(const std::string& target) const {
        return "GET " + target + " HTTP/1.0\r\nHost: " + host() +
               "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
               "Accept: */*\r\nCache-Control: no-cache\r\nPragma: no-cache\r\n\r\n";
    }
    // True once `count` requests have arrived, false after `timeout`.
    bool WaitForRequests(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    // Scripts: send these bytes and end; send them and reset; stay silent.
    static Script Reply(std::string bytes);
    static Script ResetAfter(std::string bytes);
    static Script Silent();
    // A whole HTTP/1.0 reply with Content-Length.
    static std::string HttpReply(std::string_view body, std::string_view status = "200 OK");

    // A port on 127.0.0.1 that nothing listens on (just released by this process).
    static int UnusedPort();

  private:
    void Serve();

    Script m_script;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    int m_port = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
