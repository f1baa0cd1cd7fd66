// Turn choice: screen directions and the angle arithmetic the drag code shares. The choice
// itself (ChooseTurnFromFace, ChooseTurnFromChamfer, ChooseCubeTurn, SelectTurnFace, ShowTurn,
// AbsorbCubeRotation) is a set of PuzzleGame methods, declared with the class.
#pragma once

float AngleDiff(float a, float b);
float AbsAngleDiff(float a, float b);
// Screen direction of (right, up) in degrees: double atan2, float factor, narrowed once.
float ScreenAngle(double right, double up);
