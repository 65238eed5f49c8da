// Commands that change the card: install, delete, game, diy, children apply and release, updates
// install. Each runs the same rules as the desktop pages; long jobs run on the install engine's
// worker thread with a progress line, and Ctrl-C cancels them as the dialog's cancel button does.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "children/children_service.h"
#include "children/name_voice.h"
#include "cli/cli_context.h"
#include "cli/session_login.h"
#include "delivery/catalogue.h"
#include "delivery/content_actions.h"
#include "delivery/diy_actions.h"
#include "delivery/job_runner.h"
#include "store/default_xml.h"
#include "store/device_root.h"
#include "store/diy_xml.h"
#include "update/package_install.h"
#include "update/update_list.h"

namespace torvane::cli {
namespace {

// The command group another command file made, or a new one when it is missing.
CLI::App* Group(CLI::App& app, const std::string& name, const std::string& description) {
    for (CLI::App* command : app.get_subcommands({})) {
        if (command->get_name() == name) return command;
    }
    return app.add_subcommand(name, description);
}

// Set by Ctrl-C while a job runs; the runner cancels the job when it sees it.
std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

// Ctrl-C cancels the job instead of ending the process while the object lives.
class InterruptCancels {
  public:
    InterruptCancels() {
        interrupted.store(false);
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptCancels() { ::sigaction(SIGINT, &previous_, nullptr); }
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

  private:
    struct sigaction previous_ {};
};

// A live line on a terminal, plain status lines otherwise.
class TerminalProgress final : public IJobObserver {
  public:
    explicit TerminalProgress(std::ostream& out) : out_(out), live_(::isatty(STDERR_FILENO)) {}
    ~TerminalProgress() override {
        if (live_ && drawn_) std::cerr << '\n';
    }
    void OnProgress(const JobProgress& p) override {
        if (!live_) {
            if (p.status != lastStatus_ && !p.status.empty()) out_ << p.status << std::endl;
            lastStatus_ = p.status;
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (p.status == lastStatus_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
        lastStatus_ = p.status;
        lastDraw_ = now;
        drawn_ = true;
        std::cerr << "\r\033[K" << p.status << "  " << p.overallDone / 1024 << " KB/"
                  << p.overallTotal / 1024 << " KB  " << p.itemDone / 1024 << " KB/"
                  << p.itemTotal / 1024 << " KB  " << p.OverallPercent() << "%" << std::flush;
    }

  private:
    std::ostream& out_;
    bool live_;
    bool drawn_ = false;
    std::string lastStatus_;
    std::chrono::steady_clock::time_point lastDraw_{};
};

// Everything a card command needs: the device chosen, its database loaded, a runner for jobs.
struct CardSession {
    std::string root;
    CDefaultXML database;
    StatvfsFreeSpace freeSpace;
    std::unique_ptr<TerminalProgress> progress;
    std::unique_ptr<ThreadedJobRunner> runner;
};

std::unique_ptr<CardSession> OpenCard(CliContext& ctx, const std::string& root = {}) {
    auto card = std::make_unique<CardSession>();
    if (root.empty()) {
        const auto device = ctx.RequireDevice();
        if (!device) return nullptr;
        card->root = *device;
    } else {
        card->root = root;
    }
    SetDeviceRoot(card->root);
    if (!card->database.Load()) {
        ctx.Fail("cannot read the device database in " + card->root + ": " +
                 card->database.lastError());
        return nullptr;
    }
    card->database.FillGameShelfFromSelection();
    card->progress = std::make_unique<TerminalProgress>(ctx.Out());
    card->runner = std::make_unique<ThreadedJobRunner>(
        *card->progress, ctx.Messages(), card->freeSpace, &interrupted, JobTiming::Immediate());
    return card;
}

// Exit status of a job: 0 done, 3 cancelled, 1 otherwise (with the engine's reason).
void ReportJob(CliContext& ctx, const JobOutcome& outcome) {
    if (outcome.result == JobOutcome::Result::Cancelled) {
        std::cerr << "cancelled\n";
        ctx.exitCode = kExitCancelled;
    } else if (!outcome.Completed()) {
        ctx.Fail(outcome.lastError.empty() ? "the job did not run" : outcome.lastError);
    } else if (!outcome.lastError.empty()) {
        ctx.Fail(outcome.lastError);
    }
}

const ContentRecord* FindOnShelf(const std::vector<ContentRecord>& shelf, std::string_view no) {
    for (const ContentRecord& record : shelf) {
        if (record.contentNo == no) return &record;
    }
    return nullptr;
}

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
    if (!catalogue.FetchCatalogue()) {
        ctx.Fail("the content list could not be read: " + catalogue.ErrorText());
        return;
    }
    std::vector<ContentRecord> job;
    for (const std::string& no : numbers) {
        const ContentRecord* record = FindInCatalogue(catalogue, no);
        if (record == nullptr) {
            ctx.Fail("content " + no + " is not in the account's catalogue");
            return;
        }
        if (!reinstall &&
            card->database.FindContent(record->subGroup, record->mainGroup, record->contentNo)) {
            ctx.Out() << no << " is already on the device; skipped\n";
            continue;
        }
        job.push_back(*record);
    }
    if (job.empty()) return;
    InterruptCancels cancels;
    const JobOutcome outcome =
        TransferContents(job, reinstall, {card->database, ctx.Messages()}, *card->runner);
    card->progress.reset();
    ReportJob(ctx, outcome);
    if (outcome.Completed() && outcome.lastError.empty() && !reinstall &&
        outcome.addedContentNos.size() != job.size()) {
        ctx.Fail("not every content was installed");
    }
}

// Deletes contents as on the tab of the shelf that holds each one, shelf by shelf.
void RunDelete(CliContext& ctx, const std::vector<std::string>& numbers) {
    auto card = OpenCard(ctx);
    if (!card) return;
    std::map<Shelf, std::vector<ContentRecord>> byShelf;
    for (const std::string& no : numbers) {
        bool found = false;
        for (Shelf shelf : kStoredShelves) {
            if (const ContentRecord* record = FindOnShelf(card->database.Contents(shelf), no)) {
                byShelf[shelf].push_back(*record);
                found = true;
                break;
            }
        }
        if (!found) {
            ctx.Fail("content " + no + " is not on the device");
            return;
        }
    }
    for (const auto& [shelf, records] : byShelf) {
        const TabOfShelf tab = TabShowing(shelf);
        if (!DeleteContents(tab.tab, tab.seriesSubTab, records, {card->database, ctx.Messages()})) {
            ctx.exitCode = kExitFailed;
            return;
        }
    }
}

// The language contents on the device named by the numbers (for the game and DIY choices).
std::optional<std::vector<ContentRecord>> LanguageContents(CliContext& ctx, CardSession& card,
                                                           const std::vector<std::string>& nos,
                                                           Shelf shelf) {
    std::vector<ContentRecord> records;
    for (const std::string& no : nos) {
        const ContentRecord* record = FindOnShelf(card.database.Contents(shelf), no);
        if (record == nullptr) {
            ctx.Fail("content " + no +
                     (shelf == Shelf::Game ? " is not a chosen game"
                                           : " is not a language content on "
                                             "the device"));
            return std::nullopt;
        }
        records.push_back(*record);
    }
    return records;
}

void AddGameCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* game = app.add_subcommand("game", "the contents of the device's game");
    game->require_subcommand(1);
    auto numbers = std::make_shared<std::vector<std::string>>();
    CLI::App* add = game->add_subcommand("add", "add language contents to the game");
    add->add_option("contentNo", *numbers, "content numbers")->required();
    add->callback([&ctx, numbers] {
        auto card = OpenCard(ctx);
        if (!card) return;
        const auto records = LanguageContents(ctx, *card, *numbers, Shelf::Language);
        if (!records) return;
        const int added = AddToGameSelection(*records, {card->database, ctx.Messages()});
        ctx.Out() << added << " added to the game\n";
    });
    CLI::App* remove = game->add_subcommand("remove", "take contents out of the game");
    remove->add_option("contentNo", *numbers, "content numbers")->required();
    remove->callback([&ctx, numbers] {
        auto card = OpenCard(ctx);
        if (!card) return;
        const auto records = LanguageContents(ctx, *card, *numbers, Shelf::Game);
        if (!records) return;
        if (!DeleteContents(ContentTab::Game, false, *records, {card->database, ctx.Messages()})) {
            ctx.exitCode = kExitFailed;
        }
    });
}

struct DiyArguments {
    std::string contentNo;
    long card = 0;
    int slot = 0;
    std::vector<std::string> files;
    std::string name;
    std::string destination;
};

// The DIY database of the card with the card and slot checked; nothing after a failure.
std::unique_ptr<CDiyXML> OpenDiy(CliContext& ctx, const DiyArguments& args, int& position) {
    const auto found = DiyCardPosition(args.card);
    if (!found) {
        ctx.Fail("no DIY card " + std::to_string(args.card) +
                 " (1 to 1500 or 92100001 to 92101500)");
        return nullptr;
    }
    if (args.slot < 1 || args.slot > kDiySlotCount) {
        ctx.Fail("no slot " + std::to_string(args.slot) + " (1 to 4)");
        return nullptr;
    }
    position = *found;
    auto diy = std::make_unique<CDiyXML>();
    if (!diy->Load()) {
        ctx.Fail("cannot read the DIY database: " + diy->lastError());
        return nullptr;
    }
    return diy;
}

void AddDiyCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* diy = Group(app, "diy", "the DIY cards and their recordings");
    auto args = std::make_shared<DiyArguments>();

