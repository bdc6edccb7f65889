// Replays. Every round is recorded as it is played: its start, each pass's
// time and input frames, and a digest of the round once a second. On the
// result screen v watches it again and s saves it; --replay FILE plays a
// saved one. Watching runs the recorded passes again as they were, fed by
// replay sources on both seats, checks every digest on the way, and then
// puts back the screen it left.
#include "game/OnlinePlay.h"
#include "game/ReplayWatch.h"
#include "game/Stage2Engine.h"
#include "objects/Character.h"

#include <SDL.h>
#include <cstdio>
#include <ctime>
#include <iterator>

using namespace GameData;

namespace
{
// Jumps start from the nearest of the snapshots taken this many passes
// apart while watching.
constexpr size_t kSnapshotInterval = 64;
// Passes recorded without growing the list: more than a round has.
constexpr size_t kPassesReserved = 8192;
} // namespace

uint64_t Stage2Engine::RoundDigest() const
{
    StateBytes round;
    SaveWorld(round);
    return Digest(round);
}

void Stage2Engine::BeginRecording()
{
    m_recording = std::make_shared<Replay>();
    m_recording->start = static_cast<const RoundState&>(*this);
    m_recording->startDigest = RoundDigest();
    m_recording->passes.reserve(kPassesReserved);
    for (int seat = 0; seat < 2; ++seat)
        m_recording->seats[seat] = m_seatChoices[seat];
}

void Stage2Engine::NoteRecordingStart()
{
    // A frame drawn since the start shows in where the objects were last
    // drawn, which the first pass reads.
    const uint64_t now = RoundDigest();
    m_recording->drawnBeforeFirstPass = now != m_recording->startDigest;
    m_recording->startDigest = now;
}

void Stage2Engine::RunRecordedPass(const RoundPass& pass)
{
    if (m_recording && m_recording->passes.empty())
        NoteRecordingStart();
    RunPass(pass);
    if (m_recording)
        RecordPass(pass);
}

// Online, a pass may run again after a rollback, and is recorded only once
// its frames are known, so a checkpoint's digest is taken as it runs, after
// each run. Online passes are exactly a logic interval apart, the first at
// a whole second.
void Stage2Engine::NoteOnlineCheckpoint(int time, bool& checkpoint, uint64_t& digest) const
{
    checkpoint = time % 1000 < kLogicIntervalMs || m_state == RoundOver;
    digest = checkpoint ? RoundDigest() : 0;
}

// The kept passes below confirmed that are not recorded yet.
void Stage2Engine::RecordOnlinePasses(uint32_t confirmed)
{
    const OnlinePlay& play = *m_onlinePlay;
    Replay& replay = *m_recording;
    for (size_t pass = replay.passes.size(); pass < confirmed && pass >= play.firstKept; ++pass)
    {
        const OnlinePlay::Record& record = play.records[pass - play.firstKept];
        replay.passes.push_back(record.pass);
        if (record.checkpoint)
            replay.digests.push_back(record.digest);
    }
}

void Stage2Engine::RecordPass(const RoundPass& pass)
{
    Replay& replay = *m_recording;
    replay.passes.push_back(pass);
    // The pass that ends the round is the last, and always checked.
    if (Replay::StartsASecond(replay.passes, replay.passes.size() - 1) || m_state == RoundOver)
        replay.digests.push_back(RoundDigest());
}

bool Stage2Engine::WatchReplay(std::shared_ptr<const Replay> replay)
{
    if (m_watch || !replay || replay->passes.empty())
        return false;
    auto watch = std::make_unique<ReplayWatch>();
    watch->replay = replay;
    watch->left = static_cast<const RoundState&>(*this);
    if (m_state == RoundOver)
        SaveRound(watch->leftRound);
    for (int seat = 0; seat < 2; ++seat)
    {
        watch->sources[seat] = std::move(m_seatSources[seat]);
        auto source = std::make_unique<ReplayInput>(replay, seat + 1);
        if (seat == 0)
            watch->cursor = source.get();
        m_seatSources[seat] = std::move(source);
    }
    int digests = 0;
    for (size_t i = 0; i < replay->passes.size(); ++i)
        watch->digestAfter.push_back(replay->IsCheckpoint(i) ? digests++ : -1);
    m_watch = std::move(watch);

    // The round's start, built the normal way from its round state.
    static_cast<RoundState&>(*this) = replay->start;
    m_tileMap.SetDaytime(m_daytime);
    CreateObjects();
    if (replay->drawnBeforeFirstPass)
        NoteFrameDrawn();
    if (static_cast<size_t>(digests) != replay->digests.size() || RoundDigest() != replay->startDigest)
    {
        StopWatching("the replay does not start here as it was recorded (this game's data differ)");
        return false;
    }
    SaveRound(m_watch->snapshots[0]);
    RepaintWithSun();
    FollowWithMusic();
    return true;
}

