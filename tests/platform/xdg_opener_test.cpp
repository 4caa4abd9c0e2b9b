#include "platform/xdg_opener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "common/file_io.h"
#include "support/temp_dir.h"

namespace {

TEST(BrowserArgument, BareHostsGetHttpAndTextBecomesUtf8) {
    struct Case {
        Text address;
        std::string argument;
    };
    const Case cases[] = {
        {"www.example.com", "http://www.example.com"},
        {"http://www.example.com/", "http://www.example.com/"},
        {"HTTPS://example.com/a?b", "HTTPS://example.com/a?b"},
        {"svn+ssh://example.com", "svn+ssh://example.com"},
        {"example.com:8080/x", "http://example.com:8080/x"},
        {"example.com/?u=http://x", "http://example.com/?u=http://x"},
        {"1a://x", "http://1a://x"},
        {"网站.cn", reinterpret_cast<const char*>(u8"http://网站.cn")},
        {"a\xFF", "http://a\xEF\xBF\xBD"},
        {"", "http://"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BrowserArgument(c.address), c.argument) << c.address;
    }
}

// A stand-in xdg-open first on PATH that writes its arguments and session id to a file.
class XdgOpenerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        const std::string script =
            "#!/bin/sh\n"
            "out='" +
            m_dir.File("call") +
            "'\n"
            "{ printf '%s\\n' \"$#\"; cut -d' ' -f6 /proc/$$/stat; printf '%s' \"$1\"; } "
            "> \"$out.part\"\n"
            "mv \"$out.part\" \"$out\"\n";
        const std::string program = m_dir.File("xdg-open");
        ASSERT_TRUE(WriteWholeFile(program, script));
        ASSERT_EQ(chmod(program.c_str(), 0755), 0);
        setenv("PATH", (m_dir.path() + ":" + m_oldPath).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", m_oldPath.c_str(), 1); }

    struct Call {
        std::string argumentCount;
        std::string session;
        std::string argument;
    };

    // Waits for the stand-in to have run; the opener itself does not wait for it.
    Call WaitForCall() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(m_dir.File("call")) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const std::string bytes = ReadWholeFile(m_dir.File("call"));
        std::filesystem::remove(m_dir.File("call"));
        const std::size_t first = bytes.find('\n');
        const std::size_t second = bytes.find('\n', first + 1);
        if (second == std::string::npos) return {};
        return {bytes.substr(0, first), bytes.substr(first + 1, second - first - 1),
                bytes.substr(second + 1)};
    }

    TempDir m_dir;
    std::string m_oldPath;
};

TEST_F(XdgOpenerTest, OpensAPageDetachedInItsOwnSession) {
    XdgOpener opener;
    opener.OpenInExplorer("www.example.com/网页");
    // Nothing is left for this process to reap: the program was handed to init.
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    const Call call = WaitForCall();
    EXPECT_EQ(call.argumentCount, "1");
    EXPECT_EQ(call.argument, reinterpret_cast<const char*>(u8"http://www.example.com/网页"));
    EXPECT_NE(call.session, std::to_string(getsid(0)));
}

TEST_F(XdgOpenerTest, OpensAFileByItsAbsolutePath) {
    XdgOpener opener;
    opener.OpenFile("book 1.xls");
    EXPECT_EQ(WaitForCall().argument, std::filesystem::current_path().string() + "/book 1.xls");
    opener.OpenFile(m_dir.File("-x.xls"));
    EXPECT_EQ(WaitForCall().argument, m_dir.File("-x.xls"));
}

TEST_F(XdgOpenerTest, MissingProgramIsIgnored) {
    TempDir empty;
    setenv("PATH", empty.path().c_str(), 1);
    XdgOpener opener;
    opener.OpenInExplorer("www.example.com");
    opener.OpenFile("book.xls");
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("call")));
}

}  // namespace