    CLI::App* select = diy->add_subcommand("select", "make a language content the DIY content");
    select->add_option("contentNo", args->contentNo, "content number")->required();
    select->callback([&ctx, args] {
        auto card = OpenCard(ctx);
        if (!card) return;
        const auto records = LanguageContents(ctx, *card, {args->contentNo}, Shelf::Language);
        if (records) ChooseDiyContent(records->front(), {card->database, ctx.Messages()});
    });

    auto cardAndSlot = [args](CLI::App* command) {
        command->add_option("card", args->card, "1 to 1500 or 92100001 to 92101500")->required();
        command->add_option("slot", args->slot, "1 to 4")->required();
    };
    CLI::App* assign = diy->add_subcommand("assign", "copy recordings into a card's slots");
    cardAndSlot(assign);
    assign->add_option("files", args->files, "MP3 or WAV files")->required();
    assign->callback([&ctx, args] {
        auto card = OpenCard(ctx);
        int position = 0;
        std::unique_ptr<CDiyXML> diy = card ? OpenDiy(ctx, *args, position) : nullptr;
        if (!diy) return;
        for (const std::string& file : args->files) {
            if (!std::filesystem::is_regular_file(file)) {
                ctx.Fail("no such file: " + file);
                return;
            }
        }
        InterruptCancels cancels;
        const JobOutcome outcome =
            AssignDiyFiles(*diy, position, args->slot, args->files, *card->runner, ctx.Messages());
        card->progress.reset();
        ReportJob(ctx, outcome);
    });

