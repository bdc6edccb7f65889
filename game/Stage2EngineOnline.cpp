// Online play: two machines, one seat each, play one round. The menus are
// shared by messages (each player chooses on their own machine, the other
// waits), and a round runs with rollback: the other seat's frame is
// predicted until it arrives, and when it arrives different the round goes
// back to the snapshot before that pass and runs to the present again,
// silently. Local frames count a few passes late (the input delay), which
// hides most of the network's delay without rolling back at all.
#include "game/Stage2Engine.h"

#include "game/OnlinePlay.h"
#include "game/OnlineSession.h"
#include "objects/Character.h"

#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

using namespace GameData;
using namespace NetMessage;

namespace
{
// How far back a rollback may go; further behind than this, the round waits.
constexpr uint32_t kRollbackWindow = 10;
// Confirmed passes are compared by digest once every this many passes.
constexpr uint32_t kDigestEvery = 64;
// A notice stays on the screen this long.
constexpr int kNoticeMs = 4000;
// A round that waits this long for the other machine says so.
constexpr uint32_t kWaitShownMs = 300;

// The other machine's seat, whose frames arrive over the network: it never
// fills a frame here.
class RemoteInput final : public InputSource
{
public:
    InputFrame NextFrame() override { return InputFrame{}; }
};
} // namespace

Stage2Engine::OnlineFigures Stage2Engine::GetOnlineFigures() const
{
    OnlineFigures figures;
    if (m_onlinePlay)
    {
        figures.passes = m_onlinePlay->next;
        figures.rollbacks = m_onlinePlay->rollbacks;
        figures.passesRunAgain = m_onlinePlay->passesRunAgain;
        figures.deepestRollback = m_onlinePlay->deepest;
        figures.skipped = m_onlinePlay->skipped;
        figures.stalled = m_onlinePlay->stalled;
        figures.worstPassMs = m_onlinePlay->worstPassMs;
        figures.compared = m_onlinePlay->compared;
    }
    if (m_online)
    {
        figures.bytesSent = m_online->BytesSent();
        figures.bytesReceived = m_online->BytesReceived();
        figures.malformed = m_online->MalformedDropped();
    }
    return figures;
}

bool Stage2Engine::HostOnline(uint16_t port)
{
    std::string error;
    m_online = OnlineSession::Host(port, error);
    if (!m_online)
    {
        std::fprintf(stderr, "skirmora: cannot host: %s\n", error.c_str());
        return false;
    }
    // The port bound, which port 0 leaves to the system.
    std::fprintf(stderr, "skirmora: hosting on port %u, waiting for a player to join\n",
                 static_cast<unsigned>(m_online->Port()));
    Redraw(true);
    return true;
}

bool Stage2Engine::JoinOnline(const std::string& host, uint16_t port)
{
    std::string error;
    m_online = OnlineSession::Join(host, port, error);
    if (!m_online)
    {
        std::fprintf(stderr, "skirmora: cannot join: %s\n", error.c_str());
        return false;
    }
    ShowNotice("Joining " + host + ":" + std::to_string(port) + "...");
    return true;
}

bool Stage2Engine::IsOnline() const { return m_online != nullptr; }

bool Stage2Engine::IsOnlineReady() const { return m_online && m_online->IsReady(); }

uint16_t Stage2Engine::GetOnlinePort() const { return m_online ? m_online->Port() : 0; }

void Stage2Engine::ShowNotice(const std::string& text)
{
    m_notice = text;
    m_noticeUntil = static_cast<int>(SDL_GetTicks()) + kNoticeMs;
    Redraw(true);
}

void Stage2Engine::EndOnline(const std::string& why)
{
    if (!m_online)
        return;
    m_online->Leave();
    m_online.reset();
    m_onlinePlay.reset();
    std::fprintf(stderr, "skirmora: %s\n", why.c_str());
    ShowNotice(why);
    if (m_state != MainMenu)
        ReturnToMainMenu();
}

// Whether this machine's player makes the choice of the screen shown: each
// chooses their own fighter, the host the level.
bool Stage2Engine::MayChooseOnline() const
{
    if (!IsOnlineReady())
        return false;
    const int seat = m_online->LocalSeat();
    switch (m_state)
    {
    case SelectPlayer1:
        return seat == 1;
    case SelectPlayer2:
        return seat == 2;
    case SelectLevel:
        return seat == 1;
    default:
        return true;
    }
}

