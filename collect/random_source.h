// The program's one pseudo-random generator: seeded once, drawn from by the column sorts on any thread.
#pragma once

namespace corvelle::collect {

// Restarts the generator from seed. The main window seeds it from the clock when it is created.
void seedRandom(unsigned int seed);

// A pseudo-random integer drawn uniformly from the closed range [a, b]; the ends may come in either order.
[[nodiscard]] int drawBetween(int a, int b);

}  // namespace corvelle::collect
