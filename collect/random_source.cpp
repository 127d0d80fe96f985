// The program's one pseudo-random generator, guarded so that sorts on several threads may draw from it.
#include "collect/random_source.h"

#include <mutex>
#include <random>
#include <utility>

namespace corvelle::collect {

namespace {

struct Generator {
    std::mutex mutex;
    std::mt19937 engine;  // default-seeded until the window seeds it
};

Generator& generator()
{
    static Generator instance;
    return instance;
}

}  // namespace

void seedRandom(unsigned int seed)
{
    Generator& g = generator();
    const std::lock_guard lock(g.mutex);
    g.engine.seed(seed);
}

int drawBetween(int a, int b)
{
    if (b < a)
        std::swap(a, b);
    std::uniform_int_distribution<int> distribution(a, b);
    Generator& g = generator();
    const std::lock_guard lock(g.mutex);
    return distribution(g.engine);
}

}  // namespace corvelle::collect
