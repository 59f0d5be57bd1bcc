// Kestrove.h -- the launcher: the process-wide state of the program and its
// entry points. The program is this library plus a main() that calls
// KestroveMain; tests link the same library against stand-ins for the window
// system and the renderer and drive it pass by pass or frame by frame.
//
// Everything here exists once per process and is touched only from the main
// thread (the window procedure runs on it too).
#pragma once
#include <cstdint>
#include "Conf.h"
#include "Veltrane.h"
#include "game.h"
#include "graph.h"
#include "winapi.h"

// Launcher state.
extern TConf *Config;               // the configuration store, reloaded from "config.ini" every pass
extern TVeltraneEngine *Engine;     // the window; made by the first pass, kept across restarts
extern uint8_t KeyState[256];       // by virtual-key code: 1 while down; entry 1 is the left button
extern TMousePos MousePos;          // the pointer, written at the start of every frame
extern bool QuitFlag, RestartFlag;  // end the main loop / run the pass again after it
extern TSettings Settings;          // the settings in force for this pass
extern TSettings EditSettings;      // the copy the settings page edits
extern TMaps MapList;               // the map sets, refilled every pass
extern int32_t ScreenWidth, ScreenHeight, ScreenBits, ScreenFreq; // picked from the tables every pass
extern const TDisplayMode DisplayModes[8];
extern const int32_t Frequencies[11];

// The temporary save that carries the game across a restart.
inline constexpr const char *RestartSaveWrite = "Temp.Dat";
inline constexpr const char *RestartSaveRead = "Temp.DAT";
inline constexpr const char *WindowCaption = "Veltrane Kestrove";
inline constexpr const char *ErrorCaption = "Error";  // of every box that reports a failure

// Entry points.
void ProcessFrame();                 // one frame: input, rules and drawing for the current screen
void SaveSettings();                 // writes EditSettings' six keys and the volumes into Config and Config to "Config.INI"
LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam); // records keys, button, timer, close
void RunPass();                      // BeginPass, RunMainLoop, EndPass
int KestroveMain();                  // fatal errors routed, passes until no restart is asked, shut-down; the exit code

// The pieces of a pass, for tests that drive frames themselves.
void BeginPass();                    // configuration, game, window, display, timer, renderer, hidden pointer
void RunMainLoop();                  // one message and one frame per iteration until QuitFlag
void EndPass();                      // renderer released, display restored
void ShutDown();                     // engine, map list, cube effect and game released; Config freed

// Tests only: frees what a previous run left (engine object, map list, store) and
// puts every variable back to its value at program start.
void ResetLauncherState();
