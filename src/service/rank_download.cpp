#include "service/rank_download.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/web_fetch.h"
#include "service/source_fetch.h"

namespace {

// The zipped million-entry list is about 10 MB.
constexpr std::size_t kDownloadCap = 64 * 1024 * 1024;
constexpr std::chrono::minutes kRetryAfterFailure{15};
constexpr std::chrono::minutes kDownloadTimeout{5};
// With no list at all, a lookup waits this long for a download under way, so that a first
// run on a new machine gets ranks rather than -1 for its first hosts.
constexpr std::chrono::seconds kFirstListWait{20};

}  // namespace

DownloadedRankList::DownloadedRankList(SourceContext context)
    : m_context(context), m_file(context.settings.rankCacheDirectory + "/top-1m.csv.zip") {}

DownloadedRankList::~DownloadedRankList() {
    Stop();
    if (m_download.joinable()) m_download.join();
}

void DownloadedRankList::Stop() {
    m_stopping = true;
    std::lock_guard lock(m_mutex);
    m_changed.notify_all();
}

std::shared_ptr<const RankList> DownloadedRankList::Current() {
    std::unique_lock lock(m_mutex);
    const auto now = Clock::now();
    if (!m_fileRead) {
        m_fileRead = true;
        std::error_code error;
        const auto written = std::filesystem::last_write_time(m_file, error);
        if (!error) {
            m_list = RankList::Load(m_file);
            m_listTime = std::chrono::time_point_cast<Clock::duration>(
                std::chrono::file_clock::to_sys(written));
        }
    }
    const bool due = m_list == nullptr || now - m_listTime >= m_context.settings.rankListMaxAge;
    if (due && !m_downloading && now >= m_nextTry && !m_stopping && !m_context.stopping) {
        if (m_download.joinable()) m_download.join();  // the last one has ended
        m_downloading = true;
        m_download = std::thread([this] { Download(); });
    }
    if (m_list == nullptr && m_downloading) {
        m_changed.wait_for(lock, kFirstListWait, [this] { return !m_downloading; });
    }
    return m_list;
}

void DownloadedRankList::Download() {
    const ServiceSettings& settings = m_context.settings;
    WebFetchOptions options = SourceFetchOptions(m_context);
    options.cancel = &m_stopping;
    options.cap = kDownloadCap;
    options.timeout = kDownloadTimeout;
    options.headers = {"Accept: */*"};
    std::shared_ptr<const RankList> list;
    const WebPage page =
        m_context.stopping ? WebPage{} : FetchWebPage(settings.rankListUrl, options);
    if (page.outcome == WebPage::Outcome::kOk && page.status == 200) {
        std::error_code error;
        std::filesystem::create_directories(settings.rankCacheDirectory, error);
        static std::atomic<unsigned> downloads = 0;
        const std::string part =
            m_file + ".part" + std::to_string(getpid()) + "-" + std::to_string(++downloads);
        {
            std::ofstream out(part, std::ios::binary | std::ios::trunc);
            out.write(page.body.data(), static_cast<std::streamsize>(page.body.size()));
            out.close();
            if (out) list = RankList::Load(part);  // only a list read whole replaces the old
        }
        if (list == nullptr || std::rename(part.c_str(), m_file.c_str()) != 0) {
            list = nullptr;
            std::filesystem::remove(part, error);
        }
    }
    std::lock_guard lock(m_mutex);
    m_downloading = false;
    m_changed.notify_all();
    if (list != nullptr) {
        m_list = std::move(list);
        m_listTime = Clock::now();
    } else {
        m_nextTry = Clock::now() + kRetryAfterFailure;
    }
}
