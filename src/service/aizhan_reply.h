#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

// A reply of the aizhan API store's site-weight calls (baidurank/siteinfos,
// sogourank/siteinfos):
//   {"code":200000,"status":"success","data":{"success":[{"domain":"a.com","pc_br":3,...}],
//    "count":1,"failed":[...]},"msg":"..."}
// Any other code is a refusal (bad key, no balance, ...); 100008 asks the caller to slow down.
struct AizhanReply {
    enum class Kind { kFigures, kRateLimited, kRefused, kBroken };
    Kind kind = Kind::kBroken;
    std::map<std::string, int, std::less<>> weights;  // lower-case domain: PC weight 0..10
    std::set<std::string, std::less<>> failed;        // domains the provider could not rate
};

inline constexpr long kAizhanSuccess = 200000;
inline constexpr long kAizhanRateLimited = 100008;

AizhanReply ReadAizhanReply(std::string_view json);
