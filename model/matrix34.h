// Twelve-float affine matrix: the one 3D type of the game.
#pragma once

struct Matrix34 {
    // Rows: (m0 m1 m2 m3), (m4 m5 m6 m7), (m8 m9 m10 m11); m3, m7, m11 translate.
    float m[12];

    void SetIdentity();
    // Angles in degrees. Each rotation acts on a point before what the matrix held.
    void RotateX(double degrees);
    void RotateY(double degrees);
    void RotateZ(double degrees);
    // Every product and sum rounds to float, in this order; -ffp-contract=off keeps it so.
    // Inline: projection runs them for every vertex of every step.
    [[nodiscard]] float TransformX(float x, float y, float z) const {
        float t = m[0] * x;
        t = t + m[4] * y;
        t = t + m[8] * z;
        return t + m[3];
    }
    [[nodiscard]] float TransformY(float x, float y, float z) const {
        float t = m[1] * x;
        t = t + m[5] * y;
        t = t + m[9] * z;
        return t + m[7];
    }
    [[nodiscard]] float TransformZ(float x, float y, float z) const {
        float t = m[2] * x;
        t = t + m[6] * y;
        t = t + m[10] * z;
        return t + m[11];
    }
};

// 3.141592653589 / 180: not the exact pi / 180, and the difference shows in results.
constexpr double kRotateDegToRad = 0.01745329251993889;
