// STUB: state machine, frame logic and input, to be implemented.
#include "game/Stage2Engine.h"
void Stage2Engine::OnKeyDown(int) {}
void Stage2Engine::OnMouseDown(int, int, int) {}
void Stage2Engine::DoFrameLogic() { BaseEngine::DoFrameLogic(); }
void Stage2Engine::RunRound() {}
void Stage2Engine::EndRound() {}
void Stage2Engine::PulseSun() {}
void Stage2Engine::RefreshAfterPause() {}
void Stage2Engine::Repaint() { PaintBackground(); Redraw(true); }
