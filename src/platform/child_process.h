#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A program run as a child of this process and tied to it by a socket, the child's file
// descriptor kLinkFd. The child may write a line there (the port it listens on), and reads end
// of file there once this process is gone, however it ended (SIGKILL included), so it can end
// too instead of staying behind.
class ChildProcess final {
  public:
    static constexpr int kLinkFd = 3;

    // Starts `program` with `arguments` and this process's environment, its standard streams
    // shared with this process. `extraEnvironment` ("NAME=value") adds variables this process
    // does not set (or sets empty). nullptr when the program cannot be run (missing, not
    // executable).
    static std::unique_ptr<ChildProcess> Start(
        const std::string& program, const std::vector<std::string>& arguments,
        const std::vector<std::string>& extraEnvironment = {});
    // Kills the child if it still runs and reaps it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line the child writes on the link, without its line end. nullopt when the child
    // closes the link or ends first, writes nothing for `timeout`, or the line passes 64 bytes.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);

    // False once the child has ended or closed the link (a child that closed it is ended
    // with this object). The destructor reaps it.
    bool Running();
    // Sends a byte on the link and waits for the child to send it back: true when it does
    // within `timeout`. A dying child may still hold its sockets for a moment after its
    // connections broke off, too early for Running() to know; it never answers.
    bool Responds(std::chrono::milliseconds timeout);
    int Id() const { return m_pid; }

  private:
    ChildProcess(int pid, int link) : m_pid(pid), m_link(link) {}

    int m_pid;
    int m_link;
    bool m_linkClosed = false;
    std::string m_pending;  // bytes after the last line read
};
