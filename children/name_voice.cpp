#include "children/name_voice.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/messages.h"
#include "service/http_client.h"
#include "store/card_anchor.h"
#include "store/card_paths.h"
#include "store/default_xml.h"
#include "store/device_files.h"

namespace fs = std::filesystem;

namespace torvane {

namespace {

Status NotDownloaded(OutcomeKind kind) {
    return Status::Failure(kind, Say(MessageId::NameVoiceNotDownloaded));
}

// A card that did not take a name voice file: full or write-protected, or gone.
Status NotTaken(const CardAnchor& card) {
    return card.Present()
               ? Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten))
               : Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::CardRemovedDuringJob));
}

}  // namespace

Status DeleteNameVoiceFiles(const CardAnchor& card) {
    if (card.root().empty() || !card.Present())
        return Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::CardRemovedDuringJob));
    bool ok = true;
    for (const std::string& path : card_paths::NameVoiceFiles(card.root())) {
        if (!card.MakeFolders(fs::path(path).parent_path().string()) || !card.RemoveFile(path))
            ok = false;
    }
    if (ok) return Status::Ok();
    return Status::Failure(OutcomeKind::CardFull, Say(MessageId::NameVoiceNotRemoved));
}

Status RequireCard(const Card* card) {
    if (card != nullptr) return Status::Ok();
    return Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::NoDevice));
}

Status PlaceNameVoice(const ChildInfo& child, const CardAnchor& card, const ServiceSession& session,
                      HttpLimits limits) {
    const std::string& root = card.root();
    if (root.empty()) return Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::NoDevice));
    if (!child.numberValid)
        return Status::Failure(OutcomeKind::Refused, Say(MessageId::ChildNumberInvalid));
    const NameFile* voice = nullptr;
    for (const NameFile& file : child.nameFiles) {
        if (file.status == kNameFileExist) {
            voice = &file;
            break;
        }
    }
    if (voice == nullptr)
        return Status::Failure(OutcomeKind::UnknownItem, Say(MessageId::NoNameVoice));
    // A size no name voice has is the service gone wrong: nothing is downloaded.
    if (voice->size > 0 && static_cast<std::uint64_t>(voice->size) > kMaxNameVoiceBytes)
        return NotDownloaded(OutcomeKind::ServiceFailed);
    // Held to its listed size like a content file, and to the bound when no size is listed.
    if (voice->size > 0) limits.expectedBytes = static_cast<std::uint64_t>(voice->size);
    limits.maxBytes = kMaxNameVoiceBytes;

    // A folder of this download's own: two runs at once never share the file, and nothing
    // planted in the temporary folder is written through.
    const ScratchFolder scratch("voice");
    if (scratch.path().empty()) return NotDownloaded(OutcomeKind::Failed);
    const std::string local = scratch.path() + "/" + std::string(card_paths::kNameVoiceFile);
    const int fd =
        ::open(local.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) ::close(fd);
        return NotDownloaded(OutcomeKind::Failed);
    }
    const Status downloaded =
        DownloadToFile(session, UrlEncodeText(voice->url), file, nullptr, nullptr, true, limits);
    const bool closed = std::fclose(file) == 0;
    if (!downloaded.ok() || !closed) {
        // Cut off, or not the size the service listed.
        std::remove(local.c_str());
        return NotDownloaded(downloaded.ok() ? OutcomeKind::Failed : OutcomeKind::ServiceFailed);
    }
    bool copied = true;
    for (const std::string& path : card_paths::NameVoiceFiles(root)) {
        // A card pulled during the download, or between two folders, gets nothing more.
        if (!card.MakeFolders(fs::path(path).parent_path().string()) ||
            !CopyFileSafely(local, path)) {
            copied = false;
            if (!card.Present()) break;
        }
    }
    std::remove(local.c_str());
    return copied ? Status::Ok() : NotTaken(card);
}

Status SelectNameVoiceChild(int childNo, CDefaultXML& database) {
    database.setSelectedChildNo(childNo);
    return database.Save();
}

Status ApplyNameVoice(const ChildInfo& child, CDefaultXML& database,
                      const ServiceSession& session) {
    if (database.card() == nullptr)
        return Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::NoDevice));
    if (Status placed = PlaceNameVoice(child, *database.card(), session); !placed.ok())
        return placed;
    return SelectNameVoiceChild(child.childNo, database);
}

Status ReleaseNameVoice(CDefaultXML& database) {
    Status deleted = database.card() != nullptr
                         ? DeleteNameVoiceFiles(*database.card())
                         : Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::NoDevice));
    database.setSelectedChildNo(0);
    if (Status saved = database.Save(); !saved.ok()) return saved;
    return deleted;
}

}  // namespace torvane
