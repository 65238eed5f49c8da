// Commands over the card's files: cipher, device show, tables rebuild, diy show.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "base/card_opening.h"
#include "cli/card_job.h"
#include "cli/cli_context.h"
#include "cli/json_shape.h"
#include "common/messages.h"
#include "store/content_types.h"
#include "store/default_xml.h"
#include "store/diy_xml.h"
#include "store/file_cipher.h"
#include "store/folder_tables.h"

namespace torvane::cli {
namespace {

std::string JoinedOrDash(const std::vector<std::string>& items) {
    if (items.empty()) return "-";
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
    return out;
}

void ShowDevice(CliContext& ctx) {
    auto card = OpenCard(ctx);
    if (!card) return;
    const std::string& root = card->root();
    const CDefaultXML& database = card->database();

    if (ctx.options.json) {
        json shelves = json::object();
        for (const Shelf shelf : kAllShelves) {
            json contents = json::array();
            for (const ContentRecord& content : database.Contents(shelf))
                contents.push_back(ContentJson(content, true));
            shelves[std::string(ShelfKey(shelf))] = contents;
        }
        ctx.Emit({{"device", root},
                  {"systemVersion", database.systemVersion()},
                  {"soundType", database.soundType()},
                  {"selectedChildNo", database.selectedChildNo()},
                  {"selectedDiyContentNo", database.selectedDiyContentNo()},
                  {"diyList", database.diyList()},
                  {"gameContentList", database.gameContentList()},
                  {"shelves", shelves}});
        return;
    }
    std::ostream& out = ctx.Out();
    out << "device:               " << root << '\n'
        << "system version:       " << database.systemVersion() << '\n'
        << "sound type:           " << database.soundType() << '\n'
        << "selected child:       " << database.selectedChildNo() << '\n'
        << "selected DIY content: "
        << (database.selectedDiyContentNo().empty() ? "-" : database.selectedDiyContentNo()) << '\n'
        << "DIY cards:            " << JoinedOrDash(database.diyList()) << '\n'
        << "game selection:       " << JoinedOrDash(database.gameContentList()) << '\n';
    for (const Shelf shelf : kAllShelves) {
        const auto& contents = database.Contents(shelf);
        out << '\n' << ShelfKey(shelf) << " (" << contents.size() << ")\n";
        for (const ContentRecord& content : contents) {
            out << "  " << content.contentNo << "  " << content.title << "  [" << content.mainGroup
                << (content.subGroup.empty() ? "" : "/" + content.subGroup) << ", " << content.date
                << (content.status.empty() ? "" : ", " + content.status) << "]\n";
            for (const FileRecord& file : content.files) {
                out << "      " << file.name << "  language " << file.language << "  folder "
                    << file.folderType << "  card " << file.rfidCardId << "  " << file.size
                    << " bytes\n";
            }
        }
    }
}

void RebuildTables(CliContext& ctx, const std::string& kind) {
    auto card = OpenCard(ctx, {}, CardUse::Change);
    if (!card) return;
    const std::string& root = card->root();
    if (kind == "game") {
        if (!card->database().RebuildGameTable()) {
            ctx.Fail(OutcomeKind::CardFull,
                     CliGameTableNotWritten(card->card->Path(card_paths::kGameFolder)));
            return;
        }
        if (!ctx.options.json)
            ctx.Out() << CliGameTableRebuilt(card->card->Path(card_paths::kGameTable)) << '\n';
    } else {
        const std::string folder = root + "/" + std::string(*FolderForType(kind));
        if (!RebuildFolderTables(kind, root)) {
            ctx.Fail(OutcomeKind::CardFull, CliTablesNotWritten(folder));
            return;
        }
        if (!ctx.options.json) ctx.Out() << CliTablesRebuilt(kind, folder) << '\n';
    }
    ctx.Emit({{"device", root}, {"rebuilt", kind}});
}

void ShowDiy(CliContext& ctx, bool all) {
    auto card = OpenCard(ctx);
    if (!card) return;
    if (!ctx.Check(OpenCardDiy(*card->card))) return;
    const CDiyXML& diy = card->card->diy();
    json cards = json::array();
    std::ostream& out = ctx.Out();
    for (std::size_t i = 0; i < diy.records().size(); ++i) {
        const DiyRecord& record = diy.records()[i];
        bool used = false;
        for (const DiySlot& slot : record.slots) used = used || slot.InUse();
        if (!used && !all) continue;
        const long card = kFirstDiyCard + static_cast<long>(i);
        if (ctx.options.json) {
            json slots = json::array();
            for (std::size_t s = 0; s < record.slots.size(); ++s) {
                const DiySlot& slot = record.slots[s];
                json entry = {{"slot", s + 1}, {"inUse", slot.InUse()}, {"name", slot.name}};
                AddDate(entry, "date", slot.date);
                entry["file"] = slot.file;
                slots.push_back(entry);
            }
            // The number `diy assign` takes, and the card's own number beside it.
            cards.push_back({{"card", i + 1}, {"deviceCard", card}, {"slots", slots}});
            continue;
        }
        out << card << '\n';
        for (std::size_t s = 0; s < record.slots.size(); ++s) {
            const DiySlot& slot = record.slots[s];
            out << "  " << s + 1 << ": ";
            if (slot.InUse())
                out << slot.name << "  (" << (slot.file.empty() ? "-" : slot.file) << ", "
                    << slot.date << ")\n";
            else
                out << "-\n";
        }
    }
    ctx.Emit({{"device", card->root()}, {"cards", cards}});
}

}  // namespace

void AddStoreCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* cipher = app.add_subcommand("cipher", "encipher or decipher a device file");
    cipher->require_subcommand(1);
    for (const bool encipher : {true, false}) {
        auto* command = cipher->add_subcommand(
            encipher ? "encipher" : "decipher",
            encipher ? "plain SRC to enciphered DST" : "enciphered SRC to plain DST");
        auto paths = std::make_shared<std::pair<std::string, std::string>>();
        command->add_option("SRC", paths->first, "source file")->required();
        command->add_option("DST", paths->second, "destination file")->required();
        command->callback([&ctx, paths, encipher] {
            const bool ok = encipher ? EncipherFile(paths->first, paths->second)
                                     : DecipherFile(paths->first, paths->second);
            if (!ok) {
                ctx.Fail(CliCipherFailed(encipher, paths->first, paths->second));
                return;
            }
            ctx.Emit({{encipher ? "enciphered" : "deciphered",
                       {{"from", paths->first}, {"to", paths->second}}}});
        });
    }

    CLI::App* device = app.add_subcommand("device", "the device's content database");
    device->require_subcommand(1);
    device->add_subcommand("show", "settings and every shelf's contents with their files")
        ->callback([&ctx] { ShowDevice(ctx); });

    CLI::App* tables = app.add_subcommand("tables", "the card tables the device reads");
    tables->require_subcommand(1);
    auto* rebuild = tables->add_subcommand("rebuild", "rebuild the tables of one kind");
    auto kind = std::make_shared<std::string>();
    rebuild->add_option("KIND", *kind, "language, music, story, book, card, excellent or game")
        ->required()
        ->check(CLI::IsMember({"language", "music", "story", "book", "card", "excellent", "game"}));
    rebuild->callback([&ctx, kind] { RebuildTables(ctx, *kind); });

    CLI::App* diy = app.add_subcommand("diy", "the DIY cards and their recordings");
    diy->require_subcommand(1);
    auto* show = diy->add_subcommand("show", "the DIY cards with a slot in use");
    auto all = std::make_shared<bool>(false);
    show->add_flag("--all", *all, "all 1500 DIY cards");
    show->callback([&ctx, all] { ShowDiy(ctx, *all); });
}

}  // namespace torvane::cli
