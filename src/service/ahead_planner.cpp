#include "service/ahead_planner.h"

#include <algorithm>

AheadPlanner::AheadPlanner(Options options, LaneOf laneOf, Prepare prepare)
    : m_options(options), m_laneOf(std::move(laneOf)), m_prepare(std::move(prepare)) {}

AheadPlanner::~AheadPlanner() {
    Stop();
}

void AheadPlanner::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_plans.clear();
        m_anyPlan = false;
        m_changed.notify_all();
    }
    for (auto& worker : m_workers) {
        if (worker.joinable()) worker.join();
    }
}

std::size_t AheadPlanner::PlanCount() {
    std::lock_guard lock(m_mutex);
    return m_plans.size();
}

void AheadPlanner::Take(RunPlan runPlan) {
    if (m_options.windowHosts == 0 || m_options.workers == 0) return;
    auto plan = std::make_unique<Plan>();
    for (const std::string& kind : runPlan.Kinds()) {
        // At most 32 kinds fit the dispatch bits; the catalogue has twelve.
        if (plan->kinds.size() == 32) break;
        if (const auto lane = m_laneOf(kind)) plan->kinds.push_back({kind, *lane});
    }
    plan->footprint = runPlan.Footprint();
    plan->plan = std::move(runPlan);
    plan->lastSeen = Clock::now();

    std::lock_guard lock(m_mutex);
    if (m_stopping) return;
    std::erase_if(m_plans, [&](const auto& p) { return p->plan.Client() == plan->plan.Client(); });
    ExpireLocked(plan->lastSeen);
    const auto total = [this] {
        std::size_t sum = 0;
        for (const auto& p : m_plans) sum += p->footprint;
        return sum;
    };
    // Room for the new plan: the plans asked least recently go first.
    while (!m_plans.empty() && (m_plans.size() >= m_options.maxPlans ||
                                total() + plan->footprint > m_options.maxPlanBytes)) {
        m_plans.erase(std::min_element(
            m_plans.begin(), m_plans.end(),
            [](const auto& a, const auto& b) { return a->lastSeen < b->lastSeen; }));
    }
    if (plan->footprint > m_options.maxPlanBytes) return;
    FillLocked(*plan);
    m_plans.push_back(std::move(plan));
    m_anyPlan = true;
    while (m_workers.size() < m_options.workers) m_workers.emplace_back([this] { Work(); });
    m_changed.notify_all();
}

void AheadPlanner::Follow(const std::string& hostPort) {
    if (!m_anyPlan.load(std::memory_order_relaxed)) return;
    std::lock_guard lock(m_mutex);
    const auto now = Clock::now();
    ExpireLocked(now);
    bool moved = false;
    for (const auto& plan : m_plans) {
        const auto at =
            std::find_if(plan->window.begin(), plan->window.end(),
                         [&](const Slot& slot) { return slot.site.hostPort == hostPort; });
        if (at == plan->window.end()) continue;
        plan->lastSeen = now;
        if (at == plan->window.begin() && plan->followed) continue;
        plan->window.erase(plan->window.begin(), at);
        plan->followed = true;
        FillLocked(*plan);
        moved = true;
    }
    if (moved) m_changed.notify_all();
}

void AheadPlanner::FillLocked(Plan& plan) {
    // The host the program is at, and the next windowHosts after it.
    const std::size_t want = m_options.windowHosts + (plan.followed ? 1 : 0);
    while (plan.window.size() < want && plan.scanned < plan.plan.Size()) {
        auto site = ParseSiteAddress(plan.plan.Address(plan.scanned++));
        if (site) plan.window.push_back(Slot{std::move(*site), 0});
    }
}

void AheadPlanner::ExpireLocked(Clock::time_point now) {
    std::erase_if(m_plans, [&](const auto& p) { return p->lastSeen + m_options.idle <= now; });
    m_anyPlan = !m_plans.empty();
}

std::optional<AheadPlanner::Job> AheadPlanner::PickLocked() {
    for (std::size_t turn = 0; turn < m_plans.size(); ++turn) {
        Plan& plan = *m_plans[(m_nextPlan + turn) % m_plans.size()];
        for (Slot& slot : plan.window) {
            for (std::size_t k = 0; k < plan.kinds.size(); ++k) {
                const std::uint32_t bit = 1u << k;
                const void* lane = plan.kinds[k].lane;
                if ((slot.dispatched & bit) != 0) continue;
                if (lane != nullptr && m_busyLanes.contains(lane)) continue;
                slot.dispatched |= bit;
                if (lane != nullptr) m_busyLanes.insert(lane);
                m_nextPlan = (m_nextPlan + turn + 1) % m_plans.size();
                return Job{plan.kinds[k].kind, slot.site, lane};
            }
        }
    }
    return std::nullopt;
}

void AheadPlanner::Work() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        auto job = PickLocked();
        if (!job) {
            // Waking now and then lets plans whose requests stopped expire.
            m_changed.wait_for(lock, m_options.idle);
            ExpireLocked(Clock::now());
            continue;
        }
        lock.unlock();
        try {
            m_prepare(job->kind, job->site);
        } catch (...) {
            // Work ahead is a hint: its failure leaves the lookup to the request itself.
        }
        lock.lock();
        if (job->lane != nullptr) {
            m_busyLanes.erase(job->lane);
            m_changed.notify_all();
        }
    }
}
