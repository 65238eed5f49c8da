#include "cli/card_job.h"

#include <unistd.h>

#include <csignal>
#include <iostream>

#include "base/card_opening.h"
#include "base/outcome_telling.h"
#include "common/messages.h"

namespace torvane::cli {

CLI::App* Group(CLI::App& app, const std::string& name, const std::string& description) {
    for (CLI::App* command : app.get_subcommands({})) {
        if (command->get_name() == name) return command;
    }
    return app.add_subcommand(name, description);
}

std::atomic<bool> interrupted{false};

namespace {
extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}
}  // namespace

InterruptCancels::InterruptCancels() {
    interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous_);
}

InterruptCancels::~InterruptCancels() {
    ::sigaction(SIGINT, &previous_, nullptr);
}

TerminalProgress::TerminalProgress(std::ostream& out) : out_(out), live_(::isatty(STDERR_FILENO)) {}

TerminalProgress::~TerminalProgress() {
    if (live_ && drawn_) std::cerr << '\n';
}

void TerminalProgress::OnProgress(const JobProgress& p) {
    // The job's last sentence is its outcome, which the command words itself.
    if (p.finished) return;
    if (!live_) {
        if (p.status != lastStatus_ && !p.status.empty()) {
            out_ << p.Sentence() << '\n';
            if (!p.subject.empty()) out_ << p.subject << '\n';
            out_ << std::flush;
        }
        lastStatus_ = p.status;
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (p.status == lastStatus_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastStatus_ = p.status;
    lastDraw_ = now;
    drawn_ = true;
    std::cerr << "\r\033[K" << p.Sentence() << (p.subject.empty() ? "" : " ") << p.subject << "  "
              << p.overallDone / 1024 << " KB/" << p.overallTotal / 1024 << " KB  "
              << p.itemDone / 1024 << " KB/" << p.itemTotal / 1024 << " KB  " << p.OverallPercent()
              << "%" << std::flush;
}

std::unique_ptr<CardSession> OpenCard(CliContext& ctx, const std::string& root, CardUse use) {
    auto card = ChooseCard(ctx, root);
    if (!card) return nullptr;
    if (use == CardUse::Change && !LockCard(ctx, *card)) return nullptr;
    if (const Status opened = OpenCardDatabase(*card->card); !opened.ok()) {
        ctx.Fail(opened);
        return nullptr;
    }
    return card;
}

std::unique_ptr<CardSession> ChooseCard(CliContext& ctx, const std::string& root) {
    std::string chosen = root;
    if (chosen.empty()) {
        const auto device = ctx.RequireDevice();
        if (!device) return nullptr;
        chosen = *device;
    }
    auto card = std::make_unique<CardSession>(chosen);
    // With --json stdout holds the one document a script parses, and the status lines go aside.
    card->progress = std::make_unique<TerminalProgress>(ctx.options.json ? std::cerr : ctx.Out());
    // The runner reads the context's session when a job starts, after the command signed in.
    card->runner = std::make_unique<ThreadedJobRunner>(
        ctx.session, *card->progress, card->freeSpace, &interrupted, JobTiming::Immediate());
    return card;
}

std::shared_ptr<CardLock> LockOrFail(CliContext& ctx, Card& card) {
    auto lock = card.Lock();
    if (!lock) ctx.Fail(OutcomeKind::Refused, kMsgCardBusy);
    return lock;
}

bool LockCard(CliContext& ctx, CardSession& card) {
    card.lock = LockOrFail(ctx, *card.card);
    if (!card.lock) return false;
    card.runner->WorkUnder(card.lock);
    return true;
}

void ReportJob(CliContext& ctx, const JobOutcome& outcome) {
    const Status& end = outcome.status;
    if (end.kind() == OutcomeKind::Cancelled) {
        for (const Message& note : end.notes())
            ctx.Messages().Show(IconOf(note.id, end.kind()), MessageText(note));
        ctx.Fail(OutcomeKind::Cancelled, kCliCancelled);
    } else if (end.ok() || end.id() != MessageId::None) {
        ctx.Conclude(end);
    } else if (outcome.Completed()) {
        // Went through but left something out: what it left out, then that it did not complete.
        Status failed = Status::Failure(end.kind(), Say(MessageId::JobFailed));
        for (const Message& note : end.notes()) failed.AddNote(note);
        ctx.Conclude(failed);
    } else {
        ctx.Fail(kCliJobDidNotRun);  // refused without a word: it never ran
    }
}

void ReportJob(CliContext& ctx, const ActionJobOutcome& outcome) {
    // Refused before the job ran (a chosen file that is no sound): its sentence is the reason.
    if (outcome.status.kind() == OutcomeKind::Refused && outcome.status.id() != MessageId::None) {
        ctx.Fail(outcome.status);
        return;
    }
    // The job's own end says what went wrong; a whole one ends with the action's sentence.
    if (outcome.job.status.ok())
        ctx.Conclude(outcome.status);
    else
        ReportJob(ctx, outcome.job);
}

const ContentRecord* FindOnShelf(const std::vector<ContentRecord>& shelf, std::string_view no) {
    for (const ContentRecord& record : shelf) {
        if (record.contentNo == no) return &record;
    }
    return nullptr;
}

std::optional<std::vector<ContentRecord>> LanguageContents(CliContext& ctx, CardSession& card,
                                                           const std::vector<std::string>& nos,
                                                           Shelf shelf) {
    std::vector<ContentRecord> records;
    for (const std::string& no : nos) {
        const ContentRecord* record = FindOnShelf(card.database().Contents(shelf), no);
        if (record == nullptr) {
            ctx.Fail(OutcomeKind::UnknownItem,
                     shelf == Shelf::Game ? CliNotAChosenGame(no) : CliNotALanguageContent(no));
            return std::nullopt;
        }
        records.push_back(*record);
    }
    return records;
}

}  // namespace torvane::cli
