#include "children/child_page_state.h"

#include <utility>

#include "common/messages.h"
#include "store/card.h"

namespace torvane {

void ChildPageState::ShowCard(std::string drive, std::string systemVersion,
                              std::string firmwareVersion, std::shared_ptr<Card> card) {
    drive_ = std::move(drive);
    systemVersion_ = std::move(systemVersion);
    firmwareVersion_ = std::move(firmwareVersion);
    card_ = std::move(card);
}

void ChildPageState::ForgetCard() {
    ShowCard({}, {}, {}, nullptr);
}

CDefaultXML* ChildPageState::Database() const {
    return card_ != nullptr ? &card_->database() : nullptr;
}

ContentCounts ChildPageState::Counts() const {
    return card_ != nullptr ? CountCardContents(card_->database()) : ContentCounts{};
}

bool ChildPageState::BeginReload() {
    if (loading_) {
        reloadAgain_ = true;
        return false;
    }
    loading_ = true;
    reloadAgain_ = false;
    return true;
}

bool ChildPageState::FetchAgain() {
    return std::exchange(reloadAgain_, false);
}

bool ChildPageState::TakeList(ChildrenList list, Clock::time_point now) {
    loading_ = false;
    loadedAt_ = now;
    const bool tell = list.tooLong && !tooLongTold_;
    tooLongTold_ = list.tooLong;
    children_.clear();
    if (list.ok()) children_ = std::move(list.items);
    deleted_.assign(children_.size(), false);
    return tell;
}

bool ChildPageState::ReloadOnReturn(Clock::time_point now) const {
    return !busy_ && now - loadedAt_ >= kReloadOnReturnAfter;
}

const ChildInfo* ChildPageState::ChildOfRow(int row) const {
    if (row < 0) return nullptr;
    const auto index = static_cast<std::size_t>(row / 2);
    if (index >= children_.size() || deleted_[index]) return nullptr;
    return &children_[index];
}

void ChildPageState::MarkDeleted(int row) {
    if (ChildOfRow(row) != nullptr) deleted_[static_cast<std::size_t>(row / 2)] = true;
}

std::vector<std::string> ChildPageState::ShownNames() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < children_.size(); ++i)
        if (!deleted_[i]) names.push_back(ChildFullName(children_[i]));
    return names;
}

NameVoiceCell ChildPageState::VoiceCellOf(const ChildInfo& child) const {
    return NameVoiceCellOf(child, Database());
}

ChildPageState::CardWorkStart ChildPageState::CanStartCardWork() const {
    if (busy_) return CardWorkStart::Ignore;
    return drive_.empty() ? CardWorkStart::NoDevice : CardWorkStart::Start;
}

void ChildPageState::BeginCardWork(std::optional<ChildInfo> apply) {
    busy_ = true;
    childToApply_ = std::move(apply);
}

ChildPageState::CardWorkEnd ChildPageState::EndCardWork(bool cardPresent, bool placed) const {
    CardWorkEnd end;
    if (!cardPresent) {
        end.message = kMsgCardRemovedDuringJob;
        end.kind = MessageKind::Exclamation;
        end.reload = false;
        return end;
    }
    if (childToApply_) {
        // A voice that did not arrive leaves the card calling whom it called.
        if (!placed) {
            end.message = kMsgNameVoiceNotDownloaded;
            end.kind = MessageKind::Error;
        } else {
            end.selectChild = childToApply_->childNo;
        }
    } else {
        // A release calls no child even when some of its files stayed.
        if (!placed) {
            end.message = kMsgNameVoiceNotRemoved;
            end.kind = MessageKind::Error;
        }
        end.selectChild = 0;
    }
    return end;
}

}  // namespace torvane
