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

bool DeleteNameVoiceFiles(const CardAnchor& card) {
    if (card.root().empty() || !card.Present()) return false;
    bool ok = true;
    for (const std::string& path : card_paths::NameVoiceFiles(card.root())) {
        if (!card.MakeFolders(fs::path(path).parent_path().string()) || !card.RemoveFile(path))
            ok = false;
    }
    return ok;
}

bool RequireCard(const Card* card, IMessageSink& messages) {
    if (card != nullptr) return true;
    messages.Show(MessageKind::Information, kMsgNoDevice);
    return false;
}

bool PlaceNameVoice(const ChildInfo& child, const CardAnchor& card, const ServiceSession& session,
                    std::string* error, HttpLimits limits) {
    auto fail = [error](std::string reason) {
        if (error != nullptr) *error = std::move(reason);
        return false;
    };
    const std::string& root = card.root();
    if (root.empty()) return fail("no device");
    if (!child.numberValid) return fail("the service wrote the child's number badly");
    const NameFile* voice = nullptr;
    for (const NameFile& file : child.nameFiles) {
        if (file.status == kNameFileExist) {
            voice = &file;
            break;
        }
    }
    if (voice == nullptr) return fail("the child has no name voice yet");
    if (voice->size > 0 && static_cast<std::uint64_t>(voice->size) > kMaxNameVoiceBytes)
        return fail("the service lists a name voice of " + std::to_string(voice->size) +
                    " bytes, more than a name voice can be");
    // Held to its listed size like a content file, and to the bound when no size is listed.
    if (voice->size > 0) limits.expectedBytes = static_cast<std::uint64_t>(voice->size);
    limits.maxBytes = kMaxNameVoiceBytes;

    // A folder of this download's own: two runs at once never share the file, and nothing
    // planted in the temporary folder is written through.
    const ScratchFolder scratch("voice");
    if (scratch.path().empty()) return fail("no private temporary folder");
    const std::string local = scratch.path() + "/" + std::string(card_paths::kNameVoiceFile);
    const int fd =
        ::open(local.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) ::close(fd);
        return fail("cannot write " + local);
    }
    const Status downloaded =
        DownloadToFile(session, UrlEncodeText(voice->url), file, nullptr, nullptr, true, limits);
    const bool closed = std::fclose(file) == 0;
    if (!downloaded.ok() || !closed) {
        std::remove(local.c_str());
        return fail("download " + voice->url +
                    " failed: cut off, or not the size the service listed");
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
    return copied ? true : fail("the voice could not be copied onto the card");
}

bool SelectNameVoiceChild(int childNo, CDefaultXML& database, std::string* error) {
    database.setSelectedChildNo(childNo);
    if (database.Save()) return true;
    if (error != nullptr) *error = "Default.dat could not be saved";
    return false;
}

bool ApplyNameVoice(const ChildInfo& child, CDefaultXML& database, const ServiceSession& session,
                    std::string* error) {
    if (database.card() == nullptr) {
        if (error != nullptr) *error = "no device";
        return false;
    }
    return PlaceNameVoice(child, *database.card(), session, error) &&
           SelectNameVoiceChild(child.childNo, database, error);
}

bool ReleaseNameVoice(CDefaultXML& database) {
    const bool deleted = database.card() != nullptr && DeleteNameVoiceFiles(*database.card());
    database.setSelectedChildNo(0);
    return database.Save() && deleted;
}

}  // namespace torvane