size_t Stage2Engine::GetWatchedPass() const { return m_watch ? m_watch->cursor->Next() : 0; }

void Stage2Engine::StopWatching(const std::string& problem)
{
    const std::unique_ptr<ReplayWatch> watch = std::move(m_watch);
    m_replayMessage.clear();
    for (int seat = 0; seat < 2; ++seat)
        m_seatSources[seat] = std::move(watch->sources[seat]);
    static_cast<RoundState&>(*this) = watch->left;
    m_tileMap.SetDaytime(m_daytime);
    if (m_state == RoundOver)
    {
        CreateObjects();
        RestoreRound(watch->leftRound);
        FollowWithMusic();
    }
    else
    {
        ReturnToMainMenu();
    }
    if (!problem.empty())
    {
        std::fprintf(stderr, "skirmora: %s\n", problem.c_str());
        ShowReplayMessage("Replay stopped");
    }
}

// Runs the replay's next pass; false when the round went out of step with
// the recording, which stops the watching.
bool Stage2Engine::WatchPass(bool silent)
{
    ReplayWatch& watch = *m_watch;
    const Replay& replay = *watch.replay;
    const size_t index = watch.cursor->Next();
    if (index % kSnapshotInterval == 0 && !watch.snapshots.count(index))
        SaveRound(watch.snapshots[index]);
    const bool wasOut[2] = {m_player1->IsOutOfArena(), m_player2->IsOutOfArena()};
    RoundPass pass;
    pass.time = replay.passes[index].time;
    for (int seat = 0; seat < 2; ++seat)
        pass.seats[seat] = m_seatSources[seat]->NextFrame();
    RunPass(pass, silent);
    if (index == watch.scanned)
    {
        if ((!wasOut[0] && m_player1->IsOutOfArena()) || (!wasOut[1] && m_player2->IsOutOfArena()))
            watch.ringOuts.push_back(index);
        ++watch.scanned;
    }
    const int digest = watch.digestAfter[index];
    if (digest >= 0 && RoundDigest() != replay.digests[static_cast<size_t>(digest)])
    {
        StopWatching("the replay went out of step with the game with " + ClockText(m_secondsLeft) +
                     " left on the clock, and was stopped");
        return false;
    }
    return true;
}

bool Stage2Engine::WatchFrameLogic()
{
    if (!m_replayMessage.empty() && m_frameTick >= m_replayMessageUntil)
    {
        m_replayMessage.clear();
        Redraw(true);
    }
    if (!m_watch || m_watch->paused)
        return m_watch != nullptr;
    m_watch->fast = FastForwardHeld();
    const int passes = m_watch->fast ? kFastForwardPasses : 1;
    bool whole = passes > 1;
    for (int i = 0; i < passes; ++i)
    {
        const size_t index = m_watch->cursor->Next();
        if (index == 0)
        {
            // The first pass sees the round as it began, not as the
            // watching's own first frame left it.
            LoadRound(m_watch->snapshots[0]);
            whole = true;
        }
        else if (i > 0)
        {
            NoteFrameDrawn(); // as if each pass had its frame
        }
        if (!WatchPass(false))
            return true;
        if (index + 1 == m_watch->replay->passes.size())
        {
            StopWatching("");
            return true;
        }
    }
    if (whole)
        Redraw(true);
    return true;
}

void Stage2Engine::JumpToNextRingOut()
{
    ReplayWatch& watch = *m_watch;
    const std::vector<RoundPass>& passes = watch.replay->passes;
    const size_t now = watch.cursor->Next();
    // Watching resumes at the first pass of the last few seconds before a
    // ring-out; the next ring-out is the first whose landing lies ahead.
    const auto landing = [&passes](size_t ringOut) {
        size_t pass = ringOut;
        while (pass > 0 && passes[pass - 1].time >= passes[ringOut].time - kRingOutLeadMs)
            --pass;
        return pass;
    };
    const auto nextLanding = [&] {
        for (const size_t ringOut : watch.ringOuts)
            if (landing(ringOut) > now)
                return landing(ringOut);
        return size_t{0};
    };
    size_t target = nextLanding();
    StateBytes here;
    SaveRound(here);
    if (!target && watch.scanned < passes.size())
    {
        // Not found yet: run on silently from the furthest pass reached.
        if (watch.scanned == 0)
            LoadRound(watch.snapshots[0]);
        else if (watch.scanned > now)
            LoadRound(watch.frontier);
        for (const size_t first = watch.scanned; !target && watch.scanned < passes.size();)
        {
            if (watch.scanned > first)
                NoteFrameDrawn();
            if (!WatchPass(true))
                return;
            target = nextLanding();
        }
        NoteFrameDrawn();
        SaveRound(watch.frontier);
    }
    if (!target)
    {
        LoadRound(here);
        ShowReplayMessage("No more ring-outs");
        return;
    }
    const auto from = std::prev(watch.snapshots.upper_bound(target));
    LoadRound(from->second);
    for (size_t pass = from->first; pass < target; ++pass)
    {
        if (pass > from->first)
            NoteFrameDrawn();
        if (!WatchPass(true))
            return;
    }
    // The next pass may run before the next frame is drawn.
    NoteFrameDrawn();
    RepaintWithSun();
}

