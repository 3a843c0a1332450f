#pragma once
// Sine and cosine rounded correctly to the nearest double, from nothing but
// IEEE additions, multiplications and divisions, so every machine and every
// C library gives the same bits. (C libraries' own sin and cos differ in the
// last bit here and there.) For the arguments the demo uses, 0 to 2 pi, they
// equal what glibc's sin and cos give; the tests check every one of them.
namespace tolvarin {

double exactSin(double x);
double exactCos(double x);

}  // namespace tolvarin