// A local click, key or pad press while online: done here only if this
// player may, and shared with the other machine when it changed the screen.
void Stage2Engine::ActOnline(bool choosing, const std::function<void()>& action)
{
    if (choosing && !MayChooseOnline())
        return;
    const GameState before = m_state;
    const int local = m_online->LocalSeat();
    const SeatChoice choice = GetSeatChoice(local);
    m_actingOnline = true;
    action();
    m_actingOnline = false;
    if (m_online && GetSeatChoice(local) != choice)
        m_online->Send(Menu{MenuStep::SeatKind, static_cast<uint8_t>(local),
                            static_cast<uint8_t>(GetSeatChoice(local))});
    if (m_online && m_state != before)
        ShareTransition(before);
}

void Stage2Engine::ShareTransition(GameState before)
{
    const auto seat = static_cast<uint8_t>(m_online->LocalSeat());
    if (before == MainMenu && m_state == SelectPlayer1)
        m_online->Send(Menu{MenuStep::Play, seat, 0});
    else if (before == SelectPlayer1 && m_state == SelectPlayer2)
        m_online->Send(Menu{MenuStep::Choose, 1, static_cast<uint8_t>(m_player1Character)});
    else if (before == SelectPlayer2 && m_state == SelectLevel)
        m_online->Send(Menu{MenuStep::Choose, 2, static_cast<uint8_t>(m_player2Character)});
    else if (before <= SelectLevel && m_state < before)
        m_online->Send(Menu{MenuStep::Back, seat, 0});
    else if (before == SelectLevel && m_state == Playing)
        StartOnlineRoundAsHost();
    else if ((before == Playing && m_state == Paused) || (before == Paused && m_state == Playing))
        m_online->Send(Pause{m_state == Paused});
    else if (before == Paused && m_state == MainMenu)
    {
        m_online->Send(Quit{});
        EndOnline("you left the online game");
    }
    else if (before == RoundOver && m_state == MainMenu)
        m_online->Send(Menu{MenuStep::Continue, seat, 0});
}

// This machine's seat is its player's, as chosen (a computer keeps the
// source the round's start gave it); the other seat's frames come over the
// network.
void Stage2Engine::SetOnlineSeats()
{
    const int local = m_online->LocalSeat();
    // A person online steers with either set of keys, either mouse button
    // and any pad.
    if (GetSeatChoice(local) == SeatChoice::Person)
        SetSeatSource(local, std::make_unique<LocalInput>(*this, m_pads, m_padControls, local, true));
    SetSeatSource(3 - local, std::make_unique<RemoteInput>());
}

void Stage2Engine::StartOnlineRoundAsHost()
{
    SetOnlineSeats();
    StateBytes world;
    SaveWorld(world);
    m_online->Send(RoundStart{static_cast<uint8_t>(m_level), world});
    BeginOnlineRound();
}

void Stage2Engine::BeginOnlineRound()
{
    m_onlinePlay = std::make_unique<OnlinePlay>();
    // Recorded from here: the guest's round is the host's from here on.
    BeginRecording();
    StateBytes world;
    SaveWorld(world);
    m_onlinePlay->worldSize = world.size();
    m_online->BeginRound();
    // Local frames count a few passes late: the first ones are empty.
    for (int pass = 0; pass < m_inputDelay; ++pass)
        m_online->SetLocalFrame(static_cast<uint32_t>(pass), InputFrame{});
}

void Stage2Engine::ServiceOnline()
{
    if (!m_notice.empty() && static_cast<int>(SDL_GetTicks()) >= m_noticeUntil)
    {
        m_notice.clear();
        Redraw(true);
    }
    if (!m_online)
        return;
    for (OnlineSession::Notice& notice : m_online->Service(SDL_GetTicks()))
    {
        switch (notice.kind)
        {
        case OnlineSession::Notice::Kind::PeerJoined:
            ShowNotice(m_online->LocalSeat() == 1 ? "A player joined: you are player 1"
                                                  : "Joined the host: you are player 2");
            std::fprintf(stderr, "skirmora: %s\n", notice.text.c_str());
            break;
        case OnlineSession::Notice::Kind::Intruder:
            std::fprintf(stderr, "skirmora: %s\n", notice.text.c_str());
            ShowNotice(notice.text);
            break;
        case OnlineSession::Notice::Kind::Refused:
        case OnlineSession::Notice::Kind::Lost:
            EndOnline(notice.text);
            return;
        case OnlineSession::Notice::Kind::Message:
            ApplyRemote(notice.message);
            if (!m_online)
                return;
            break;
        }
    }
}

