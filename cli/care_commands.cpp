// Card care from the command line: `device check` lists what is wrong with a card, and with
// --repair mends what can be mended. Signed in (--user given), the check also compares the files
// with the account's catalogue and the repair downloads missing or short files again.
// `device backup` and `device restore` keep what cannot be downloaded again in one archive.
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/outcome_telling.h"
#include "cli/card_job.h"
#include "cli/cli_context.h"
#include "cli/session_login.h"
#include "common/messages.h"
#include "delivery/card_backup.h"
#include "delivery/card_care.h"
#include "update/kept_recordings.h"

namespace torvane::cli {
namespace {

using json = nlohmann::ordered_json;

// The account's catalogue, when the command was given an account to sign in with.
std::optional<SignedInCatalogue> CatalogueIfSignedIn(CliContext& ctx) {
    if (ctx.options.user.empty() || !SignInForCommand(ctx)) return std::nullopt;
    ContentCatalogue catalogue;
    if (const Status fetched = catalogue.FetchCatalogue(ctx.session); !fetched.ok()) {
        ctx.Fail(fetched.kind(), CliContentListUnreadable(fetched.message()));
        return std::nullopt;
    }
    return CatalogueForCare(catalogue);
}

json ProblemJson(const CardProblem& problem) {
    json entry = {{"kind", CardProblemKey(problem.kind)},
                  {"where", problem.where},
                  {"text", CardProblemSentence(problem.kind)}};
    if (!problem.contentNo.empty()) entry["contentNo"] = problem.contentNo;
    return entry;
}

// A reset cut off between its wipe and the end of its put-back left the parent's recordings in
// the data folder: a repair offers to put them back, one keep at a time.
void OfferWaitingPutBacks(CliContext& ctx, const Card& card) {
    for (const WaitingPutBack& waiting : WaitingPutBacks()) {
        if (!ctx.Messages().Ask(MessageKind::Exclamation,
                                PutBackWaitingQuestion(waiting.folder, waiting.card)))
            continue;
        const std::unique_ptr<KeptRecordings> kept = KeptRecordings::Resume(waiting.folder);
        if (kept == nullptr) {
            ctx.Failed();
            continue;
        }
        ctx.Conclude(kept->AfterWipe(card.anchor()));
    }
}

void RunCheck(CliContext& ctx, bool repair) {
    auto card = ChooseCard(ctx);
    if (!card || !LockCard(ctx, *card)) return;
    if (repair) OfferWaitingPutBacks(ctx, *card->card);
    const auto signedIn = CatalogueIfSignedIn(ctx);
    if (ctx.exitCode != kExitOk) return;
    CareReport report;
    {
        InterruptCancels cancels;
        // What the contents installed again ended with is said once the repair has ended.
        SentenceKeepingRunner runner(*card->runner);
        report = CheckAndRepair(*card->card, repair, signedIn ? &*signedIn : nullptr, &runner);
        card->progress.reset();
        for (const Message& said : runner.Said())
            ctx.Messages().Show(IconOf(said.id, OutcomeKind::Done), MessageText(said));
    }
    if (ctx.options.json) {
        json found = json::array();
        for (const CardProblem& problem : report.problems) found.push_back(ProblemJson(problem));
        json result = {{"device", card->root()}, {"problems", found}};
        if (report.repairs) {
            json done = json::array();
            for (const RepairStep& step : *report.repairs) {
                json entry = ProblemJson(step.problem);
                entry["mended"] = step.mended;
                done.push_back(entry);
            }
            result["repairs"] = done;
        }
        ctx.Emit(result);
    } else if (report.problems.empty()) {
        ctx.Out() << kMsgCardSound << '\n';
    } else {
        for (const std::string& line : report.Lines()) ctx.Out() << line << '\n';
    }
    // Problems found end with status 1; the lines above already name them, the error document
    // of --json says so in one sentence.
    if (!report.Sound()) {
        if (ctx.options.json)
            ctx.Fail(kCliProblemsFound);
        else
            ctx.Failed();
    }
}

// What a backup or a restore handled, for scripts.
json ArchiveJson(const std::string& root, const std::string& archive,
                 const BackupManifest& manifest) {
    return {{"device", root},
            {"archive", archive},
            {"files", manifest.files.size()},
            {"bytes", manifest.TotalBytes()}};
}

void RunBackup(CliContext& ctx, const std::string& archive, bool everything) {
    const auto root = ctx.RequireDevice();
    if (!root) return;
    Card card(*root);
    // Held for the whole read: the archive is one moment's picture of the card.
    const auto lock = LockOrFail(ctx, card);
    if (!lock) return;
    InterruptCancels cancels;
    const Result<BackupManifest> written = BackupCard(card, archive, everything, &interrupted);
    if (!written.ok()) {
        ctx.Fail(interrupted.load() ? OutcomeKind::Cancelled : written.kind(), written.message());
        return;
    }
    if (ctx.options.json) {
        ctx.Emit(ArchiveJson(*root, archive, written.value()));
    } else {
        ctx.Out() << BackupWritten(written.value().files.size(), written.value().TotalBytes(),
                                   archive)
                  << '\n';
    }
}

// Asks the plan's question, or with --yes says it on stderr as the terminal's questions are
// (stdout may be JSON) and goes on.
bool RestoreConfirmed(CliContext& ctx, const RestorePlan& plan, bool yes) {
    const std::string question = MessageText(plan.Question());
    if (!yes) return ctx.Messages().Ask(MessageKind::Exclamation, question);
    std::cerr << question << '\n';
    return true;
}

void RunRestore(CliContext& ctx, const std::string& archive, bool yes, bool force) {
    const auto root = ctx.RequireDevice();
    if (!root) return;
    Card card(*root);
    const auto lock = LockOrFail(ctx, card);
    if (!lock) return;
    InterruptCancels cancels;
    const StatvfsFreeSpace space;
    const Result<RestorePlan> plan = PlanRestore(card, archive, {force, &space});
    if (!plan.ok()) {
        if (plan.kind() == OutcomeKind::Refused)  // another sound type: the flag that overrides it
            ctx.Fail(plan.kind(), plan.message() + std::string(kCliRestoreForceHint));
        else
            ctx.Fail(plan.status());
        return;
    }
    if (!RestoreConfirmed(ctx, plan.value(), yes)) {
        ctx.Fail(Status::Failure(OutcomeKind::Cancelled, Say(MessageId::CliCancelled)));
        return;
    }
    const Result<BackupManifest> restored = RestoreCard(card, plan.value(), &interrupted);
    if (!restored.ok()) {
        if (interrupted.load())
            ctx.Fail(OutcomeKind::Cancelled, restored.message());
        else
            ctx.Fail(restored.status());
        return;
    }
    if (ctx.options.json) {
        ctx.Emit(ArchiveJson(*root, archive, restored.value()));
    } else {
        ctx.Out() << kMsgRestoreDone << '\n';
    }
}

struct BackupArguments {
    std::string archive;
    bool everything = false;
    bool yes = false;
    bool force = false;
};

}  // namespace

void AddCareCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* device = Group(app, "device", "the device's content database");
    auto* check = device->add_subcommand(
        "check", "what is wrong with the card (exit 1 when something is); never changes it");
    auto repair = std::make_shared<bool>(false);
    check->add_flag("--repair", *repair,
                    "mend what can be mended without guessing; files the card's databases do "
                    "not account for are reported, never deleted");
    check->callback([&ctx, repair] { RunCheck(ctx, *repair); });

    auto args = std::make_shared<BackupArguments>();
    auto* backup = device->add_subcommand(
        "backup",
        "write what cannot be downloaded again (databases, tables, DIY recordings, "
        "name voice, info.dat) to one archive");
    backup->add_option("file", args->archive, "the archive to write (.tvbackup)")->required();
    backup->add_flag("--all", args->everything, "every file of the card");
    backup->callback([&ctx, args] { RunBackup(ctx, args->archive, args->everything); });

    auto* restore = device->add_subcommand(
        "restore", "put a backup back onto the card once every file of it checks");
    restore->add_option("file", args->archive, "the archive to read")->required();
    restore->add_flag("--yes", args->yes, "do not ask before replacing the card's files");
    restore->add_flag("--force", args->force, "restore onto a card of another sound type");
    restore->callback([&ctx, args] { RunRestore(ctx, args->archive, args->yes, args->force); });
}

}  // namespace torvane::cli
