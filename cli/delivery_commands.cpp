// Commands that change the card: install, delete, game, children apply and release, updates
// install (the DIY commands are in diy_commands.cpp). Each runs the same rules as the desktop
// pages; long jobs run on the install engine's worker thread with a progress line, and Ctrl-C
// cancels them as the dialog's cancel button does.
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/outcome_telling.h"
#include "children/children_service.h"
#include "children/name_voice.h"
#include "cli/card_job.h"
#include "cli/json_shape.h"
#include "cli/session_login.h"
#include "common/messages.h"
#include "delivery/catalogue.h"
#include "delivery/content_actions.h"
#include "update/kept_recordings.h"
#include "update/package_install.h"
#include "update/update_list.h"

namespace torvane::cli {
namespace {

const ContentRecord* FindInCatalogue(const ContentCatalogue& catalogue, std::string_view no) {
    for (Shelf shelf : kAllShelves) {
        if (const ContentRecord* record = FindOnShelf(catalogue.Contents(shelf), no)) return record;
    }
    return nullptr;
}

void RunInstall(CliContext& ctx, const std::vector<std::string>& numbers, bool reinstall) {
    auto card = OpenCard(ctx);
    if (!card || !SignInForCommand(ctx)) return;
    ContentCatalogue catalogue;
    if (const Status fetched = catalogue.FetchCatalogue(ctx.session); !fetched.ok()) {
        ctx.Fail(fetched.kind(), CliContentListUnreadable(fetched.message()));
        return;
    }
    std::vector<ContentRecord> job;
    for (const std::string& no : numbers) {
        const ContentRecord* record = FindInCatalogue(catalogue, no);
        if (record == nullptr) {
            ctx.Fail(OutcomeKind::UnknownItem, CliNotInCatalogue(no));
            return;
        }
        job.push_back(*record);
    }
    InterruptCancels cancels;
    const TransferOutcome outcome = TransferContents(job, reinstall, *card->card, *card->runner);
    card->progress.reset();
    // A job that ran whole ends with the rule's sentence; one that did not says why itself.
    const bool ranWhole = outcome.sent > 0 && outcome.job.status.ok();
    if (ranWhole)
        TellOutcome(ctx.Messages(), outcome.status);
    else if (outcome.sent == 0 && !ctx.Conclude(outcome.status))
        return;
    if (!ctx.options.json)
        for (const std::string& no : outcome.skipped)
            ctx.Out() << CliSkippedAsInstalled(no) << '\n';
    if (outcome.sent > 0) {
        ReportJob(ctx, outcome.job);
        if (ranWhole && !outcome.AllInstalled()) ctx.Fail(kCliNotEveryContentInstalled);
    }
    if (ctx.exitCode == kExitOk)
        ctx.Emit({{"device", card->root()},
                  {"installed", outcome.job.addedContentNos},
                  {"skipped", outcome.skipped}});
}

// The guards of a delete (the DIY content, a game's content, the last game) have always ended
// torvane-cli with status 1, not with the status of a cancelled command: scripts rely on it.
Status AsDeleteEnd(Status deleted) {
    if (deleted.kind() != OutcomeKind::Refused) return deleted;
    return Status::Failure(OutcomeKind::Failed, deleted.said());
}

// Deletes contents from the shelf that holds each one, shelf by shelf.
void RunDelete(CliContext& ctx, const std::vector<std::string>& numbers) {
    auto card = OpenCard(ctx, {}, CardUse::Change);
    if (!card) return;
    std::map<Shelf, std::vector<ContentRecord>> byShelf;
    for (const std::string& no : numbers) {
        bool found = false;
        for (Shelf shelf : kStoredShelves) {
            if (const ContentRecord* record = FindOnShelf(card->database().Contents(shelf), no)) {
                byShelf[shelf].push_back(*record);
                found = true;
                break;
            }
        }
        if (!found) {
            ctx.Fail(OutcomeKind::UnknownItem, CliNotOnDevice(no));
            return;
        }
    }
    for (const auto& [shelf, records] : byShelf) {
        if (!ctx.Conclude(AsDeleteEnd(DeleteContents(shelf, records, *card->card)))) return;
    }
    ctx.Emit({{"device", card->root()}, {"deleted", numbers}});
}

void AddGameCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* game = app.add_subcommand("game", "the contents of the device's game");
    game->require_subcommand(1);
    auto numbers = std::make_shared<std::vector<std::string>>();
    CLI::App* add = game->add_subcommand("add", "add language contents to the game");
    add->add_option("contentNo", *numbers, "content numbers")->required();
    add->callback([&ctx, numbers] {
        auto card = OpenCard(ctx, {}, CardUse::Change);
        if (!card) return;
        const auto records = LanguageContents(ctx, *card, *numbers, Shelf::Language);
        if (!records) return;
        const GameSelectionOutcome outcome = AddToGameSelection(*records, *card->card);
        if (!ctx.Conclude(outcome.status)) return;
        if (!ctx.options.json) ctx.Out() << CliAddedToGame(outcome.added) << '\n';
        ctx.Emit({{"device", card->root()},
                  {"added", outcome.added},
                  {"gameContentList", card->database().gameContentList()}});
    });
    CLI::App* remove = game->add_subcommand("remove", "take contents out of the game");
    remove->add_option("contentNo", *numbers, "content numbers")->required();
    remove->callback([&ctx, numbers] {
        auto card = OpenCard(ctx, {}, CardUse::Change);
        if (!card) return;
        const auto records = LanguageContents(ctx, *card, *numbers, Shelf::Game);
        if (!records) return;
        if (!ctx.Conclude(AsDeleteEnd(DeleteContents(Shelf::Game, *records, *card->card)))) return;
        ctx.Emit({{"device", card->root()},
                  {"removed", *numbers},
                  {"gameContentList", card->database().gameContentList()}});
    });
}

void AddChildrenCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* children = Group(app, "children", "the account's children and name voices");
    auto childNo = std::make_shared<int>(0);
    CLI::App* apply = children->add_subcommand("apply", "put a child's name voice on the device");
    apply->add_option("no", *childNo, "child number")->required();
    apply->callback([&ctx, childNo] {
        auto card = OpenCard(ctx, {}, CardUse::Change);
        if (!card || !SignInForCommand(ctx)) return;
        const ChildrenList list = FetchChildrenList(ctx.session);
        if (!list.ok()) {
            ctx.Fail(list.status.kind(), CliChildrenUnreadable(list.status.message()));
            return;
        }
        for (const ChildInfo& child : list.items) {
            if (!child.numberValid || child.childNo != *childNo) continue;
            if (const Status applied = ApplyNameVoice(child, card->database(), ctx.session);
                !applied.ok()) {
                ctx.Fail(applied);
            } else if (ctx.options.json) {
                ctx.Emit({{"device", card->root()}, {"applied", ChildJson(child)}});
            } else {
                ctx.Out() << CliNameVoiceApplied(child.familyName + child.firstName) << '\n';
            }
            return;
        }
        ctx.Fail(OutcomeKind::UnknownItem, CliNoSuchChild(*childNo));
    });
    children->add_subcommand("release", "take the name voice off the device")->callback([&ctx] {
        auto card = OpenCard(ctx, {}, CardUse::Change);
        if (!card) return;
        if (const Status released = ReleaseNameVoice(card->database()); !released.ok()) {
            ctx.Fail(Status::Failure(released.kind(), Say(MessageId::CliNameVoiceNotRemoved)));
            return;
        }
        ctx.Emit({{"device", card->root()}, {"released", true}});
    });
}

