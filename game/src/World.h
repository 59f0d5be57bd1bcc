// World.h -- the library's one world and its internal rules, shared by the
// library's sources (and reachable by its tests through the core objects).
#pragma once
#include "game.h"

#include <cstdint>
#include <string>
#include <vector>

namespace world {

extern std::vector<TGameObject> Objects;
extern TPlayer Player;
extern TFieldSize FieldSize;
extern int32_t LevelIndex;
extern int32_t LevelCount;
extern std::string LevelFile;
extern float RotateAngle;
extern float CurrAngle;
extern float RotateStep;
extern uint8_t GameState;
using TObjectHandler = void (*)(int32_t Index);
extern TObjectHandler PlayerObjectHandler;

// Empties the objects and gives their storage back.
void ReleaseObjects();

// Files the objects afresh where the rules look them up. The loaders call it;
// so must any other code that changes objects in place, outside the rules.
void ReindexObjects();

} // namespace world

// Box predicates: corner tests with inclusive bounds.
void MakePoint(TPoint3 &P, double X, double Y, double Z);
bool PointInBox(TPoint3 P, TBox B);
bool BoxesIntersect(TBox A, TBox B);
bool BoxesIntersectInset(TBox A, TBox B, float M);
bool BoxesNested(TBox A, TBox B);
// The margin by which a box must reach into a destination to stand on it.
constexpr float TargetInset = 0.5f;

// Rules of play.
void ProcessPlayerObject(int32_t A);
void SettlePushedBox(int32_t A);
void InteractObjects(int32_t I, int32_t J);
int32_t CountBoxesOn(int32_t T);
// GameProcessPlayer as the rules read plainly: every object tested, in index
// order. The grid-guided frame must match it byte for byte; the tests compare.
void ProcessPlayerAgainstEveryObject();
