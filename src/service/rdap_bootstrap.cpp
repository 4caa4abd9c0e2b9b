#include "service/rdap_bootstrap.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <system_error>

#include "service/source_fetch.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBootstrapCap = 4 * 1024 * 1024;
constexpr auto kLifetime = std::chrono::hours(24);
constexpr auto kRetryAfterFailure = std::chrono::minutes(5);

bool IsLoopbackUrl(std::string_view url) {
    constexpr std::string_view kScheme = "http://";
    if (url.substr(0, kScheme.size()) != kScheme) return false;
    const std::string_view rest = url.substr(kScheme.size());
    const std::string_view host = rest.substr(0, rest.find_first_of(":/"));
    if (host == "localhost" || rest.substr(0, 5) == "[::1]") return true;
    if (host.substr(0, 4) != "127.") return false;
    return host.find_first_not_of("0123456789.") == std::string_view::npos;
}

// Writes beside the target and renames over it, so a reader never sees half a file.
void WriteAtomically(const fs::path& file, const std::string& bytes) {
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) return;
    static std::atomic<unsigned> serial = 0;
    const fs::path temporary =
        file.string() + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            out.close();
            fs::remove(temporary, error);
            return;
        }
    }
    fs::rename(temporary, file, error);
    if (error) fs::remove(temporary, error);
}

}  // namespace

RdapBootstrap::RdapBootstrap(SourceContext context)
    : m_context(context), m_fromLoopback(IsLoopbackUrl(context.settings.rdapBootstrapUrl)) {
    if (!context.settings.cacheFolder.empty()) {
        m_file = fs::path(context.settings.cacheFolder) / "rdap-dns.json";
    }
}

void RdapBootstrap::LoadFile() {
    std::error_code error;
    if (m_file.empty() || fs::file_size(m_file, error) > kBootstrapCap || error) return;
    const auto written = fs::last_write_time(m_file, error);
    if (error) return;
    std::ifstream in(m_file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto services = ReadRdapBootstrap(bytes);
    if (!services) return;
    m_services = std::make_shared<const RdapServices>(std::move(*services));
    m_fetchedAt = written;
}

void RdapBootstrap::Refresh() {
    WebFetchOptions options = SourceFetchOptions(m_context);
    options.cap = kBootstrapCap;
    options.timeout = m_context.settings.rdapTimeout;
    options.connectTimeout = std::min(options.connectTimeout, options.timeout);
    options.maxRedirects = 3;
    options.headers = {"Accept: application/json"};
    const WebPage page = FetchWebPage(m_context.settings.rdapBootstrapUrl, options);
    auto services = page.outcome == WebPage::Outcome::kOk && page.status == 200
                        ? ReadRdapBootstrap(page.body)
                        : std::nullopt;
    if (!services) {
        m_nextTry = std::chrono::steady_clock::now() + kRetryAfterFailure;
        return;
    }
    m_services = std::make_shared<const RdapServices>(std::move(*services));
    m_fetchedAt = fs::file_time_type::clock::now();
    if (!m_file.empty()) WriteAtomically(m_file, page.body);
}

std::vector<std::string> RdapBootstrap::BaseUrls(std::string_view domain) {
    std::shared_ptr<const RdapServices> services;
    {
        // One fetch at a time; lookups that need the list wait for it.
        std::lock_guard lock(m_mutex);
        if (!m_fileTried) {
            m_fileTried = true;
            LoadFile();
        }
        const bool stale =
            !m_services || fs::file_time_type::clock::now() - m_fetchedAt > kLifetime;
        if (stale && std::chrono::steady_clock::now() >= m_nextTry) Refresh();
        services = m_services;
    }
    if (!services) return {};
    return RdapBaseUrls(*services, domain);
}
