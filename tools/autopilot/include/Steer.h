// Steer.h -- one grid move played as held keys, decided frame by frame from
// the positions the rules library reports. Shared by the autopilot, which
// records the keys, and the game's click-to-walk, which holds them for the
// player.
//
// A move first re-centres the player across its way (tapping the keys across
// it, so corridors one cell wide stay wide), then holds the key along it until
// the player (or, for a push, the box) rests on the next cell. Before a push
// into water it makes sure the player will trail the box far enough not to
// touch the water, nudging it with view turns when float error says otherwise.
// The keys are for the key mapping without view turns by arrows (Keys3D off),
// chosen for the player's facing.
#pragma once
#include <cstdint>
#include <string>

#include "Recording.h"
#include "game.h"

namespace Autopilot {

struct TMove {
  int Dx = 0, Dy = 0;  // one of (0,1) u, (0,-1) d, (-1,0) l, (1,0) r
  bool Push = false;
  char Letter = 'u';
};

// A body's cell: the one its centre lies in.
struct TGridCell {
  int X = 0, Y = 0;
  bool operator==(const TGridCell &) const = default;
};
TGridCell CellOfBox(const TBox &Box);

// World directions, numbered as the player's facing: 0 = +y, 1 = +x, 2 = -y, 3 = -x.
int Heading(int Dx, int Dy);
// The key that moves the player towards Heading with Keys3D off.
TKeys KeyFor(int Heading);

struct TSteerNext {
  enum TWhat { Hold, Finished } What = Hold;
  TKeys Keys = 0;   // Hold: the keys for the next frame
  std::string Why;  // Finished: empty when the move was made, else why it cannot be
};

class TMoveSteer {
public:
  // Reads the player's cell now: the move starts there.
  explicit TMoveSteer(const TMove &Move);

  // What to do for the next frame. While a view turn is under way the keys
  // are not read; Next need not be asked then.
  TSteerNext Next();

private:
  enum class TPhase { Check, Recentre, LineUp, Nudge, Travel, Done };
  TSteerNext Check();
  TSteerNext Recentre();
  TSteerNext LineUp();
  TSteerNext LineUpCheck();
  TSteerNext Nudge();
  TSteerNext Walk();
  TSteerNext Push();
  TSteerNext Hold(TKeys Keys);
  TSteerNext Arrived();              // the move is made
  TSteerNext Fail(std::string Why);  // it cannot be; Why says so
  double Trailing() const;

  TMove Move;
  TGridCell From, To, Beyond;
  int32_t Box = -1;      // the pushed box's object index
  TPhase Phase = TPhase::Check;
  TKeys Key = 0;         // along the move
  int Frames = 0;        // of this phase
  bool Held = false;     // a key was held last frame: it must have moved something
  TBox PlayerBefore{}, BoxBefore{};
  int Nudges = 0;        // made while lining up for water
  int Turns[2] = {};     // of the nudge under way, in quarters, in order
  int TurnCount = 0, TurnsDone = 0;
  int TurnWait = 0;      // frames waited for the turn under way
};

}  // namespace Autopilot
