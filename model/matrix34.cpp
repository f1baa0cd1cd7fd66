#include "model/matrix34.h"

#include "platform/crt_math.h"

namespace {

// Mixes rows p and q (all four columns, translation included) in double, rounding once.
void MixRows(float* m, int p, int q, double degrees) {
    const double a = degrees * kRotateDegToRad;
    double s = 0.0;
    double c = 0.0;
    CrtSinCos(a, &s, &c);
    for (int i = 0; i < 4; ++i) {
        const double pv = static_cast<double>(m[p * 4 + i]);
        const double qv = static_cast<double>(m[q * 4 + i]);
        m[p * 4 + i] = static_cast<float>(pv * c - qv * s);
        m[q * 4 + i] = static_cast<float>(qv * c + pv * s);
    }
}

}  // namespace

void Matrix34::SetIdentity() {
    for (float& v : m) {
        v = 0.0F;
    }
    m[0] = 1.0F;
    m[5] = 1.0F;
    m[10] = 1.0F;
}

void Matrix34::RotateX(double degrees) {
    MixRows(m, 2, 1, degrees);
}
void Matrix34::RotateY(double degrees) {
    MixRows(m, 2, 0, degrees);
}
void Matrix34::RotateZ(double degrees) {
    MixRows(m, 0, 1, degrees);
}