void Stage2Engine::PauseWatching(bool paused)
{
    m_watch->paused = paused;
    PlayCue(paused ? "pause" : "resume");
    m_sound.PlayMusic(kRoundMusic, paused ? kPausedMusicVolume : kMusicVolume);
    Redraw(false);
}

bool Stage2Engine::FastForwardHeld() const
{
    if (IsKeyPressed(kFastForwardKey))
        return true;
    for (int seat = 1; seat <= 2; ++seat)
        if (const int pad = m_padControls.PadOf(seat);
            pad >= 0 && (m_pads.IsButtonPressed(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) ||
                         m_pads.IsButtonPressed(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)))
            return true;
    return false;
}

// True when the key was the replay's: v and s on the result screen, and
// every key but m while watching. A key held from the round repeats, and
// only a fresh press counts.
bool Stage2Engine::OnReplayKey(int keyCode)
{
    if (!m_watch)
    {
        // Online, watching would leave the screens the two machines share;
        // saving is this machine's own.
        if (m_state != RoundOver || !m_recording || IsKeyRepeat() || (m_online && keyCode == kWatchKey))
            return false;
        if (keyCode == kWatchKey)
            WatchReplay(m_recording);
        else if (keyCode == kSaveReplayKey)
            SaveRecording();
        return keyCode == kWatchKey || keyCode == kSaveReplayKey;
    }
    if (keyCode == kMuteKey || VolumeStep(keyCode))
        return false;
    if (IsKeyRepeat())
        return true;
    if (keyCode == kPauseKey)
        PauseWatching(!m_watch->paused);
    else if (keyCode == kNextRingOutKey)
        JumpToNextRingOut();
    else if (keyCode == kWatchKey || keyCode == kQuitKey)
        StopWatching("");
    return true;
}

// On the result screen Y watches and X saves; while watching Start pauses,
// Y jumps to the next ring-out, and B or Back return.
bool Stage2Engine::OnReplayPadButton(int button)
{
    if (!m_watch)
        return (button == SDL_CONTROLLER_BUTTON_Y && OnReplayKey(kWatchKey)) ||
               (button == SDL_CONTROLLER_BUTTON_X && OnReplayKey(kSaveReplayKey));
    if (button == SDL_CONTROLLER_BUTTON_START)
        OnReplayKey(kPauseKey);
    else if (button == SDL_CONTROLLER_BUTTON_Y)
        OnReplayKey(kNextRingOutKey);
    else if (button == SDL_CONTROLLER_BUTTON_B || button == SDL_CONTROLLER_BUTTON_BACK)
        OnReplayKey(kWatchKey);
    return true;
}

void Stage2Engine::SaveRecording()
{
    std::string path;
    std::string why;
    if (m_recording->Save(std::time(nullptr), path, why))
    {
        std::fprintf(stderr, "Replay saved to %s\n", path.c_str());
        ShowReplayMessage("Replay saved");
    }
    else
    {
        std::fprintf(stderr, "skirmora: the replay was not saved: %s\n", why.c_str());
        ShowReplayMessage("Replay not saved");
    }
}

void Stage2Engine::ShowReplayMessage(const std::string& message)
{
    m_replayMessage = message;
    m_replayMessageUntil = m_frameTick + kReplayMessageMs;
    Redraw(true);
}

// In the HUD's strip, which the HUD restores every frame.
void Stage2Engine::DrawReplayLabel()
{
    if (!m_watch)
        return;
    const char* label = m_watch->paused ? "Replay paused" : m_watch->fast ? "Replay x4" : "Replay";
    if (!m_replayMessage.empty())
        label = m_replayMessage.c_str();
    DrawString(kReplayLabelText.x, kReplayLabelText.y, label, kCyan);
}

// Over the objects, like the result screen's lines; a whole redraw wipes it.
void Stage2Engine::DrawReplayMessage()
{
    if (!m_watch && !m_replayMessage.empty())
        DrawString(kReplayMessageText.x, kReplayMessageText.y, m_replayMessage.c_str(), kCyan);
}
