// The downloaded top-sites list: fetched on first need, kept in the cache folder, renewed
// when old, kept when a download breaks.
#include <gtest/gtest.h>
#include <zip.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "service/rank_list.h"
#include "service/service_fixture.h"
#include "service/utf8.h"
#include "support/temp_dir.h"

namespace {

// A zip archive holding one file with `text`.
std::string Zipped(const std::string& text) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_t* file = zip_source_buffer(archive, text.data(), text.size(), 0);
    zip_file_add(archive, "top-1m.csv", file, ZIP_FL_OVERWRITE);
    zip_close(archive);
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    const auto size = zip_source_tell(buffer);
    zip_source_seek(buffer, 0, SEEK_SET);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    zip_source_read(buffer, bytes.data(), static_cast<zip_uint64_t>(size));
    zip_source_close(buffer);
    zip_source_free(buffer);
    return bytes;
}

// Serves /top.zip: the zip of `list`, or a broken body while `broken` is set.
struct ListServer {
    ListServer() {
        web.server().Get("/top.zip", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard lock(mutex);
            if (broken) {
                response.set_content(Zipped(list).substr(0, 40), "application/zip");
                return;
            }
            response.set_content(Zipped(list), "application/zip");
        });
        web.Start();
    }
    void Serve(std::string text, bool isBroken = false) {
        std::lock_guard lock(mutex);
        list = std::move(text);
        broken = isBroken;
    }
    FakeWeb web;
    std::mutex mutex;
    std::string list = "1,google.com\n2,example.com\n";
    bool broken = false;
};

struct Fixture {
    ServiceSettings Settings() const {
        ServiceSettings settings = LoopbackSettings();
        settings.rankListUrl = server.web.Url("/top.zip");
        settings.rankCacheDirectory = cache.path() + "/zarkel";
        settings.cacheLifetime = std::chrono::seconds(0);  // every answer from the list
        return settings;
    }
    std::string CachedFile() const { return cache.path() + "/zarkel/top-1m.csv.zip"; }
    ListServer server;
    TempDir cache;
};

TEST(DownloadedRankListTest, FirstNeedDownloadsAndAnswersRankOrNotRanked) {
    Fixture f;
    auto service = LookupService::Start(f.Settings(), "127.0.0.1", 0);
    const std::pair<const char*, std::string> cases[] = {
        {"www.google.com", "1"},
        {"mail.example.com", "2"},
        {"unlisted.example.net", U8(u8"无排名")},
    };
    for (const auto& [host, answer] : cases) EXPECT_EQ(Ask(*service, "alexa", host), answer);
    EXPECT_EQ(f.server.web.RequestCount(), 1u);
    EXPECT_TRUE(std::filesystem::exists(f.CachedFile()));

    // A new service (the next start of the program) reads the copy and asks for nothing.
    f.server.Serve("1,other.com\n");
    auto again = LookupService::Start(f.Settings(), "127.0.0.1", 0);
    EXPECT_EQ(Ask(*again, "alexa", "google.com"), "1");
    EXPECT_EQ(f.server.web.RequestCount(), 1u);
}

TEST(DownloadedRankListTest, OldCopyIsRenewedAndKeptWhenTheDownloadBreaks) {
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(8 * 24);
    struct Case {
        bool broken;
        std::string renewedAnswer;  // google.com's answer once the download has ended
    };
    for (const Case& c : {Case{false, U8(u8"无排名")}, Case{true, "1"}}) {
        Fixture f;
        {
            auto first = LookupService::Start(f.Settings(), "127.0.0.1", 0);
            ASSERT_EQ(Ask(*first, "alexa", "google.com"), "1");
        }
        const auto before = f.server.web.RequestCount();
        std::filesystem::last_write_time(f.CachedFile(), old);
        f.server.Serve("1,renewed.com\n", c.broken);
        auto service = LookupService::Start(f.Settings(), "127.0.0.1", 0);
        // The old copy answers while the new one comes.
        EXPECT_EQ(Ask(*service, "alexa", "google.com"), "1") << c.broken;
        ASSERT_TRUE(WaitUntil([&] { return f.server.web.RequestCount() == before + 1; }));
        ASSERT_TRUE(WaitUntil([&] {
            return Ask(*service, "alexa", "google.com") == c.renewedAnswer;
        })) << c.broken;
        if (!c.broken) {
            EXPECT_GT(std::filesystem::last_write_time(f.CachedFile()), old);
        } else {
            EXPECT_EQ(std::filesystem::last_write_time(f.CachedFile()), old);
            EXPECT_EQ(RankList::Load(f.CachedFile())->size(), 2u);
        }
    }
}

TEST(DownloadedRankListTest, NoListAnswersMinusOneAndAFileOfTheUserWins) {
    Fixture f;
    ServiceSettings settings = f.Settings();
    settings.rankListUrl = "http://127.0.0.1:9/top.zip";  // nothing listens
    auto unreachable = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*unreachable, "alexa", "google.com"), "-1");

    {
        std::ofstream own(f.cache.File("own.csv"));
        own << "7,google.com\n";
    }
    settings = f.Settings();
    settings.rankListPath = f.cache.File("own.csv");
    auto withFile = LookupService::Start(settings, "127.0.0.1", 0);
    EXPECT_EQ(Ask(*withFile, "alexa", "google.com"), "7");
    EXPECT_EQ(f.server.web.RequestCount(), 0u);
}

TEST(RankListTest, ReadsZipAndPlainTextAndSkipsBrokenLines) {
    TempDir dir;
    const std::string text =
        "rank,domain\n1,Google.COM.\r\n-3,bad.com\n2,\n99999999999,huge.com\n"
        "3,a.com\n4,a.com\n" +
        std::string(600, 'x') + "\n5," + std::string(300, 'y') + ".com\n6,last.org";
    {
        std::ofstream(dir.File("plain.csv"), std::ios::binary) << text;
        std::ofstream(dir.File("list.zip"), std::ios::binary) << Zipped(text);
        std::ofstream(dir.File("broken.zip"), std::ios::binary) << Zipped(text).substr(0, 60);
    }
    for (const char* name : {"plain.csv", "list.zip"}) {
        const auto list = RankList::Load(dir.File(name));
        ASSERT_NE(list, nullptr) << name;
        EXPECT_EQ(list->Rank("google.com"), 1) << name;
        EXPECT_EQ(list->Rank("a.com"), 3) << name;  // the first line of a name wins
        EXPECT_EQ(list->Rank("last.org"), 6) << name;
        EXPECT_EQ(list->Rank("bad.com"), std::nullopt) << name;
        EXPECT_EQ(list->Rank("huge.com"), std::nullopt) << name;
    }
    EXPECT_EQ(RankList::Load(dir.File("broken.zip")), nullptr);
    EXPECT_EQ(RankList::Load(dir.File("missing.zip")), nullptr);
    EXPECT_EQ(RankList::FromText("rank,domain\n"), nullptr);
}

}  // namespace
