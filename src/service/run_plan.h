#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The largest plan body the service takes (a million hosts need about 30 MB).
inline constexpr std::size_t kMaxRunPlanBytes = 64 * 1024 * 1024;

// What a program tells the service when a run starts: who it is, the kinds it will ask for
// and its hosts in the order it will ask. The body is text, lines ending in LF:
//
//   zarkel-plan 1
//   client TOKEN          (1 to 64 of A-Z a-z 0-9 . _ -; a program keeps one for its life)
//   kinds KIND KIND ...   (catalogue kinds; others are ignored)
//   (an empty line)
//   ADDRESS               (one per line, percent-encoded as in the lookup's request line)
class RunPlan final {
  public:
    // Reads a body, decoding the addresses where they lie: the body's buffer becomes the
    // plan's, so a large plan is never held twice. nullopt for anything malformed.
    static std::optional<RunPlan> Read(std::string body);

    const std::string& Client() const { return m_client; }
    const std::vector<std::string>& Kinds() const { return m_kinds; }
    std::size_t Size() const { return m_ends.size(); }
    // The address bytes as the lookup's request carries them after decoding.
    std::string_view Address(std::size_t index) const;
    // Bytes held, for the service's bound on plans.
    std::size_t Footprint() const {
        return m_bytes.capacity() + m_ends.capacity() * sizeof(std::uint32_t);
    }

  private:
    std::string m_client;
    std::vector<std::string> m_kinds;
    std::string m_bytes;                // the decoded addresses end to end
    std::vector<std::uint32_t> m_ends;  // address i ends at m_ends[i]
};
