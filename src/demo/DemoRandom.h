// The demo generator's own random numbers: splitmix64, so that one seed gives the same
// installation on every platform and standard library (std::uniform_*_distribution
// differs between implementations).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace dx::demo {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}

    // A stream for one purpose (one project, one table), independent of how many
    // numbers the other streams drew.
    static Random derived(uint64_t seed, uint64_t purpose)
    {
        Random r(seed * 0x9E3779B97F4A7C15ull + purpose * 0xD1B54A32D192ED03ull + 1);
        r.next();
        return r;
    }

    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Whole number in [lo, hi] (both included).
    int between(int lo, int hi)
    {
        if (hi <= lo) return lo;
        uint64_t span = uint64_t(int64_t(hi) - lo) + 1;
        return int(lo + int64_t(next() % span));
    }

    // True with the given chance in percent.
    bool percent(int p) { return between(0, 99) < p; }

    // Real number in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

    template <class T>
    const T &pick(const std::vector<T> &items) { return items[size_t(between(0, int(items.size()) - 1))]; }

    // Index chosen by integer weights.
    size_t weighted(const std::vector<int> &weights)
    {
        int total = 0;
        for (int w : weights) total += w;
        int r = between(0, total - 1);
        for (size_t i = 0; i < weights.size(); ++i) {
            if (r < weights[i]) return i;
            r -= weights[i];
        }
        return weights.size() - 1;
    }

private:
    uint64_t state_;
};

} // namespace dx::demo
