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
    [[nodiscard]] float TransformX(float x, float y, float z) const;
    [[nodiscard]] float TransformY(float x, float y, float z) const;
    [[nodiscard]] float TransformZ(float x, float y, float z) const;
};

// 3.141592653589 / 180: not the exact pi / 180, and the difference shows in results.
constexpr double kRotateDegToRad = 0.01745329251993889;
