// EditorPanel.h -- the level editor's panel: kept by DrawEditorPanel, drawn by EndDraw.
#pragma once
#include "Renderer.h"

namespace graph {

void KeepEditorPanel(const char *const *Lines, int32_t Count);
void DrawKeptEditorPanel(Renderer &R);  // what was kept, once; nothing when nothing was

}  // namespace graph