void Stage2Engine::ApplyRemote(const Message& message)
{
    m_actingOnline = true;
    if (const auto* menu = std::get_if<Menu>(&message))
        ApplyRemoteMenu(*menu);
    else if (const auto* start = std::get_if<RoundStart>(&message))
        ApplyRoundStart(*start);
    else if (const auto* pause = std::get_if<Pause>(&message))
    {
        if ((m_state == Playing && pause->paused) || (m_state == Paused && !pause->paused))
            TogglePause();
    }
    else if (std::holds_alternative<Quit>(message))
    {
        m_actingOnline = false;
        EndOnline("the other player left the online game");
        return;
    }
    else if (const auto* digest = std::get_if<NetMessage::Digest>(&message))
    {
        if (m_onlinePlay)
            m_onlinePlay->theirDigests[digest->pass] = digest->digest;
    }
    else if (const auto* state = std::get_if<State>(&message))
        WriteOutOfSyncReport(state->pass, state->snapshot);
    m_actingOnline = false;
}

void Stage2Engine::ApplyRemoteMenu(const Menu& menu)
{
    switch (menu.step)
    {
    case MenuStep::Play:
        if (m_state == MainMenu)
            OnMouseDown(kLeftButton, 0, 0);
        break;
    case MenuStep::Choose:
        if (m_state == SelectPlayer1 + (menu.seat - 1))
        {
            m_highlight = menu.value;
            Confirm();
        }
        break;
    case MenuStep::Back:
        if (m_state >= SelectPlayer1 && m_state <= SelectLevel)
            GoBack();
        break;
    case MenuStep::Continue:
        if (m_state == RoundOver)
            ReturnToMainMenu();
        break;
    case MenuStep::SeatKind:
        // Only shown here: the other machine plays its own seat.
        SetSeatChoice(menu.seat, static_cast<SeatChoice>(menu.value));
        Repaint();
        break;
    }
}

void Stage2Engine::ApplyRoundStart(const RoundStart& start)
{
    if (m_state != SelectLevel || m_online->GetRole() != OnlineSession::Role::Guest)
        return;
    m_highlight = start.level;
    StartRound();
    // The host's start, its level grid and scores included, is the round's.
    if (!LoadWorld(start.snapshot))
    {
        EndOnline("the host's round does not fit this game");
        return;
    }
    SetOnlineSeats();
    Repaint();
    BeginOnlineRound();
}

RoundPass Stage2Engine::OnlinePassAt(uint32_t pass) const
{
    RoundPass made;
    // Exactly 15 ms a pass from the round's start, on both machines.
    made.time = m_roundStartSeconds * 1000 + static_cast<int>(pass) * kLogicIntervalMs;
    const int local = m_online->LocalSeat();
    made.seats[local - 1] = pass < m_online->LocalFramesKnown() ? m_online->LocalFrame(pass) : InputFrame{};
    made.seats[2 - local] = m_online->RemoteFrame(pass);
    return made;
}

