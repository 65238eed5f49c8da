// What the commands that change the card share: the card opened with its database, a job runner
// whose progress shows on the terminal, Ctrl-C as the cancel button, and a job's exit status.
#pragma once

#include <signal.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_context.h"
#include "delivery/diy_actions.h"
#include "delivery/job_runner.h"
#include "store/card.h"
#include "store/content_record.h"
#include "store/content_types.h"
#include "store/default_xml.h"

namespace torvane::cli {

// The command group another command file made, or a new one when it is missing.
CLI::App* Group(CLI::App& app, const std::string& name, const std::string& description);

// Set by Ctrl-C while a job runs; the runner cancels the job when it sees it.
extern std::atomic<bool> interrupted;

// Ctrl-C cancels the job instead of ending the process while the object lives.
class InterruptCancels {
  public:
    InterruptCancels();
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

  private:
    struct sigaction previous_ {};
};

// A live line on a terminal (stderr), plain status lines on `out` otherwise, a line for each
// sentence and one for the content it is about. The job's end sentence is left to the command.
class TerminalProgress final : public IJobObserver {
  public:
    explicit TerminalProgress(std::ostream& out);
    ~TerminalProgress() override;
    void OnProgress(const JobProgress& p) override;

  private:
    std::ostream& out_;
    bool live_;
    bool drawn_ = false;
    std::string lastStatus_;
    std::chrono::steady_clock::time_point lastDraw_{};
};

// Everything a card command needs: the device chosen, its database loaded, a runner for jobs.
struct CardSession {
    explicit CardSession(std::string root) : card(std::make_shared<Card>(std::move(root))) {}
    CDefaultXML& database() { return card->database(); }
    const std::string& root() const { return card->root(); }

    std::shared_ptr<Card> card;
    StatvfsFreeSpace freeSpace;
    std::unique_ptr<TerminalProgress> progress;
    std::unique_ptr<ThreadedJobRunner> runner;
    // The card's writer lock, held by a command that changes the card itself (a job takes it on
    // its own) from before it reads the databases to the end of the command.
    std::shared_ptr<CardLock> lock;
};

// Whether a command only reads the card or changes it itself.
enum class CardUse { Read, Change };

// Opens the card given by the global options (or `root`) and reads its content database; nothing
// after a failure. Every command that reads or changes a card opens it this way; one that changes
// it takes its writer lock first, and fails with the card untouched when another keeps it.
std::unique_ptr<CardSession> OpenCard(CliContext& ctx, const std::string& root = {},
                                      CardUse use = CardUse::Read);
// The card chosen the same way, with its runner, but its databases not read yet: for the check,
// which must look at a card whose database cannot be read.
std::unique_ptr<CardSession> ChooseCard(CliContext& ctx, const std::string& root = {});

// Takes the card's writer lock for a command that changes the card itself, and lets the session's
// jobs work under it; false, with the failure told, when another program keeps the card.
bool LockCard(CliContext& ctx, CardSession& card);
// The card's writer lock; null, with the failure told, when another program keeps the card.
std::shared_ptr<CardLock> LockOrFail(CliContext& ctx, Card& card);

// Records a job's end: what it says when it ran whole, else its failure with its kind and its
// reason (why it stopped, or "작업을 완료하지 못했습니다." after what it left out).
void ReportJob(CliContext& ctx, const JobOutcome& outcome);
// The same for a job an action ran: its end sentence said, or its refusal recorded.
void ReportJob(CliContext& ctx, const ActionJobOutcome& outcome);

const ContentRecord* FindOnShelf(const std::vector<ContentRecord>& shelf, std::string_view no);

// The contents on `shelf` of the card named by the numbers (for the game and DIY choices).
std::optional<std::vector<ContentRecord>> LanguageContents(CliContext& ctx, CardSession& card,
                                                           const std::vector<std::string>& nos,
                                                           Shelf shelf);

// The DIY commands: select, assign, delete, rename, export.
void AddDiyCommands(CLI::App& app, CliContext& ctx);

}  // namespace torvane::cli
