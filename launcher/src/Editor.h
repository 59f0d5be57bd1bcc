// Editor.h -- the level editor, opened from the chooser: the level drawn as in
// play, painted with the mouse (number keys pick the tool, the right button
// erases, a drag paints a line), undo and redo, resizing on any side, a live
// panel with the counts and the solver's word, test play, and saving into the
// player's own set. While it is open it replaces the menu's frames.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>

// Keys of the chooser and the editor.
inline constexpr unsigned VK_EDIT = 0x45, VK_NEWLEVEL = 0x4E;              // E, N in the chooser
inline constexpr unsigned VK_TESTPLAY = 0x50, VK_SAVELEVEL = 0x53;         // P, S
inline constexpr unsigned VK_EDITTITLE = 0x54, VK_EDITAUTHOR = 0x41;       // T, A

// Opens the editor on level Index of a level file (a copy of it), or on a new room.
// False, with the reason shown, when the level cannot be read.
bool OpenEditorOn(const std::string &LevelFile, int32_t Index);
void OpenEditorOnNewLevel();

// The editor takes this frame: it is open, and no test play is under way.
bool EditorTakesFrame();
// One editor frame, between StartDraw and EndDraw, in place of the menu's.
void EditorFrame();

// Where the editor saves and where test play writes its level.
inline constexpr const char *EditorPlayFile = "editor-play.lvl";

// How long the solver may search before the panel says "Not known yet" (1.5 s at start).
void SetEditorSolveTime(std::chrono::milliseconds Time);

void ForgetEditor();  // closed, and its solver stopped: as at program start