// One tick of the round's logic: take what arrived (rolling back if a
// prediction was wrong), then run the next pass unless this machine is
// ahead or the other's frames are too far behind.
void Stage2Engine::OnlineTick()
{
    OnlinePlay& play = *m_onlinePlay;
    uint32_t arrived = 0;
    if (m_online->TakeFirstArrived(arrived))
        RollBackIfMispredicted(arrived);
    ConfirmPasses();
    if (!m_onlinePlay || m_state != Playing)
        return;

    const uint32_t remoteKnown = m_online->RemoteFramesKnown();
    // The end of the round is decided on known frames only.
    const bool endsRound = m_secondsLeft <= 0;
    if (play.next >= remoteKnown + kRollbackWindow || (endsRound && play.next > remoteKnown))
    {
        ++play.stalled;
        const uint32_t now = SDL_GetTicks();
        if (!play.waitingSince)
            play.waitingSince = now;
        if (!play.waitingShown && now - play.waitingSince >= kWaitShownMs)
        {
            play.waitingShown = true;
            Redraw(false); // the line saying so appears
        }
        m_online->SendInputs(play.next);
        return;
    }
    if (play.waitingShown)
        Redraw(true); // and goes
    play.waitingShown = false;
    play.waitingSince = 0;
    if (IsAheadOnline())
    {
        ++play.skipped;
        m_online->SendInputs(play.next);
        return;
    }

    const int local = m_online->LocalSeat();
    m_online->SetLocalFrame(play.next + static_cast<uint32_t>(m_inputDelay),
                            GetSeatSource(local).NextFrame());
    OnlinePlay::Record record;
    NoteFrameDrawn();
    SaveRound(record.before);
    record.pass = OnlinePassAt(play.next);
    if (play.records.empty())
        play.firstKept = play.next;
    play.records.push_back(std::move(record));
    if (play.next == 0)
        NoteRecordingStart();
    RunPass(play.records.back().pass);
    OnlinePlay::Record& ran = play.records.back();
    NoteOnlineCheckpoint(ran.pass.time, ran.checkpoint, ran.digest);
    if (m_state == RoundOver)
        RecordOnlinePasses(play.next + 1); // the end waits for every frame before it
    ++play.next;
    m_online->SendInputs(play.next);
}