struct UpdateArguments {
    int index = 0;
    std::string drive;
    std::string kind;
    bool keepRecordings = false;
};

void AddUpdateCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* updates = Group(app, "updates", "firmware and system packages");
    auto args = std::make_shared<UpdateArguments>();
    CLI::App* install = updates->add_subcommand("install", "install a package onto a card");
    install->add_option("index", args->index, "package number, from 1 in `updates list` order")
        ->required();
    install->add_option("--drive", args->drive,
                        "the card's folder (else --device, else TORVANE_DEVICE)");
    install->add_option("--kind", args->kind, "update keeps the contents, reset wipes the card")
        ->required()
        ->check(CLI::IsMember({"update", "reset"}));
    install->add_flag("--keep-recordings", args->keepRecordings,
                      "with a reset: keep the DIY recordings and the name voice");
    install->callback([&ctx, args] {
        if (args->drive.empty()) {
            const auto device = ctx.RequireDevice();
            if (!device) return;
            args->drive = *device;
        }
        std::error_code ec;
        if (!std::filesystem::is_directory(args->drive, ec)) {
            ctx.Fail(OutcomeKind::CardUnreadable, CliNoSuchDriveFolder(args->drive));
            return;
        }
        const bool reset = args->kind == "reset";
        if (args->keepRecordings && !reset) {
            ctx.UsageError(kCliKeepRecordingsOnlyForReset);
            return;
        }
        if (!SignInForCommand(ctx)) return;
        UpdateFileList list;
        if (const Status fetched = list.FetchUpdateFiles(ctx.session); !fetched.ok()) {
            ctx.Fail(fetched.kind(), CliPackageListUnreadable(fetched.message()));
            return;
        }
        if (args->index < 1 || static_cast<std::size_t>(args->index) > list.Files().size()) {
            ctx.Fail(OutcomeKind::UnknownItem, CliNoSuchPackage(args->index, list.Files().size()));
            return;
        }
        auto progress =
            std::make_unique<TerminalProgress>(ctx.options.json ? std::cerr : ctx.Out());
        StatvfsFreeSpace space;
        ThreadedJobRunner runner(ctx.session, *progress, space, &interrupted,
                                 JobTiming::Immediate());
        InterruptCancels cancels;
        std::optional<KeptRecordings> kept;
        if (args->keepRecordings) kept.emplace();
        const UpdateFile& package = list.Files()[static_cast<std::size_t>(args->index - 1)];
        const auto card = std::make_shared<Card>(args->drive);
        const PackageKind kind = reset ? PackageKind::Reset : PackageKind::Update;
        // --yes confirms the reset; without it the question is put on the terminal.
        const auto question = PackageConfirmation(kind, *card, args->keepRecordings);
        if (question && !ctx.options.yes &&
            !ctx.Messages().Ask(MessageKind::Exclamation, *question)) {
            ctx.Fail(OutcomeKind::Cancelled, kCliCancelled);
            return;
        }
        const JobOutcome outcome =
            InstallConfirmedPackage(package, kind, card, runner, kept ? &*kept : nullptr);
        progress.reset();
        ReportJob(ctx, outcome);
        if (ctx.exitCode == kExitOk)
            ctx.Emit({{"device", args->drive},
                      {"kind", args->kind},
                      {"installed", UpdateJson(package, static_cast<std::size_t>(args->index))},
                      {"keptRecordings", args->keepRecordings}});
    });
}

}  // namespace

void AddDeliveryCommands(CLI::App& app, CliContext& ctx) {
    auto numbers = std::make_shared<std::vector<std::string>>();
    auto reinstall = std::make_shared<bool>(false);
    CLI::App* install = app.add_subcommand("install", "install bought contents onto the device");
    install->add_option("contentNo", *numbers, "content numbers, installed in this order")
        ->required();
    install->add_flag("--reinstall", *reinstall, "install contents already on the device again");
    install->callback([&ctx, numbers, reinstall] { RunInstall(ctx, *numbers, *reinstall); });

    auto deleted = std::make_shared<std::vector<std::string>>();
    CLI::App* remove = app.add_subcommand("delete", "delete contents from the device");
    remove->add_option("contentNo", *deleted, "content numbers")->required();
    remove->callback([&ctx, deleted] { RunDelete(ctx, *deleted); });

    AddGameCommands(app, ctx);
    AddDiyCommands(app, ctx);
    AddChildrenCommands(app, ctx);
    AddUpdateCommands(app, ctx);
}

}  // namespace torvane::cli
