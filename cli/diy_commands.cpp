// The DIY commands: the DIY content, and the parent's own recordings on the 1500 DIY cards.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/card_opening.h"
#include "cli/card_job.h"
#include "cli/json_shape.h"
#include "common/messages.h"
#include "common/text_codec.h"
#include "delivery/content_actions.h"
#include "delivery/diy_actions.h"
#include "store/diy_xml.h"

namespace torvane::cli {
namespace {

struct DiyArguments {
    std::string contentNo;
    long card = 0;
    int slot = 0;
    std::vector<std::string> files;
    std::string name;
    std::string destination;
};

// The DIY database of the card with the card and slot checked; nothing after a failure.
CDiyXML* OpenDiy(CliContext& ctx, CardSession& card, const DiyArguments& args, int& position) {
    const auto found = DiyCardPosition(args.card);
    if (!found) {
        ctx.Fail(OutcomeKind::UnknownItem, CliNoSuchDiyCard(args.card));
        return nullptr;
    }
    if (args.slot < 1 || args.slot > kDiySlotCount) {
        ctx.Fail(OutcomeKind::UnknownItem, CliNoSuchSlot(args.slot));
        return nullptr;
    }
    position = *found;
    if (!ctx.Check(OpenCardDiy(*card.card))) return nullptr;
    return &card.card->diy();
}

// What a DIY command did to one slot, for scripts.
json SlotJson(const CardSession& card, const DiyArguments& args, int position) {
    return {{"device", card.root()},
            {"card", position},
            {"deviceCard", kFirstDiyCard - 1 + position},
            {"slot", args.slot}};
}

}  // namespace

void AddDiyCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* diy = Group(app, "diy", "the DIY cards and their recordings");
    auto args = std::make_shared<DiyArguments>();

    CLI::App* select = diy->add_subcommand("select", "make a language content the DIY content");
    select->add_option("contentNo", args->contentNo, "content number")->required();
    select->callback([&ctx, args] {
        auto card = OpenCard(ctx, {}, CardUse::Change);
        if (!card) return;
        const auto records = LanguageContents(ctx, *card, {args->contentNo}, Shelf::Language);
        if (!records) return;
        if (!ctx.Conclude(ChooseDiyContent(records->front(), *card->card))) return;
        ctx.Emit({{"device", card->root()}, {"selectedDiyContentNo", args->contentNo}});
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
        CDiyXML* diy = card ? OpenDiy(ctx, *card, *args, position) : nullptr;
        if (!diy) return;
        for (const std::string& file : args->files) {
            if (!std::filesystem::is_regular_file(file)) {
                ctx.Fail(OutcomeKind::UnknownItem, CliNoSuchFile(file));
                return;
            }
        }
        InterruptCancels cancels;
        const ActionJobOutcome outcome =
            AssignDiyFiles(*card->card, position, args->slot, args->files, *card->runner);
        card->progress.reset();
        ReportJob(ctx, outcome);
        json done = SlotJson(*card, *args, position);
        done["files"] = args->files;
        if (ctx.exitCode == kExitOk) ctx.Emit(done);
    });

    CLI::App* remove = diy->add_subcommand("delete", "delete a slot's recording");
    cardAndSlot(remove);
    remove->callback([&ctx, args] {
        auto card = OpenCard(ctx, {}, CardUse::Change);
        int position = 0;
        CDiyXML* diy = card ? OpenDiy(ctx, *card, *args, position) : nullptr;
        if (!diy) return;
        if (!ctx.Conclude(DeleteDiySlot(*diy, position, args->slot))) return;
        json done = SlotJson(*card, *args, position);
        done["deleted"] = true;
        ctx.Emit(done);
    });

    CLI::App* rename = diy->add_subcommand("rename", "rename a slot's recording");
    cardAndSlot(rename);
    rename->add_option("name", args->name, "new name")->required();
    rename->callback([&ctx, args] {
        if (HasControlCharacter(args->name)) {
            ctx.UsageError(kCliSlotNameControlCharacter);
            return;
        }
        auto card = OpenCard(ctx, {}, CardUse::Change);
        int position = 0;
        CDiyXML* diy = card ? OpenDiy(ctx, *card, *args, position) : nullptr;
        if (!diy) return;
        if (!RenameDiySlot(*diy, position, args->slot, args->name)) {
            ctx.Fail(OutcomeKind::UnknownItem, CliEmptySlot(args->slot, args->card));
            return;
        }
        json done = SlotJson(*card, *args, position);
        done["name"] = args->name;
        ctx.Emit(done);
    });

    CLI::App* exportSlot = diy->add_subcommand("export", "save a slot's recording to a file");
    cardAndSlot(exportSlot);
    exportSlot->add_option("dest", args->destination, "file to write")->required();
    exportSlot->callback([&ctx, args] {
        auto card = OpenCard(ctx);
        int position = 0;
        CDiyXML* diy = card ? OpenDiy(ctx, *card, *args, position) : nullptr;
        if (!diy) return;
        if (DiySlotPath(*diy, position, args->slot).empty()) {
            ctx.Fail(OutcomeKind::UnknownItem, CliEmptySlot(args->slot, args->card));
            return;
        }
        const ActionJobOutcome outcome =
            ExportDiySlot(*diy, position, args->slot, args->destination, *card->runner);
        card->progress.reset();
        ReportJob(ctx, outcome);
        json done = SlotJson(*card, *args, position);
        done["file"] =
            DiyExportDestination(DiySlotPath(*diy, position, args->slot), args->destination);
        if (ctx.exitCode == kExitOk) ctx.Emit(done);
    });
}

}  // namespace torvane::cli
