// Sound.h -- what the player hears. The audio device opens with the first pass
// and stays open across restarts, as the window does, so the music plays on
// through Apply. Each pass reads the sounds and volumes from config.ini. The
// effects of play are inferred from what the frame driver reads each rule
// frame; nothing here calls the rules library.
#pragma once
#include <climits>
#include <cstdint>
#include <functional>

#include "SoundKit.h"
#include "game.h"
#include "graph.h"

inline constexpr unsigned VK_MUTE = 0x4D;  // M: mutes and unmutes
inline constexpr TVolumes DefaultVolumes = {8, 3};

extern TVolumes Volumes;      // in force for this pass, from "SoundVolume" and "MusicVolume"
extern TVolumes EditVolumes;  // the copy the settings page edits

// Every pass, after config.ini is read: opens the device once (no device: one
// line on stderr, the game silent), loads each sound its key names (a file
// that does not read: one line on stderr, once, and that sound silent), sets
// the volumes and starts the music if it changed.
void BeginSound();
// At shut-down: the device closed, every sound let go.
void EndSound();
// Apply: EditVolumes into Config, for the next pass to read.
void SaveVolumes();

// An effect at a place of the level (nullptr: from the player), panned by
// where that lies across the view.
void PlaySound(sound::ESound Sound, const TBox *Where = nullptr);
// Every frame, the M key: going down, it mutes or unmutes.
void HearMuteKey(bool Down);
// The menu or chooser item under the pointer (NoItemUnder: none): a click as
// the pointer comes onto another item.
inline constexpr int32_t NoItemUnder = INT32_MIN;
void HearItemUnder(int32_t Item);
// On the settings page, the left button: a click as it goes down.
void HearButton(bool Down);
// The presses on a menu, chooser or settings screen: a click for those of a
// frame that had any. Gives them back.
template <class TKeys> const TKeys &HearScreenKeys(const TKeys &Presses)
{
  if (!Presses.empty()) PlaySound(sound::ESound::Click);
  return Presses;
}

// What the frame driver read, for the effects of play: the view's angle
// whenever read, and after each rule frame the player and the objects, whether
// a move key was acted on and whether a quarter turn began.
void HearView(float Angle);
void HearRuleFrame(const TPlayer &Moved, const TObjArray &Objects, bool MoveTried, bool TurnStarted);
// Out of play: the next rule frame starts afresh.
void ForgetHeardPlay();

// Tests: sees every effect asked for, with its pan.
void SetSoundObserver(std::function<void(sound::ESound, float Pan)> Observer);
int64_t SoundUnderruns();  // buffers the device got late since it opened
void ForgetSound();        // back to the state at program start, the device closed