    CLI::App* remove = diy->add_subcommand("delete", "delete a slot's recording");
    cardAndSlot(remove);
    remove->callback([&ctx, args] {
        auto card = OpenCard(ctx);
        int position = 0;
        std::unique_ptr<CDiyXML> diy = card ? OpenDiy(ctx, *args, position) : nullptr;
        if (diy && !DeleteDiySlot(*diy, position, args->slot, ctx.Messages())) {
            ctx.Fail("the DIY database could not be saved");
        }
    });

    CLI::App* rename = diy->add_subcommand("rename", "rename a slot's recording");
    cardAndSlot(rename);
    rename->add_option("name", args->name, "new name")->required();
    rename->callback([&ctx, args] {
        auto card = OpenCard(ctx);
        int position = 0;
        std::unique_ptr<CDiyXML> diy = card ? OpenDiy(ctx, *args, position) : nullptr;
        if (diy && !RenameDiySlot(*diy, position, args->slot, args->name)) {
            ctx.Fail("slot " + std::to_string(args->slot) + " of DIY card " +
                     std::to_string(args->card) + " holds no recording");
        }
    });

    CLI::App* exportSlot = diy->add_subcommand("export", "save a slot's recording to a file");
    cardAndSlot(exportSlot);
    exportSlot->add_option("dest", args->destination, "file to write")->required();
    exportSlot->callback([&ctx, args] {
        auto card = OpenCard(ctx);
        int position = 0;
        std::unique_ptr<CDiyXML> diy = card ? OpenDiy(ctx, *args, position) : nullptr;
        if (!diy) return;
        if (DiySlotPath(*diy, position, args->slot).empty()) {
            ctx.Fail("slot " + std::to_string(args->slot) + " of DIY card " +
                     std::to_string(args->card) + " holds no recording");
            return;
        }
        const JobOutcome outcome = ExportDiySlot(*diy, position, args->slot, args->destination,
                                                 *card->runner, ctx.Messages());
        card->progress.reset();
        ReportJob(ctx, outcome);
    });
}

void AddChildrenCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* children = Group(app, "children", "the account's children and name voices");
    auto childNo = std::make_shared<int>(0);
    CLI::App* apply = children->add_subcommand("apply", "put a child's name voice on the device");
    apply->add_option("no", *childNo, "child number")->required();
    apply->callback([&ctx, childNo] {
        auto card = OpenCard(ctx);
        if (!card || !SignInForCommand(ctx)) return;
        ChildrenList list;
        if (!FetchChildrenList(list)) {
            ctx.Fail("the children could not be read: " + list.errorText);
            return;
        }
        for (const ChildInfo& child : list.children) {
            if (child.childNo != *childNo) continue;
            std::string error;
            if (ApplyNameVoice(child, card->database, &error)) {
                ctx.Out() << "name voice of " << child.familyName << child.firstName
                          << " applied\n";
            } else {
                ctx.Fail(error);
            }
            return;
        }
        ctx.Fail("the account has no child " + std::to_string(*childNo));
    });
    children->add_subcommand("release", "take the name voice off the device")->callback([&ctx] {
        auto card = OpenCard(ctx);
        if (card && !ReleaseNameVoice(card->database)) {
            ctx.Fail("the name voice could not be removed from the device");
        }
    });
}

struct UpdateArguments {
    int index = 0;
    std::string drive;
    std::string kind;
};

void AddUpdateCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* updates = Group(app, "updates", "firmware and system packages");
    auto args = std::make_shared<UpdateArguments>();
    CLI::App* install = updates->add_subcommand("install", "install a package onto a card");
    install->add_option("index", args->index, "package number, from 1 in `updates list` order")
        ->required();
    install->add_option("--drive", args->drive, "the card's folder")->required();
    install->add_option("--kind", args->kind, "update keeps the contents, reset wipes the card")
        ->required()
        ->check(CLI::IsMember({"update", "reset"}));
    install->callback([&ctx, args] {
        std::error_code ec;
        if (!std::filesystem::is_directory(args->drive, ec)) {
            ctx.Fail("no such drive folder: " + args->drive);
            return;
        }
        if (!SignInForCommand(ctx)) return;
        UpdateFileList list;
        if (!list.FetchUpdateFiles()) {
            ctx.Fail("the package list could not be read: " + list.ErrorText());
            return;
        }
        if (args->index < 1 || static_cast<std::size_t>(args->index) > list.Files().size()) {
            ctx.Fail("no package " + std::to_string(args->index) + " (the list has " +
                     std::to_string(list.Files().size()) + ")");
            return;
        }
        const bool reset = args->kind == "reset";
        if (reset && !ctx.options.yes &&
            !ctx.Messages().Ask(MessageKind::Exclamation,
                                args->drive + " 의 모든 파일이 지워집니다. 계속하시겠습니까?")) {
            std::cerr << "cancelled\n";
            ctx.exitCode = kExitCancelled;
            return;
        }
        // An update keeps the database of the card it goes to.
        SetDeviceRoot(args->drive);
        auto progress = std::make_unique<TerminalProgress>(ctx.Out());
        StatvfsFreeSpace space;
        ThreadedJobRunner runner(*progress, ctx.Messages(), space, &interrupted,
                                 JobTiming::Immediate());
        InterruptCancels cancels;
        const JobOutcome outcome = InstallPackage(
            list.Files()[static_cast<std::size_t>(args->index - 1)],
            reset ? PackageKind::Reset : PackageKind::Update, args->drive, runner, ctx.Messages());
        progress.reset();
        ReportJob(ctx, outcome);
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
