// int_math.h - the integer semantics of the renderer, written once.
//
// Geometry is signed 32-bit two's-complement arithmetic that is allowed to
// wrap, exactly as the 32-bit x86 instructions do. Signed overflow is
// undefined in C++, so every sum, difference and product that can wrap goes
// through these helpers, which compute in unsigned arithmetic and convert
// back (modulo 2^32). Divisions truncate toward zero and remainders take the
// dividend's sign, as C++'s own operators do; the one quotient that does not
// fit (INT32_MIN / -1) wraps to INT32_MIN instead of faulting.
#pragma once

#include <cmath>
#include <cstdint>

// Fixed-point formats used across the renderer.
using fixed8 = int32_t;    // texture coordinates in a span: 8 fractional bits
using fixed16 = uint32_t;  // image scaling accumulators: 16 fractional bits
using scale11 = int32_t;   // worldScale: 2048 = 1.0

inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

inline int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

inline int32_t WrapNeg(int32_t a) { return WrapSub(0, a); }

// Quotient truncated toward zero. The divisor must not be 0.
inline int32_t TruncDiv(int32_t a, int32_t b) {
  if (b == -1) return WrapNeg(a);  // INT32_MIN / -1 wraps back to INT32_MIN
  return a / b;
}

// Remainder with the dividend's sign. The divisor must not be 0.
inline int32_t TruncRem(int32_t a, int32_t b) {
  if (b == -1) return 0;
  return a % b;
}

// Arithmetic shift right: the sign is kept, so negative values move toward
// minus infinity (-613 * 1600 >> 11 is -479).
inline int32_t ShiftRightArith(int32_t a, int bits) {
  return a >= 0 ? (a >> bits) : static_cast<int32_t>(~(~static_cast<uint32_t>(a) >> bits));
}

// Double to int32 as the x86 conversion instruction does it: truncation
// toward zero, and the "integer indefinite" INT32_MIN for NaN and for every
// value outside the 32-bit range.
inline int32_t DoubleToInt32(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Row length of an 8-bit bitmap: width rounded up to a multiple of 4.
inline int32_t StrideOf(int32_t width) { return static_cast<int32_t>((static_cast<uint32_t>(width) + 3u) & ~3u); }

inline int32_t ReadLe32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline void WriteLe32(uint8_t* p, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

inline void WriteLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