// A tick's cost, rollback included, in this thread's processor time rather
// than the wall clock's, so that the machine's other work and the audio
// thread's mixing do not count.
void Stage2Engine::RunOnlineTick()
{
    const auto now = [] {
        timespec cpu{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        return static_cast<double>(cpu.tv_sec) * 1000.0 + static_cast<double>(cpu.tv_nsec) / 1e6;
    };
    const double started = now();
    OnlineTick();
    const double ms = now() - started;
    if (m_onlinePlay)
        m_onlinePlay->worstPassMs = std::max(m_onlinePlay->worstPassMs, ms);
}

// Ahead when, allowing for the network's delay, the other machine has run
// fewer passes: then a pass is left out now and then, and the other
// catches up without either waiting.
bool Stage2Engine::IsAheadOnline() const
{
    // Where the other machine is now, by what it last said, how long ago
    // that was, and the way over.
    const uint32_t since = SDL_GetTicks() - m_online->RemotePassHeardMs() + m_online->RoundTripMs() / 2;
    const uint32_t theirs = m_online->RemotePass() + since / kLogicIntervalMs;
    return m_onlinePlay->next >= theirs + 2;
}

void Stage2Engine::RollBackIfMispredicted(uint32_t arrived)
{
    OnlinePlay& play = *m_onlinePlay;
    const int remote = m_online->RemoteSeat() - 1;
    uint32_t from = play.next;
    for (uint32_t pass = std::max(arrived, play.firstKept); pass < play.next; ++pass)
        if (play.records[pass - play.firstKept].pass.seats[remote] != m_online->RemoteFrame(pass))
        {
            from = pass;
            break;
        }
    if (from == play.next)
        return;

    const uint32_t depth = play.next - from;
    const bool daytime = m_daytime;
    ++play.rollbacks;
    play.deepest = std::max(play.deepest, depth);
    play.passesRunAgain += depth;
    LoadRound(play.records[from - play.firstKept].before);
    for (uint32_t pass = from; pass < play.next; ++pass)
    {
        OnlinePlay::Record& record = play.records[pass - play.firstKept];
        if (pass > from)
        {
            NoteFrameDrawn();
            SaveRound(record.before);
        }
        record.pass = OnlinePassAt(pass);
        RunPass(record.pass, true);
        NoteOnlineCheckpoint(record.pass.time, record.checkpoint, record.digest);
    }
    // The present, as corrected, is shown whole; the background needs
    // painting again only if the sky changed.
    if (m_daytime != daytime)
        RepaintWithSun();
    else
        Redraw(true);
}

// Passes whose frames are all known are final: their records go, and now
// and then their digest is sent and compared with the other machine's.
void Stage2Engine::ConfirmPasses()
{
    OnlinePlay& play = *m_onlinePlay;
    const uint32_t confirmed = std::min(play.next, m_online->RemoteFramesKnown());
    RecordOnlinePasses(confirmed);
    while (!play.records.empty() && play.firstKept < confirmed)
    {
        if (play.firstKept % kDigestEvery == 0)
        {
            StateBytes world(play.records.front().before.begin(),
                             play.records.front().before.begin() + static_cast<long>(play.worldSize));
            const uint64_t digest = Digest(world);
            m_online->Send(NetMessage::Digest{play.firstKept, digest});
            play.ourDigests[play.firstKept] = {digest, std::move(world)};
        }
        play.records.pop_front();
        ++play.firstKept;
    }
    for (auto ours = play.ourDigests.begin(); ours != play.ourDigests.end();)
    {
        const auto theirs = play.theirDigests.find(ours->first);
        if (theirs == play.theirDigests.end())
        {
            ++ours;
            continue;
        }
        if (theirs->second != ours->second.first)
        {
            OutOfSync(ours->first, ours->second.second);
            return;
        }
        play.compared.emplace_back(ours->first, ours->second.first);
        play.theirDigests.erase(theirs);
        ours = play.ourDigests.erase(ours);
    }
}

// The two machines played the same passes to different rounds: both stop
// the round, and each writes both states for a bug report once the other's
// arrives.
void Stage2Engine::OutOfSync(uint32_t pass, const StateBytes& ours)
{
    m_online->Send(State{pass, ours});
    m_outOfSync = std::make_unique<OutOfSyncReport>(OutOfSyncReport{pass, ours, {}});
    if (!m_theirOutOfSyncState.empty() && m_theirOutOfSyncPass == pass)
        WriteOutOfSyncReport(pass, m_theirOutOfSyncState);
    std::fprintf(stderr, "skirmora: out of sync at pass %u\n", pass);
    ReturnToMainMenu();
    m_onlinePlay.reset();
    ShowNotice("out of sync");
}

void Stage2Engine::WriteOutOfSyncReport(uint32_t pass, const StateBytes& theirs)
{
    if (!m_outOfSync || m_outOfSync->pass != pass)
    {
        // Theirs came first: keep it for when ours is known.
        m_theirOutOfSyncPass = pass;
        m_theirOutOfSyncState = theirs;
        return;
    }
    namespace fs = std::filesystem;
    const fs::path data = UserDataFolder();
    if (data.empty())
    {
        std::fprintf(stderr,
                     "skirmora: neither XDG_DATA_HOME nor HOME names a folder to write the states to\n");
        m_outOfSync.reset();
        m_theirOutOfSyncState.clear();
        return;
    }
    const fs::path folder = data / "reports";
    std::error_code error;
    fs::create_directories(folder, error);
    const fs::path file = folder / ("out-of-sync-pass-" + std::to_string(pass) + "-player-" +
                                    std::to_string(m_online ? m_online->LocalSeat() : 0) + ".bin");
    std::ofstream out(file, std::ios::binary);
    // Both rounds' states before the pass: this machine's, then the other's.
    const auto write = [&out](const StateBytes& bytes) {
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        out.write(reinterpret_cast<const char*>(&size), sizeof size);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    out << "skirmora out of sync\n";
    write(m_outOfSync->ours);
    write(theirs);
    if (out)
        std::fprintf(stderr, "skirmora: both states written to %s\n", file.string().c_str());
    else
        std::fprintf(stderr, "skirmora: cannot write %s\n", file.string().c_str());
    m_outOfSync.reset();
    m_theirOutOfSyncState.clear();
}

// The online line at the foot of the screen: who is waiting for whom, or
// the last thing that happened, for a few seconds.
std::string Stage2Engine::OnlineLine() const
{
    if (!m_notice.empty() && static_cast<int>(SDL_GetTicks()) < m_noticeUntil)
        return m_notice;
    if (!m_online)
        return "";
    if (!m_online->IsReady())
        return m_online->GetRole() == OnlineSession::Role::Host
                   ? "Hosting on port " + std::to_string(m_online->Port()) + ": waiting for a player to join"
                   : "Joining...";
    if (!MayChooseOnline())
        return m_state == SelectLevel
                   ? "Waiting for player 1 to choose the level"
                   : "Waiting for player " + std::to_string(m_state == SelectPlayer1 ? 1 : 2) + " to choose";
    if (m_state == MainMenu)
        return "Online: you are player " + std::to_string(m_online->LocalSeat());
    if (m_state == Playing && m_onlinePlay && m_onlinePlay->waitingShown)
        return "Waiting for the other player...";
    return "";
}
