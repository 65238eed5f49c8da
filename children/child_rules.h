// The rules of the child name page, written once for the desktop page and torvane-cli: what the
// add window accepts and sends, how a child's row reads (name, birth date, the state of its name
// voice), and what add, delete and request do at the service and on the card, with the sentences
// the user is told.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "children/children_service.h"
#include "common/status.h"

namespace torvane {

class CDefaultXML;

// The birthday the service takes: year, month and day joined by "-", each padded on the left with
// "0" to 4, 2 and 2 characters ("2010", "3", "7" give "2010-03-07").
std::string BirthdayText(std::string_view year, std::string_view month, std::string_view day);

// The birth date a child's row shows: "YYYY년 MM월 DD일" from a 10-character "YYYY-MM-DD";
// empty for a birthday of any other length.
std::string BirthDateText(std::string_view birthday);

// Family name followed by given name, as the row shows it and the duplicate check compares it.
std::string ChildFullName(const ChildInfo& child);
std::string ChildFullName(std::string_view familyName, std::string_view givenName);

// A child the add window is about to register.
struct NewChild {
    std::string familyName;  // UTF-8
    std::string givenName;   // UTF-8
    ChildSex sex = ChildSex::Boy;
    std::string birthday;  // BirthdayText
};

// The add window's checks, in this order: the full name is one of `registeredNames` (the names of
// the children still registered), the given name is empty, the family name is empty. The sentence
// of the first check that fails, or nothing when the child may be sent.
std::optional<MessageId> CheckNewChild(std::string_view familyName, std::string_view givenName,
                                       const std::vector<std::string>& registeredNames);

// What the second row of a child shows about its name voice, judged from its first name file.
enum class NameVoiceCell {
    Blank = -1,     // no name file, or a status the program does not know: no text, no buttons
    NoVoice = 0,    // "none": the request button
    Ready = 1,      // "exist" and not the card's child: the apply button
    Applied = 2,    // the card's selected child: release and listen
    Requested = 3,  // "requested", or just requested: no buttons
};

// A child whose number the service wrote badly is Blank: nothing is offered for it.
// The selected-child test comes next: it holds when there is a database whose selected child is
// this child. Number 0 is the database's "no child", never a child's.
NameVoiceCell NameVoiceCellOf(const ChildInfo& child, const CDefaultXML* database);
// The sentence of a cell state (empty for Blank).
std::string_view NameVoiceCellText(NameVoiceCell state);

// The first name file the service has made ("exist"), or null.
const NameFile* FirstReadyVoice(const ChildInfo& child);

// The contents on the card that the child page's header counts under "단말기 정보", by main group,
// from the card's content database: what the device holds, not what the account bought.
struct ContentCounts {
    int language = 0;
    int music = 0;  // songs
    int story = 0;
    int books = 0;  // book, series and single together
};
ContentCounts CountCardContents(const CDefaultXML& database);

// Refused ("the service wrote this child's number badly") for a child whose number the service
// wrote badly: a delete, request or apply sent with a number made up for it could reach another
// child.
Status RequireChildNumber(const ChildInfo& child);

// Checks the new child (Refused with the check's sentence, nothing sent), then registers it:
// Done ("아이 이름(...)이 추가되었습니다."), or ServiceFailed when the service did not take it.
Status AddChild(const NewChild& child, const std::vector<std::string>& registeredNames,
                const ServiceSession& session);  // Removes the child at the service. Only once the
                                                 // service has taken the request, and only when
// `database` (may be null: no card) names this child as the one the device calls, the name voice
// leaves the card and the card calls no child, so that the device never calls a child who is no
// longer registered; another child's voice stays. Done when the service took the request, with a
// note when the voice could not be taken off the card; ServiceFailed when it did not.
Status DeleteChildWithVoice(const ChildInfo& child, CDefaultXML* database,
                            const ServiceSession& session);

// Asks the service for the child's name voice. Its success has no sentence (the row shows it).
Status RequestChildVoice(const ChildInfo& child, const ServiceSession& session);

}  // namespace torvane
