// The child name page's state without a window: the card whose header it shows, the children of
// the last reload (two grid rows each) and which of them were deleted since, whether a reload or
// an apply or release is under way, and what each click leads to. The desktop page draws this
// state and forwards its clicks; tests drive it directly.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_sink.h"
#include "children/child_rules.h"
#include "children/children_service.h"

namespace torvane {

class Card;
class CDefaultXML;

class ChildPageState {
  public:
    using Clock = std::chrono::steady_clock;
    // How old the list must be before a return to the window asks the service again.
    static constexpr std::chrono::seconds kReloadOnReturnAfter{60};

    // ---- The card's header
    void ShowCard(std::string drive, std::string systemVersion, std::string firmwareVersion,
                  std::shared_ptr<Card> card);
    // The card is let go with its header: nothing of it is read or written after it left.
    void ForgetCard();
    const std::string& Drive() const { return drive_; }
    const std::string& SystemVersion() const { return systemVersion_; }
    const std::string& FirmwareVersion() const { return firmwareVersion_; }
    const std::shared_ptr<Card>& ShownCard() const { return card_; }
    // The shown card's database, or null without a card.
    CDefaultXML* Database() const;
    // The database a delete changes: the shown card's, and only while its drive is shown.
    CDefaultXML* DatabaseToChange() const { return drive_.empty() ? nullptr : Database(); }
    // The counts under "단말기 정보": the shown card's contents as its database holds them now.
    ContentCounts Counts() const;

    // ---- Reloads
    // A reload is asked for: false when one is under way, which then fetches once more before it
    // shows anything, so the rows never show the list from before a change.
    bool BeginReload();
    // After a fetch: whether a reload was asked for meanwhile, so that the fetch runs again.
    bool FetchAgain();
    // The fetched list becomes the rows (none when it failed). True when the parent must be told
    // the list was too long: once, not at every return to the window.
    bool TakeList(ChildrenList list, Clock::time_point now);
    // A return to the window asks the service again, unless an apply or release is running or the
    // list was read a moment ago.
    bool ReloadOnReturn(Clock::time_point now) const;

    // ---- Rows, two a child
    const std::vector<ChildInfo>& Children() const { return children_; }
    // The child of either of its rows; null for a deleted child or no child.
    const ChildInfo* ChildOfRow(int row) const;
    static int FirstRowOf(int row) { return row - row % 2; }
    // The child's rows stay, hidden, until the next reload.
    void MarkDeleted(int row);
    // The full names of the children still shown: a deleted child's name is free again.
    std::vector<std::string> ShownNames() const;
    // What a child's second row shows about its name voice on the shown card.
    NameVoiceCell VoiceCellOf(const ChildInfo& child) const;

    // ---- Apply and release, which work on the card off the window's thread
    enum class CardWorkStart {
        Start,     // go on
        Ignore,    // one is running: the click does nothing
        NoDevice,  // no card: the parent is told so
    };
    CardWorkStart CanStartCardWork() const;
    // From the click until EndCardWork; `apply` is the child whose voice goes on the card, none
    // for a release.
    void BeginCardWork(std::optional<ChildInfo> apply);
    // The work has ended, or could not start (no card object, the card busy): clicks count again.
    void StopCardWork() { busy_ = false; }
    bool Busy() const { return busy_; }

    // What the end of an apply or release leads to.
    struct CardWorkEnd {
        // The sentence the parent is told, if any, and its kind.
        std::optional<std::string_view> message;
        MessageKind kind = MessageKind::Information;
        // The child the card's database now names (0: none); nothing: the database is left.
        std::optional<int> selectChild;
        // Whether the list is read again (not for a card pulled meanwhile).
        bool reload = true;
    };
    // `cardPresent`: the card worked on is still the one attached; `placed`: the voice files went
    // on (apply) or came off (release). The page stays busy while the parent is told; StopCardWork
    // ends it.
    CardWorkEnd EndCardWork(bool cardPresent, bool placed) const;

  private:
    std::string drive_;
    std::string systemVersion_;
    std::string firmwareVersion_;
    std::shared_ptr<Card> card_;
    std::vector<ChildInfo> children_;
    std::vector<bool> deleted_;
    std::optional<ChildInfo> childToApply_;
    bool busy_ = false;
    bool loading_ = false;
    bool reloadAgain_ = false;
    bool tooLongTold_ = false;
    Clock::time_point loadedAt_{};
};

}  // namespace torvane
