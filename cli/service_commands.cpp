// Commands that talk to the content service: login, catalogue, children, updates. Each one signs
// in first, the way the desktop app does before it shows any page.
#include <chrono>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "base/removable_drives.h"
#include "children/child_rules.h"
#include "children/children_service.h"
#include "cli/card_job.h"
#include "cli/cli_context.h"
#include "cli/json_shape.h"
#include "cli/session_login.h"
#include "common/messages.h"
#include "delivery/catalogue.h"
#include "service/session.h"
#include "update/update_list.h"

namespace torvane::cli {
namespace {

void RunLogin(CliContext& ctx) {
    const auto outcome = SignInForCommand(ctx);
    if (!outcome) return;
    json info = json::object();
    for (std::size_t i = 0; i < outcome->userInfo.names.size(); ++i)
        info[CamelCase(outcome->userInfo.names[i])] = NumberOrText(outcome->userInfo.values[i]);
    ctx.Emit({{"userId", ctx.session.userId}, {"userInfo", info}});
    if (!ctx.options.json) ctx.Out() << kCliSignedIn << ctx.session.userId << '\n';
}

void RunCatalogue(CliContext& ctx) {
    if (!SignInForCommand(ctx)) return;
    ContentCatalogue catalogue;
    if (!ctx.Check(catalogue.FetchCatalogue(ctx.session))) return;
    if (ctx.options.json) {
        json shelves = json::object();
        for (const Shelf shelf : kAllShelves) {
            json contents = json::array();
            for (const ContentRecord& content : catalogue.Contents(shelf))
                contents.push_back(ContentJson(content, false));
            shelves[std::string(ShelfKey(shelf))] = contents;
        }
        ctx.Emit(shelves);
        return;
    }
    for (const Shelf shelf : kAllShelves) {
        ctx.Out() << ShelfKey(shelf) << " (" << catalogue.Count(shelf) << ")\n";
        for (const ContentRecord& content : catalogue.Contents(shelf))
            ctx.Out() << "  " << content.contentNo << "  " << content.title << "  ["
                      << content.files.size() << " files, "
                      << (content.date.empty() ? "-" : content.date) << "]\n";
    }
}

void RunChildrenList(CliContext& ctx) {
    if (!SignInForCommand(ctx)) return;
    const ChildrenList list = FetchChildrenList(ctx.session);
    if (!ctx.Check(list.status)) return;
    if (ctx.options.json) {
        json children = json::array();
        for (const ChildInfo& child : list.items) children.push_back(ChildJson(child));
        ctx.Emit(children);
        return;
    }
    for (const ChildInfo& child : list.items) {
        ctx.Out() << (child.numberValid ? std::to_string(child.childNo) : std::string("?")) << "  "
                  << child.familyName << ' ' << child.firstName << "  "
                  << (child.IsBoy() ? "boy" : "girl") << "  " << child.birthday;
        for (const NameFile& file : child.nameFiles)
            ctx.Out() << "  " << file.soundType << ':' << file.status;
        ctx.Out() << '\n';
    }
}

// "YYYY-MM-DD" naming a real day.
bool IsBirthday(const std::string& text) {
    static const std::regex shape(R"(\d{4}-\d{2}-\d{2})");
    if (!std::regex_match(text, shape)) return false;
    const std::chrono::year_month_day day{
        std::chrono::year{std::stoi(text.substr(0, 4))},
        std::chrono::month{static_cast<unsigned>(std::stoi(text.substr(5, 2)))},
        std::chrono::day{static_cast<unsigned>(std::stoi(text.substr(8, 2)))}};
    return day.ok();
}

struct ChildArguments {
    std::string familyName;
    std::string givenName;
    std::string sex;
    std::string birthday;
    int childNo = 0;
};

// The card a child's deletion may have to clean: the one named by --device or TORVANE_DEVICE,
// else a removable drive holding the device database; none is fine (the child is deleted at the
// service only). Null with the failure told when a named card cannot be opened.
std::unique_ptr<CardSession> CardIfAny(CliContext& ctx, bool& failed) {
    failed = false;
    std::string device = ctx.options.device;
    if (device.empty())
        if (const char* env = std::getenv("TORVANE_DEVICE")) device = env;
    if (device.empty()) {
        const auto found = FindDeviceDrive(SystemDriveLister().RemovableDrives());
        if (!found) return nullptr;
        device = *found;
    }
    auto card = OpenCard(ctx, device, CardUse::Change);
    failed = card == nullptr;
    return card;
}

void RunChildDelete(CliContext& ctx, int childNo) {
    bool failed = false;
    auto card = CardIfAny(ctx, failed);
    if (failed || !SignInForCommand(ctx)) return;
    const ChildrenList list = FetchChildrenList(ctx.session);
    if (!list.ok()) {
        ctx.Fail(list.status.kind(), CliChildrenUnreadable(list.status.message()));
        return;
    }
    for (const ChildInfo& child : list.items) {
        if (!child.numberValid || child.childNo != childNo) continue;
        if (ctx.Conclude(
                DeleteChildWithVoice(child, card ? &card->card->database() : nullptr, ctx.session)))
            ctx.Emit({{"deleted", {{"childNo", childNo}}}});
        return;
    }
    ctx.Fail(OutcomeKind::UnknownItem, CliNoSuchChild(childNo));
}

void AddChildrenCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* children = app.add_subcommand("children", "the account's children and name voices");
    children->require_subcommand(1);
    auto arguments = std::make_shared<ChildArguments>();

