#pragma once
// The generator behind RAND: a 24-bit linear congruential sequence giving single-precision
// numbers in [0, 1).

namespace ov {

// r omitted or > 0: the next number; r = 0: the last number again; r < 0: restarts the
// sequence from a seed derived from r and returns its first number (the same r always
// gives the same number).
double NextRandom(bool hasArgument, double r);

} // namespace ov
