// The C runtime's cos, sin, atan and atan2 for the core, the same bits on every build.
//
// Each C library rounds these differently: glibc, musl (the web build's) and Windows' runtimes
// disagree in the last bit on many of the core's inputs, and a last bit can move a pixel or a
// turn. These return the correctly rounded result, computed with double-double arithmetic
// from + - * / alone, which IEEE 754 rounds the same on every machine (with contraction off).
// sqrt and fabs need no stand-in: IEEE 754 fixes them exactly.
#pragma once

// Correctly rounded (the error bound of the evaluation is far below 2^-90 of the result) for
// |a| below 2^20 radians. Larger angles give the same bits everywhere, with less accuracy.
double CrtCos(double a);
double CrtSin(double a);
// Both at once, as CrtSin and CrtCos give them; either pointer may be null.
void CrtSinCos(double a, double* sinOut, double* cosOut);
// Correctly rounded for every finite x.
double CrtAtan(double x);
// Correctly rounded; zeros, infinities and NaN as C's atan2 treats them.
double CrtAtan2(double y, double x);