    children->add_subcommand("list", "list the children and their name voices")->callback([&ctx] {
        RunChildrenList(ctx);
    });

    CLI::App* add = children->add_subcommand("add", "register a child");
    add->add_option("family", arguments->familyName, "family name")->required();
    add->add_option("given", arguments->givenName, "given name")->required();
    add->add_option("--sex", arguments->sex, "boy or girl")
        ->required()
        ->check(CLI::IsMember({"boy", "girl"}));
    add->add_option("--birthday", arguments->birthday, "YYYY-MM-DD")->required();
    add->callback([&ctx, arguments] {
        if (!IsBirthday(arguments->birthday)) {
            ctx.UsageError("birthday must be a date written YYYY-MM-DD: " + arguments->birthday);
            return;
        }
        if (!SignInForCommand(ctx)) return;
        // The duplicate check needs the children already registered.
        const ChildrenList list = FetchChildrenList(ctx.session);
        if (!list.ok()) {
            ctx.Fail(list.status.kind(), CliChildrenUnreadable(list.status.message()));
            return;
        }
        std::vector<std::string> registered;
        for (const ChildInfo& child : list.items) registered.push_back(ChildFullName(child));
        if (const auto refusal =
                CheckNewChild(arguments->familyName, arguments->givenName, registered)) {
            ctx.Fail(Status::Failure(OutcomeKind::Refused, Say(*refusal)));
            return;
        }
        const NewChild child{arguments->familyName, arguments->givenName,
                             arguments->sex == "boy" ? ChildSex::Boy : ChildSex::Girl,
                             arguments->birthday};
        if (!ctx.Conclude(AddChild(child, registered, ctx.session))) return;
        ctx.Emit({{"requested",
                   {{"familyName", child.familyName},
                    {"firstName", child.givenName},
                    {"sex", arguments->sex},
                    {"birthday", child.birthday}}}});
    });

    CLI::App* remove = children->add_subcommand("delete", "remove a child");
    remove->add_option("no", arguments->childNo, "child number")->required();
    remove->callback([&ctx, arguments] { RunChildDelete(ctx, arguments->childNo); });

    CLI::App* request = children->add_subcommand("request", "ask for a child's name voice");
    request->add_option("no", arguments->childNo, "child number")->required();
    request->callback([&ctx, arguments] {
        if (!SignInForCommand(ctx)) return;
        ChildInfo child;
        child.childNo = arguments->childNo;
        if (!ctx.Conclude(RequestChildVoice(child, ctx.session))) return;
        if (ctx.options.json)
            ctx.Emit({{"requested", {{"childNo", child.childNo}}}});
        else
            ctx.Out() << kCliNameVoiceRequested << '\n';
    });
}

void RunUpdatesList(CliContext& ctx) {
    if (!SignInForCommand(ctx)) return;
    UpdateFileList list;
    if (!ctx.Check(list.FetchUpdateFiles(ctx.session))) return;
    json files = json::array();
    for (std::size_t i = 0; i < list.Files().size(); ++i) {
        const UpdateFile& file = list.Files()[i];
        files.push_back(UpdateJson(file, i + 1));
        // The number first: the one `updates install` takes.
        if (!ctx.options.json)
            ctx.Out() << i + 1 << "  " << file.version << "  " << file.name << "  "
                      << file.registeredDate << "  " << file.size << "  " << file.description
                      << '\n';
    }
    ctx.Emit(files);
}

}  // namespace

void AddServiceCommands(CLI::App& app, CliContext& ctx) {
    app.add_subcommand("login", "sign in to the content service")->callback([&ctx] {
        RunLogin(ctx);
    });
    app.add_subcommand("catalogue", "list the account's contents by shelf")->callback([&ctx] {
        RunCatalogue(ctx);
    });
    AddChildrenCommands(app, ctx);
    CLI::App* updates = app.add_subcommand("updates", "firmware and system packages");
    updates->require_subcommand(1);
    updates->add_subcommand("list", "list the packages the service offers")->callback([&ctx] {
        RunUpdatesList(ctx);
    });
}

}  // namespace torvane::cli
